% pairdot in the real host: values, shapes and the order of its messages.
usage = 'Usage: out = pairdot_native (U'', V, iR, iC)';
bad_rows = 'iR must hold row numbers of U from 1 to m.';
bad_cols = 'iC must hold column numbers of V from 1 to n.';
U = [1 2; 3 4];
V = [5 7; 6 8];

expect_bits (pairdot (U', V, [1 2], [2 1]), [23 39]);
expect_bits (pairdot (U', V, [1; 2], [2 1]), [23 39]);
expect_bits (pairdot (U', V, [], []), zeros (1, 0));
expect_bits (pairdot (zeros (0, 2), zeros (0, 3), [1 2], [3 1]), [0 0]);
pairdot (U', V, 2, 2);
expect_bits (ans, 53);

% A fractional entry starts inside a column: offset (1.5 - 1)*4 = 2.
U4 = reshape (1:16, 4, 4);
V4 = [ones(4, 1), [10; 100; 1000; 10000], zeros(4, 2)];
expect_bits (pairdot (U4, V4, 1.5, 2), 3*10 + 4*100 + 5*1000 + 6*10000);

% Messages in their order: count, shapes, then positions.
expect_error (@() pairdot (U', V, [1 2]), usage);
expect_error (@() pairdot (U', V, 1, 1, 1), usage);
try
  [a, b] = pairdot (U', V, 1, 1);
  error ('two results were accepted');
catch err
  assert (strcmp (plugin_message (err), usage));
end
expect_error (@() pairdot (ones (3, 2), V, 0, [1 2]), 'the columns of U must the same as the rows of V');
expect_error (@() pairdot (ones (3, 2), ones (3, 5), 0, [1 2]), 'r must be less or equal than min(m,n)');
expect_error (@() pairdot (U', V, 0, [1 2]), 'iR and iC do not have the same length');
expect_error (@() pairdot (U', V, 0, 9), bad_rows);

for entry = [0 0.5 -1 -Inf Inf NaN 3 2.6]
  expect_error (@() pairdot (U', V, [1 entry], [1 1]), bad_rows);
  expect_error (@() pairdot (U', V, [1 1], [entry 1]), bad_cols);
end

expect_error (@() pairdot (single (U'), V, 1, 1), 'U'' must be a real, full double array.');
expect_error (@() pairdot (U', sparse (V), 1, 1), 'V must be a real, full double array.');
expect_error (@() pairdot (U', V, int32 (1), 1), 'iR must be a real, full double array.');
expect_error (@() pairdot (U', V, 1, true), 'iC must be a real, full double array.');
