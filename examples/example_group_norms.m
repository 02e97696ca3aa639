function example_group_norms ()
  % EXAMPLE_GROUP_NORMS: the group-l2 penalty of a vector cut into segments.
  %
  % A vector of 12 coefficients in groups of 3, 4 and 5 entries.  The segment
  % table holds the groups' accumulated lengths, starting at 0.
  x = [3 4 0, 1 1 1 1, 0 0 0 0 0];
  table = [0 3 7 12];
  fprintf ('x     = %s\n', mat2str (x));
  fprintf ('table = %s   (groups of 3, 4 and 5 entries)\n', mat2str (table));

  penalty = grpnorm (x, table);
  fprintf ('grpnorm (x, table)          = %g   (5 + 2 + 0)\n', penalty);

  % The same value written with Octave's own operations, group by group.
  byhand = 0;
  for k = 1:numel (table) - 1
    byhand = norm (x(table(k)+1:table(k+1))) + byhand;
  end
  fprintf ('the same, group by group    = %g\n', byhand);

  % A table that covers only part of the vector leaves the rest out.
  fprintf ('grpnorm (x, [3 7])          = %g   (the second group alone)\n', grpnorm (x, [3 7]));
end
