function example_matrix_completion ()
  % EXAMPLE_MATRIX_COMPLETION: a low-rank matrix recovered from a third of
  % its entries by alternating least squares on its two factors.
  %
  % The model U*V is evaluated only at the observed positions (pairdot), and
  % the residual at those positions lives in a sparse matrix whose stored
  % values are overwritten in place (nzassign), so no m-by-n product and no
  % new sparse matrix is formed per step.
  rand ('state', 7);
  randn ('state', 7);
  m = 120;  n = 100;  r = 4;
  A = randn (m, r) * randn (r, n);                 % the unknown truth
  observed = sparse (A .* (rand (m, n) < 0.35));   % its known entries

  % The observed positions and values, in the sparse storage order.
  [iR, iC, b] = find (observed);
  % A matrix of its own for the residual (a copy of `observed` would share
  % its storage, and the in-place writes would reach `observed` too).
  residual = sparse (iR, iC, 1, m, n);
  fprintf ('%d-by-%d matrix of rank %d, %d entries observed (%.0f%%)\n', ...
          m, n, r, numel (b), 100 * numel (b) / (m * n));

  % Rows of U and columns of V each see their own observed entries.
  rowsOf = accumarray (iC, (1:numel (iC))', [n 1], @(k) {k});
  colsOf = accumarray (iR, (1:numel (iR))', [m 1], @(k) {k});

  U = randn (m, r);
  V = randn (r, n);
  for sweep = 1:40
    % U step: each row of U solves its own least-squares problem.  The
    % residual's row i times V' is the gradient of that problem, so one
    % Newton step on it lands on the row's solution.
    update_residual (residual, U, V, iR, iC, b);
    G = residual * V';
    for i = 1:m
      Vi = V(:, iC(colsOf{i}));
      U(i, :) = U(i, :) - G(i, :) / (Vi * Vi');
    end
    % V step, likewise column by column.
    update_residual (residual, U, V, iR, iC, b);
    G = U' * residual;
    for j = 1:n
      Uj = U(iR(rowsOf{j}), :);
      V(:, j) = V(:, j) - (Uj' * Uj) \ G(:, j);
    end
    fit = norm (update_residual (residual, U, V, iR, iC, b)) / norm (b);
    if (sweep <= 3 || mod (sweep, 10) == 0)
      fprintf ('sweep %2d: relative residual on the observed entries %.2e\n', sweep, fit);
    end
  end

  err = norm (U * V - A, 'fro') / norm (A, 'fro');
  fprintf ('relative error of U*V against the whole truth: %.2e\n', err);
  if (err > 1e-8)
    error ('example_matrix_completion: no convergence (error %.2e)', err);
  end
end

% The model's misfit at the observed positions, written into the stored
% values of `residual` in place; also returned as a vector.
function misfit = update_residual (residual, U, V, iR, iC, b)
  misfit = pairdot (U', V, iR, iC)' - b;
  nzassign (residual, misfit);
end
