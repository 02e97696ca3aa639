function varargout = rowball (varargin)
%ROWBALL Projection of every row of a matrix onto the l1 ball.
%   Usage: [P, theta, iterations] = rowball (X, m, n, t)
%          [P, theta, iterations] = rowball (X, m, n, t, tol)
%
%   Reads X as an m-by-n matrix and projects each of its rows, in the
%   Euclidean sense, onto the l1 ball of radius t.  A row whose l1 norm is at
%   most t is returned as it is; any other row x becomes
%   sign(x).*max(abs(x) - theta, 0), its threshold theta found by an
%   active-set iteration so that the l1 norm of the result is t.
%
%   Arguments
%     X       real, full double or single array of at least m*n elements,
%             read as an m-by-n column-major matrix (its own shape is not
%             consulted).  The class of X is the class of every result and
%             of the arithmetic.
%     m, n    real, full double arrays; their first elements, truncated
%             toward zero, are the dimensions (0 to 2147483647).
%     t       real, full double or single array; its first element is the
%             radius (a double t with single X is rounded to single first).
%     tol     optional, real, full double or single array; its first
%             element, at least 0, is the tolerance of the iteration
%             (rounded to single with single X).  0 is the exact rule.
%             Without tol: 1e-8 for double X, the exact rule for single X.
%   Results (only as many as requested are created, at least P)
%     P           m-by-n, of the class of X: the projected rows.
%     theta       m-by-1: each row's threshold (0 inside the ball).
%     iterations  m-by-1: each row's count of threshold iterations (0 inside
%                 the ball).
%
%   The iteration runs while |R - h*theta| > tol for the active set's sum R
%   less t and count h.  It also ends after an iteration that keeps every
%   active value, or none (where rounding would otherwise keep it going
%   forever, or divide by an empty count); on every other row the results
%   are those of the plain iteration, bit for bit.  A row holding NaN, or a
%   NaN t, comes back unchanged except that NaN and -0 become 0; a row
%   holding Inf becomes 0 with theta Inf.  A row whose l1 norm overflows
%   (beyond realmax of its class) becomes 0 with theta Inf.  A negative t
%   prints the line " t should be nonnegative!" and returns zeros; it is not
%   an error.
%
%   The exact rule, tol = 0: the iteration runs until one keeps every active
%   value, so theta is the exact threshold of the projection up to the
%   rounding of one sum and one division (within 2*eps(class(X)) times the
%   row's l1 norm), at any scale, in at most n iterations; beyond the
%   iterations that find the final active set it costs at most one pass
%   over that set.
%
%   Without tol, double X uses the documented tolerance 1e-8, absolute, and
%   keeps the bits it has always had; rows of small magnitude, or whose
%   threshold lies within 1e-8 of a value, suffer: rowball ([3 1.99999999],
%   1, 2, 1) gives theta 1.999999995 where the exact threshold is 2
%   (rowball ([3 1.99999999], 1, 2, 1, 0) gives [1 0] and theta 2), and a row
%   at scale 1e-10 whose l1 norm is 4t comes back unchanged with theta 0.
%   Single X computes in single, bit for bit as the plain single-precision
%   iteration (sums from 0 in ascending column order, the count h rounded
%   to single where it divides); an absolute 1e-8 is below single's spacing
%   near 1 (1.2e-7), so single's default is the exact rule.
%
%   Refusals (the call raises an error and creates nothing; Octave puts
%   "rowball: " before it)
%     fewer than four arguments (arguments after the fifth are ignored):
%       Usage: [P, theta, iterations] = rowball (X, m, n, t)
%     X, t or tol not a real, full double or single array:
%       X must be a real, full double or single array.   (likewise t, tol)
%     m or n not a real, full double array:
%       m must be a real, full double array.             (likewise n)
%     m or n single:
%       m must be a real, full double array; single is for values only.
%     an empty m, n, t or tol:
%       m must have at least one element.      (likewise n, t, tol)
%     tol negative or NaN:
%       tol must be a non-negative number.
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
%   Example: the exact rule, and single
%     [P, theta] = rowball ([3 1.99999999], 1, 2, 1, 0)
%     % P = [1 0], theta = 2 (without the 0: theta 1.999999995)
%     [P, theta] = rowball (single (1e-10 * [3 1 -2]), 1, 3, 1.5e-10)
%     % single P = 1e-10 * [1.25 0 -0.25] and theta = 1.75e-10, each to
%     % single's rounding
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
%!test
%! [P, theta, iterations] = rowball ([3 1.99999999], 1, 2, 1, 0);
%! assert (P, [1 0])
%! assert (theta, 2)
%! assert (iterations, 2)
%! [P, theta] = rowball ([3 1.99999999], 1, 2, 1);
%! assert (theta, 3.99999999 / 2)
%!test
%! [P, theta, iterations] = rowball (single ([3 1 -2]), 1, 3, 2);
%! assert (P, single ([1.5 0 -0.5]))
%! assert (theta, single (1.5))
%! assert (iterations, single (2))
%! x = single (1e-10 * [3 1 -2]);
%! [P, theta] = rowball (x, 1, 3, 1.5e-10);
%! assert (theta, single (1.75e-10), 2 * eps ('single') * sum (abs (x)))
%!error <tol must be a non-negative number\.> rowball ([1 2], 1, 2, 1, -1)
%!error <m must be a real, full double array; single is for values only\.> rowball ([1 2], single (1), 2, 1)
