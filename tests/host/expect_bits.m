function expect_bits (actual, expected)
  % EXPECT_BITS (ACTUAL, EXPECTED) checks that two double arrays have the same
  % size and the same bits in every element: -0 differs from 0, and NaNs
  % compare by payload.
  if (~isequal (size (actual), size (expected)))
    error ('expected size %s, got %s', mat2str (size (expected)), mat2str (size (actual)));
  end
  a = typecast (double (actual(:)), 'uint64');
  e = typecast (double (expected(:)), 'uint64');
  bad = find (a ~= e, 1);
  if (~isempty (bad))
    error ('element %d: expected %.17g, got %.17g', bad, expected(bad), actual(bad));
  end
end
