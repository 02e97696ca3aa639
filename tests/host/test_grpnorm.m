% grpnorm in the real host: results, shapes and messages.
usage = 'Usage: out = grpnorm (vect, accIdx)';
oob = 'INDEX OUT OF BOUND: the last index is out of bound.';
v = [3 4 0 5 12];

expect_bits (grpnorm (v, [0 2 5]), 18);
expect_bits (grpnorm (v', [0; 2; 5]), 18);
expect_bits (grpnorm (reshape ([3 4 6 8], 2, 2), [0 2 4]), 15);
expect_bits (grpnorm (v, 3), 0);
expect_bits (grpnorm (v, []), 0);
expect_bits (grpnorm ([3 4], [0 0 2]), 5);
expect_bits (grpnorm ([100 3 4 100], [1 3]), 5);
expect_bits (grpnorm ([-3 -4], [0 2]), 5);
expect_bits (grpnorm ([1e200 1], [0 2]), Inf);
expect_bits (grpnorm ([0 0 3 4 0], [0 2.5 5]), 8);
expect_bits (grpnorm (v, [0 2 4.5]), 18);
assert (isnan (grpnorm ([1 NaN 1], [0 1 3])));

% The result lands in ans when no output is requested.
grpnorm ([3 4], [0 2]);
expect_bits (ans, 5);

% Unsafe tables stay inside the vector.
expect_bits (grpnorm (v, [3 1e9 2 5]), 26);
expect_bits (grpnorm (v, [NaN 5 -7 5 Inf 5 1e300 5]), 0);

expect_error (@() grpnorm (v, [0 5.5]), oob);
expect_error (@() grpnorm (v, [0 6]), oob);
expect_error (@() grpnorm (v), usage);
expect_error (@() grpnorm (v, [0 5], 1), usage);
expect_error (@() grpnorm (), usage);
try
  [a, b] = grpnorm (v, [0 5]);
  error ('two results were accepted');
catch err
  assert (strcmp (plugin_message (err), usage));
end

expect_error (@() grpnorm (single (v), [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm (int32 (v), [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm (v > 1, [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm ('abcde', [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm (v + 1i, [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm (sparse (v), [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm ({v}, [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm (struct ('a', v), [0 5]), 'vect must be a real, full double array.');
expect_error (@() grpnorm (v, int8 ([0 5])), 'accIdx must be a real, full double array.');
expect_error (@() grpnorm (v, single ([0 5])), 'accIdx must be a real, full double array.');
expect_error (@() grpnorm (v, sparse ([0 5])), 'accIdx must be a real, full double array.');
