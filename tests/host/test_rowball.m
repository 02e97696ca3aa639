% rowball in the real host: projections, thresholds, the warning and the
% refusals of unsafe calls.
[P, theta, iterations] = rowball ([3 1 -2; 3 1 2], 2, 3, 2);
expect_bits (P, [1.5 0 -0.5; 1.5 0 0.5]);
expect_bits (theta, [1.5; 1.5]);
expect_bits (iterations, [2; 2]);

[P, theta, iterations] = rowball ([3 1 2], 1, 3, 0);
expect_bits (P, [0 0 0]);
expect_bits (theta, 3);
expect_bits (iterations, 3);

% Inside the ball the row comes back as it was, signs of zeros included;
% NaN rows and a NaN radius turn NaN and -0 into 0.
expect_bits (rowball ([-0 1 -2], 1, 3, 3), [-0 1 -2]);
expect_bits (rowball ([NaN -0 -3 2], 1, 4, 1), [0 0 -3 2]);
[P, theta] = rowball ([-0 5; 1 NaN], 2, 2, NaN);
expect_bits (P, [0 5; 1 0]);
expect_bits (theta, [0; 0]);
[P, theta, iterations] = rowball ([1 -Inf 2], 1, 3, 1);
expect_bits (P, [0 0 0]);
expect_bits (theta, Inf);
expect_bits (iterations, 1);

% Empty dimensions; m and n are truncated, X's own shape is not consulted.
[P, theta] = rowball (zeros (0, 3), 0, 3, 1);
expect_bits (P, zeros (0, 3));
expect_bits (theta, zeros (0, 1));
[P, theta, iterations] = rowball ([1 2], 2, 0, 1);
expect_bits (P, zeros (2, 0));
expect_bits (iterations, [0; 0]);
expect_bits (rowball ([3 1 -2 9 9], 1.9, 3.5, 2), [1.5 0 -0.5]);

% A negative radius prints the warning and gives zeros.
printed = evalc ('[P, theta, iterations] = rowball ([1 2; 3 4], 2, 2, -1);');
assert (strcmp (printed, sprintf ('\n t should be nonnegative!')));
expect_bits (P, zeros (2));
expect_bits (theta, [0; 0]);
expect_bits (iterations, [0; 0]);

% A row the plain loop would never finish: the loop ends once the active
% set stops changing.
[P, theta, iterations] = rowball ([1e16 1e16 1e16], 1, 3, 3);
expect_bits (P, [2 2 2]);
expect_bits (theta, 9999999999999998);
expect_bits (iterations, 1);

% The projection of a random matrix lands on the sphere of radius t.
X = reshape (sin (1:600), 20, 30) * 3;
P = rowball (X, 20, 30, 2);
assert (all (abs (sum (abs (P), 2) - 2) <= 1e-12));
assert (all (sign (P(P ~= 0)) == sign (X(P ~= 0))));

% Unsafe calls are refused.
expect_error (@() rowball ([1 2], 1, 2), 'Usage: [P, theta, iterations] = rowball (X, m, n, t)');
expect_error (@() rowball ([1 2], 1, 3, 1), 'X must have at least m*n elements.');
expect_error (@() rowball ([1 2], 2e9, 2e9, 1), 'X must have at least m*n elements.');
expect_error (@() rowball ([1 2], -1, 2, 1), 'm must be a count from 0 to 2147483647.');
expect_error (@() rowball ([1 2], NaN, 2, 1), 'm must be a count from 0 to 2147483647.');
expect_error (@() rowball ([1 2], 1, 2^31, 1), 'n must be a count from 0 to 2147483647.');
expect_error (@() rowball (single ([1 2]), 1, 2, 1), 'X must be a real, full double array.');
expect_error (@() rowball ([1 2], int32 (1), 2, 1), 'm must be a real, full double array.');
expect_error (@() rowball ([1 2], 1, 2, []), 't must have at least one element.');
