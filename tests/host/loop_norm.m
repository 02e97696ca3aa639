function n = loop_norm (x)
  % N = LOOP_NORM (X) is the Euclidean norm of the elements of X as the
  % kernels compute it, in the class of X: the squares summed from 0 in
  % ascending order, each sum rounded to that class, then the square root.
  n = zeros (1, 1, class (x));
  for k = 1:numel (x)
    n = n + x(k) * x(k);
  end
  n = sqrt (n);
end
