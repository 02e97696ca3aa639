% grpshrink in the real host: results, shapes and messages.
usage = 'Usage: out = grpshrink (vect, accIdx, rho)';
oob = 'INDEX OUT OF BOUND: the last index is out of bound.';
v = [3 4 0.3 0.4];
expect_gateway ('grpshrink', usage, {v, [0 2 4], 1}, [2.4000000000000004; 3.2; 0; 0]);

% Factors of zero keep the sign of each element.
expect_bits (grpshrink ([-2 0 -0], [0 3], 0.5), [-0; 0; -0]);   % norm exactly 1/rho
expect_bits (grpshrink ([0 -0], [0 2], 2), [0; -0]);            % all-zero segment
expect_bits (grpshrink ([3 -4], [0 2], 0), [0; -0]);            % rho = 0

% rho < 0 lengthens; signed zeros reach the reciprocal.
expect_bits (grpshrink ([3 -4], [0 2], -1), (1 - 1 / -5) * [3; -4]);
expect_bits (grpshrink ([3 -4], [0 2], -0), [Inf; -Inf]);
assert (all (isnan (grpshrink ([0 -0], [0 2], -1))));

% NaN and Inf propagate through the norm.
out = grpshrink ([1 NaN -1 3 4], [0 3 5], 1);
assert (all (isnan (out(1:3))));
expect_bits (out(4:5), [2.4000000000000004; 3.2]);
assert (all (isnan (grpshrink ([3 4], [0 2], NaN))));
expect_bits (grpshrink ([Inf -2], [0 2], 1), [Inf; -2]);
expect_bits (grpshrink ([1e200 -1], [0 2], 1), [1e200; -1]);

% Outside positions are 0; overlapping segments in table order.
expect_bits (grpshrink ([NaN 3 4 -Inf -7], [1 3], 1), [0; 2.4000000000000004; 3.2; 0; 0]);
expect_bits (grpshrink ([1 2 3], 2, 1), [0; 0; 0]);
expect_bits (grpshrink ([3 0 4 12 -3], [0 2.5 5], 1), [(1 - 1/5) * [3; 0]; (1 - 1/13) * [4; 12; -3]]);

% Unsafe tables stay inside the vector.
expect_bits (grpshrink ([3 4 0 5 12], [3 1e9 2 5], 1), [0; 0; (1 - 1/13) * [0; 5; 12]]);
expect_bits (grpshrink ([3 4 0 5 12], [NaN 5 -7 5 Inf 5 1e300 5], 1), zeros (5, 1));

expect_error (@() grpshrink ([3 4], [0 2.5], 1), oob);
expect_error (@() grpshrink ([3 4], [0 2 3], []), oob);
