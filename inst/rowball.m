function varargout = rowball (varargin)
%ROWBALL Projection of every row of a matrix onto the l1 ball.
%   Usage: [P, theta, iterations] = rowball (X, m, n, t)
%
%   Reads X as an m-by-n matrix and projects each of its rows, in the
%   Euclidean sense, onto the l1 ball of radius t.  A row whose l1 norm is at
%   most t is returned as it is; any other row x becomes
%   sign(x).*max(abs(x) - theta, 0), its threshold theta found by an
%   active-set iteration so that the l1 norm of the result is t.
%
%   Arguments
%     X       real, full double array of at least m*n elements, read as an
%             m-by-n column-major matrix (its own shape is not consulted).
%     m, n    real, full double arrays; their first elements, truncated
%             toward zero, are the dimensions (0 to 2147483647).
%     t       real, full double array; its first element is the radius.
%   Results (only as many as requested are created, at least P)
%     P           m-by-n double: the projected rows.
%     theta       m-by-1 double: each row's threshold (0 inside the ball).
%     iterations  m-by-1 double: each row's count of threshold iterations
%                 (0 inside the ball).
%   The iteration, with tolerance 1e-8, runs while |R - h*theta| > 1e-8 for
%   the active set's sum R less t and count h.  It also ends where rounding
%   would keep it going forever (row sums above about 1e8: an iteration that
%   changes the active set no more); on every other row the results are those
%   of the plain iteration, bit for bit.  A row holding NaN, or a NaN t,
%   comes back unchanged except that NaN and -0 become 0; a row holding Inf
%   becomes 0 with theta Inf.  A negative t prints the line
%   " t should be nonnegative!" and returns zeros; it is not an error.
%
%   The tolerance 1e-8 is absolute, so rows of small magnitude suffer: a row
%   at scale 1e-10 whose l1 norm is 4t comes back unchanged with theta 0,
%   and at scale 1e-8 the row of the example below gets theta 1.5e-8, not
%   1.75e-8, without a word.  With s a
%   power of two near t, the same computation on exactly scaled numbers,
%   with the tolerance scaled by s, is
%     [P, theta] = rowball (X / s, m, n, t / s);
%     P = s * P;  theta = theta * s;
%   (s = pow2 (round (log2 (t))) for t > 0).
%
%   Refusals (the call raises an error and creates nothing; Octave puts
%   "rowball: " before it)
%     fewer than four arguments (arguments after the fourth are ignored):
%       Usage: [P, theta, iterations] = rowball (X, m, n, t)
%     an argument that is not a real, full double array:
%       X must be a real, full double array.   (likewise m, n, t)
%     an empty m, n or t:
%       m must have at least one element.      (likewise n, t)
%     m or n negative, NaN or above 2147483647 after truncation:
%       m must be a count from 0 to 2147483647.   (likewise n)
%     X holding fewer than m*n elements:
%       X must have at least m*n elements.
%
%   Example
%     [P, theta, iterations] = rowball ([3 1 -2], 1, 3, 2)
%     % P = [1.5 0 -0.5], theta = 1.5, iterations = 2: the row's l1 norm
%     % 6 exceeds 2, and shrinking every magnitude by 1.5 leaves 1.5 + 0.5
%
%   Example: the same row at scale 1e-10, t a quarter of its l1 norm
%     x = 1e-10 * [3 1 -2];  t = 1.5e-10;  s = pow2 (round (log2 (t)));
%     [P, theta] = rowball (x / s, 1, 3, t / s);
%     P = s * P, theta = theta * s
%     % P = 1e-10 * [1.25 0 -0.25], theta = 1.75e-10 (rowball (x, 1, 3, t)
%     % alone returns x with theta 0)
%
%   See also GRPCLIP, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['rowball: the proxkit plug-in rowball has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!test
%! [P, theta, iterations] = rowball ([3 1 -2], 1, 3, 2);
%! assert (P, [1.5 0 -0.5])
%! assert (theta, 1.5)
%! assert (iterations, 2)
%!test
%! [P, theta, iterations] = rowball ([3 1 -2; 0.5 0 -0.5], 2, 3, 2);
%! assert (P, [1.5 0 -0.5; 0.5 0 -0.5])
%! assert (theta, [1.5; 0])
%! assert (iterations, [2; 0])
%!test
%! [P, theta] = rowball ([3 1 2], 1, 3, 0);
%! assert (P, [0 0 0])
%! assert (theta, 3)
%!test
%! printed = evalc ('P = rowball ([1 2], 1, 2, -1);');
%! assert (printed, "\n t should be nonnegative!")
%! assert (P, [0 0])
%!error <Usage: \[P, theta, iterations\] = rowball \(X, m, n, t\)> rowball ([1 2], 1, 2)
%!error <X must have at least m\*n elements\.> rowball ([1 2], 1, 3, 1)
%!error <m must be a count from 0 to 2147483647\.> rowball ([1 2], -1, 2, 1)
%!error <t must have at least one element\.> rowball ([1 2], 1, 2, [])
%!test
%! x = 1e-10 * [3 1 -2];
%! t = 1.5e-10;
%! [P, theta] = rowball (x, 1, 3, t);
%! assert (P, x)
%! assert (theta, 0)
%! s = pow2 (round (log2 (t)));
%! [P, theta] = rowball (x / s, 1, 3, t / s);
%! assert (s * P, 1e-10 * [1.25 0 -0.25], -1e-14)
%! assert (theta * s, 1.75e-10, -1e-14)
