% nzassign in the real host: the caller's variable sees the new values.
usage = 'Usage: nzassign ( S, v )';
too_long = 'v must not have more elements than S has stored values.';

% Sparse: stored values replaced in storage order, the pattern kept.
S = sparse ([1 0 2; 0 3 0]);
nzassign (S, [10; 20]);
expect_bits (full (S), [10 0 2; 0 20 0]);

% A zero written as a value stays stored.
S = sparse ([1 0 2; 0 3 0]);
nzassign (S, [0 -0 5]);
assert (nnz (S) == 3);
assert (nzmax (S) == 3);
assert (nnz (full (S)) == 1);
expect_bits (nonzeros (S), [0; -0; 5]);

% Full: every element, column-major; v of any shape.
F = [1 2; 3 4];
nzassign (F, [9 8; 7 6]);
expect_bits (F, [9 8; 7 6]);
F = [1 2; 3 4];
nzassign (F, []);
expect_bits (F, [1 2; 3 4]);

% Bits arrive unchanged.
F = zeros (1, 3);
nzassign (F, [-0 realmin/4 -Inf]);
expect_bits (F, [-0 realmin/4 -Inf]);

% Every variable sharing the storage sees the write, as in MATLAB.
S = sparse ([1 0; 0 2]);
T = S;
nzassign (S, [5 6]);
expect_bits (full (T), [5 0; 0 6]);

% Refused calls leave S unchanged; room allocated beyond the stored values,
% which no element shows, is not written.
S = sparse ([1 0 2; 0 3 0]);
expect_error (@() nzassign (S, 1:4), too_long);
expect_bits (full (S), [1 0 2; 0 3 0]);
S = spalloc (3, 3, 7);
S(1, 1) = 1;
% The case needs room beyond the one stored value; without it the call
% below would be refused for the plain reason.
assert (nnz (S) == 1);
assert (nzmax (S) > nnz (S));
expect_error (@() nzassign (S, [5 6]), too_long);
expect_bits (full (S), [1 0 0; 0 0 0; 0 0 0]);
assert (nnz (S) == 1);
expect_bits (nonzeros (S), 1);
F = [1 2; 3 4];
expect_error (@() nzassign (F, 1:5), too_long);
expect_bits (F, [1 2; 3 4]);
try
  x = nzassign (F, 7);
  error ('a result was accepted');
catch err
  assert (strcmp (plugin_message (err), usage));
end
expect_bits (F, [1 2; 3 4]);
expect_error (@() nzassign (F), usage);
expect_error (@() nzassign (F, 1, 2), usage);

expect_error (@() nzassign (int8 (F), 1), 'S must be a real double or single array.');
expect_error (@() nzassign (F + 1i, 1), 'S must be a real double or single array.');
expect_error (@() nzassign (sparse (F > 1), 1), 'S must be a real double or single array.');
expect_error (@() nzassign (F, int8 (1)), 'v must be a real, full double or single array.');
expect_error (@() nzassign (F, sparse (1)), 'v must be a real, full double or single array.');
expect_error (@() nzassign (F, single (1)), 'v must be of the class of S.');
expect_error (@() nzassign (sparse (F), single (1)), 'v must be of the class of S.');
expect_bits (F, [1 2; 3 4]);

% A full single S takes a single v, bit for bit; a double v is refused, S
% unchanged.
G = single ([1 2; 3 4]);
H = G;
w = typecast (uint32 ([2143289395 2147483648 1]), 'single');   % a NaN with a payload, -0, a subnormal
nzassign (G, w);
expect_bits (H, reshape ([w 4], 2, 2));
expect_error (@() nzassign (G, [5 6]), 'v must be of the class of S.');
expect_bits (G, reshape ([w 4], 2, 2));
