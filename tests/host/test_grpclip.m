% grpclip in the real host: results, shapes and messages.
usage = 'Usage: out = grpclip (vect, accIdx)';
oob = 'INDEX OUT OF BOUND: the last index is out of bound.';
v = [3 -4 0.3 0.4];
expect_gateway ('grpclip', usage, {v, [0 2 4]}, [3/5; -4/5; 0.3; 0.4]);

% Norm exactly 1 is kept; outside positions are copied bit for bit.
expect_bits (grpclip ([-0 -1 0], [0 3]), [-0; -1; 0]);
expect_bits (grpclip ([-0 NaN 3 4 -Inf], [2 4]), [-0; NaN; 0.6; 0.8; -Inf]);
expect_bits (grpclip ([-0 NaN 5], 1), [-0; NaN; 5]);

% NaN norms keep the segment; infinite norms zero the finite elements.
expect_bits (grpclip ([5 NaN], [0 2]), [5; NaN]);
out = grpclip ([2 Inf -3], [0 3]);
expect_bits (out([1 3]), [0; -0]);
assert (isnan (out(2)));
expect_bits (grpclip ([1e200 -1], [0 2]), [0; -0]);

% A shared position is divided once by each overlapping segment.
expect_bits (grpclip ([3 0 4 12 -3], [0 2.5 5]), [3/5; 0/5; 4/5/13; 12/13; -3/13]);

% Unsafe tables stay inside the vector.
expect_bits (grpclip ([3 4 0 5 12], [3 1e9 2 5]), [3; 4; 0; 5/13/13; 12/13/13]);
expect_bits (grpclip ([3 4 0 5 12], [NaN 5 -7 5 Inf 5 1e300 5]), [3; 4; 0; 5; 12]);

expect_error (@() grpclip ([3 4], [0 2.5]), oob);
