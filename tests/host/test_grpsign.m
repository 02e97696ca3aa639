% grpsign in the real host: results, shapes and messages.
usage = 'Usage: out = grpsign (vect, accIdx, rho)';
oob = 'INDEX OUT OF BOUND: the last index is out of bound.';
v = [3 -4 0.3 0.4];
expect_gateway ('grpsign', usage, {v, [0 2 4], 0.1}, [3/5; -4/5; 0; 0]);

% The zero test: strictly between -10*rho and 10*rho.
expect_bits (grpsign ([-3 -4], [0 2], 1), [0; 0]);
expect_bits (grpsign ([3 4], [0 2], 0.5), [0.6; 0.8]);     % norm exactly 10*rho
expect_bits (grpsign ([3 4], [0 2], -1), [0.6; 0.8]);      % rho < 0: never zero
expect_bits (grpsign ([0 -0], [0 2], 1e-300), [0; 0]);
assert (all (isnan (grpsign ([0 -0], [0 2], 0))));         % 0/0
assert (all (isnan (grpsign ([0 -0], [0 2], -0))));

% NaN and Inf propagate.
out = grpsign ([1 NaN 3 4], [0 2 4], 1e9);
assert (all (isnan (out(1:2))));
expect_bits (out(3:4), [0; 0]);
expect_bits (grpsign ([3 4], [0 2], NaN), [0.6; 0.8]);
out = grpsign ([1e200 -2 Inf], [0 2 3], 1);
expect_bits (out(1:2), [0; -0]);
assert (isnan (out(3)));

% Outside positions are 0; overlapping segments in table order, a later
% segment that counts as zero writing over an earlier direction.
expect_bits (grpsign ([NaN 3 4 -Inf], [1 3], 0.01), [0; 0.6; 0.8; 0]);
expect_bits (grpsign ([3 4], 2, 0.01), [0; 0]);
expect_bits (grpsign ([30 0 4 0 0], [0 2.5 5], 1), [30 / sqrt(916); 0; 0; 0; 0]);
expect_bits (grpsign ([30 0 4 0 0], [0 2.5 5], 0.01), [30 / sqrt(916); 0; 1; 0; 0]);

% Unsafe tables stay inside the vector.
expect_bits (grpsign ([3 4 0 5 12], [3 1e9 2 5], 0.01), [0; 0; 0; 5/13; 12/13]);
expect_bits (grpsign ([3 4 0 5 12], [NaN 5 -7 5 Inf 5 1e300 5], 0.01), zeros (5, 1));

expect_error (@() grpsign ([3 4], [0 2.5], 1), oob);
