function example_l1_ball ()
  % EXAMPLE_L1_BALL: eight sparse signals recovered at once from few linear
  % measurements, by projected gradient on l1-constrained least squares.
  %
  % Problem p:  minimise ||A*x - b_p||^2 / 2  subject to  ||x||_1 <= tau.
  % The unknowns of all problems are the rows of X, so one call of rowball
  % projects every problem's iterate onto the l1 ball in one step.
  rand ('state', 11);
  randn ('state', 11);
  problems = 8;  d = 200;  k = 80;  nonzeros_per_signal = 6;  tau = 10;

  % Sparse truths on the sphere of radius tau, and their measurements.
  truth = zeros (problems, d);
  for p = 1:problems
    support = randperm (d, nonzeros_per_signal);
    truth(p, support) = randn (1, nonzeros_per_signal);
  end
  truth = tau * truth ./ sum (abs (truth), 2);
  A = randn (k, d) / sqrt (k);
  B = truth * A';                         % row p holds b_p'
  fprintf ('%d problems: %d unknowns, %d measurements, %d non-zeros each, tau = %g\n', ...
          problems, d, k, nonzeros_per_signal, tau);

  step = 1 / norm (A) ^ 2;                % 1 / the gradient's Lipschitz constant
  X = zeros (problems, d);
  for iteration = 1:1000
    gradient = (X * A' - B) * A;
    [X, theta] = rowball (X - step * gradient, problems, d, tau);
    if (any (iteration == [1 10 100 300 1000]))
      err = max (sqrt (sum ((X - truth) .^ 2, 2)) ./ sqrt (sum (truth .^ 2, 2)));
      fprintf ('iteration %4d: worst relative error %.2e, largest threshold %.1e\n', ...
              iteration, err, max (theta));
    end
  end

  err = max (sqrt (sum ((X - truth) .^ 2, 2)) ./ sqrt (sum (truth .^ 2, 2)));
  fprintf ('worst relative error against the truth over %d problems: %.2e\n', problems, err);
  % The projection meets the radius to within its tolerance of 1e-8, which
  % bounds the attainable accuracy.
  if (err > 1e-6)
    error ('example_l1_ball: no convergence (error %.2e)', err);
  end
end
