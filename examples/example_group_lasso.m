function example_group_lasso ()
  % EXAMPLE_GROUP_LASSO: a group-lasso regression solved by FISTA.
  %
  % Minimises  0.5 * ||A*x - y||^2 + lambda * grpnorm (x, table)
  % over x, where the 40 coefficients fall into 10 groups of different sizes
  % and only 3 groups take part in the data.  The proximal step of the
  % penalty is block soft-thresholding: each group z_g of a gradient step z
  % is scaled by max(0, 1 - step*lambda/||z_g||), which is
  % grpshrink (z, table, 1 / (step * lambda)).
  randn ('state', 7);
  sizes = [3 5 4 6 2 5 3 4 4 4];
  table = [0 cumsum(sizes)];
  ngroups = numel (sizes);
  p = table(end);
  m = 80;
  active = [2 5 8];

  x_true = zeros (p, 1);
  for g = active
    x_true(table(g)+1:table(g+1)) = randn (sizes(g), 1);
  end
  A = randn (m, p) / sqrt (m);
  y = A * x_true + 0.01 * randn (m, 1);

  % lambda at a tenth of the smallest value that makes x = 0 optimal.
  lambda_max = 0;
  for g = 1:ngroups
    lambda_max = max (lambda_max, norm (A(:, table(g)+1:table(g+1))' * y));
  end
  lambda = 0.1 * lambda_max;
  objective = @(x) 0.5 * norm (A * x - y)^2 + lambda * grpnorm (x, table);

  step = 1 / norm (A)^2;          % 1 / Lipschitz constant of the gradient
  rho = 1 / (step * lambda);
  x = zeros (p, 1);
  z = x;
  t = 1;
  fprintf ('%d coefficients in %d groups (table %s), %d samples, lambda = %.4g\n', ...
          p, ngroups, mat2str (table), m, lambda);
  fprintf ('  iteration   objective\n');
  shown = [1 2 5 10 20 50 100 200 500 1000 2000];
  for k = 1:5000
    previous = x;
    x = grpshrink (z - step * (A' * (A * z - y)), table, rho);
    t_next = (1 + sqrt (1 + 4 * t^2)) / 2;
    z = x + ((t - 1) / t_next) * (x - previous);
    t = t_next;
    converged = norm (x - previous) <= 1e-10 * max (1, norm (x));
    if (any (k == shown) || converged)
      fprintf ('  %9d   %.12f\n', k, objective (x));
    end
    if (converged)
      break;
    end
  end
  fprintf ('converged after %d iterations\n\n', k);

  fprintf ('  group  size   true norm   recovered norm\n');
  recovered = false (1, ngroups);
  for g = 1:ngroups
    range = table(g)+1:table(g+1);
    recovered(g) = any (x(range) ~= 0);
    fprintf ('  %5d  %4d   %9.4f   %14.4f\n', g, sizes(g), norm (x_true(range)), norm (x(range)));
  end
  fprintf ('(the penalty shrinks the norms of the groups it keeps)\n');
  fprintf ('true groups:      %s\n', mat2str (active));
  fprintf ('recovered groups: %s\n', mat2str (find (recovered)));
  if (isequal (find (recovered), active))
    fprintf ('support recovered: every true group, and no other, is non-zero\n');
  else
    error ('example_group_lasso: the support was not recovered');
  end
end
