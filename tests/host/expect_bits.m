function expect_bits (actual, expected)
  % EXPECT_BITS (ACTUAL, EXPECTED) checks that two arrays have the same size
  % and the same bits in every element: -0 differs from 0, and NaNs compare
  % by payload.  A single array is compared with a single one, bit for bit
  % (not through its double value); anything else is compared as doubles.
  if (~isequal (size (actual), size (expected)))
    error ('expected size %s, got %s', mat2str (size (expected)), mat2str (size (actual)));
  end
  if (isa (actual, 'single') || isa (expected, 'single'))
    if (~(isa (actual, 'single') && isa (expected, 'single')))
      error ('expected a %s result, got %s', class (expected), class (actual));
    end
    a = typecast (actual(:), 'uint32');
    e = typecast (expected(:), 'uint32');
  else
    a = typecast (double (actual(:)), 'uint64');
    e = typecast (double (expected(:)), 'uint64');
  end
  bad = find (a ~= e, 1);
  if (~isempty (bad))
    error ('element %d: expected %.17g, got %.17g', bad, double (expected(bad)), double (actual(bad)));
  end
end
