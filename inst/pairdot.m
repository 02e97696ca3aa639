function varargout = pairdot (varargin)
%PAIRDOT Product of two low-rank factors at listed positions.
%   out = pairdot (U', V, iR, iC)
%
%   Its usage message names the call pairdot_native:
%     Usage: out = pairdot_native (U', V, iR, iC)
%
%   OUT holds the values (U*V)(iR(k), iC(k)) of the product
%   of an m-by-r factor U and an r-by-n factor V at L listed positions,
%   without forming the m-by-n product: the model of a low-rank matrix at the
%   positions of a sparse pattern.
%
%   Arguments
%     U'      real double or single array of r rows and m columns: U
%             transposed, so that column j of U' is row j of U.
%     V       real array of r rows and n columns, of the class of U'.
%     iR, iC  real double arrays of the same element count L, any shapes:
%             1-based row numbers of U (columns of U') and column numbers of
%             V.  Position k starts at offset (iR(k) - 1)*r of U' and
%             (iC(k) - 1)*r of V, truncated toward zero, so a fractional
%             entry such as 1.5 starts inside a column.
%   Result
%     out     1-by-L row of the factors' class; out(k) adds the products
%             V(t)*U'(t) of its two runs of r values in ascending t,
%             starting from 0.  With r = 0 every value is 0.  On single
%             factors the products and sums are IEEE single, bit for bit;
%             iR and iC stay double.
%
%   Refusals, in the order they are checked (the call raises an error;
%   Octave puts "pairdot: " before it)
%     wrong number of arguments, or more than one result:
%       Usage: out = pairdot_native (U', V, iR, iC)
%     a factor that is not a real, full double or single array (integer,
%     logical, char, complex, sparse, cell, struct):
%       U' must be a real, full double or single array.   (likewise V)
%     factors of different classes:
%       U' and V must be of one class, double or single.
%     positions that are not a real, full double array:
%       iR must be a real, full double array.   (likewise iC)
%     single positions:
%       iR must be a real, full double array; single is for values only.
%     U' and V with different row counts:
%       the columns of U must the same as the rows of V
%     a rank above either dimension (m < r or n < r):
%       r must be less or equal than min(m,n)
%     iR and iC of different element counts:
%       iR and iC do not have the same length
%     a position whose r values would lie outside its factor (0, negative,
%     NaN, infinite, beyond m or n, or a fraction running past the end):
%       iR must hold row numbers of U from 1 to m.
%       iC must hold column numbers of V from 1 to n.
%
%   Example
%     U = [1 2; 3 4];  V = [5 7; 6 8];
%     out = pairdot (U', V, [1 2], [2 1])
%     % out = [23 39]: (U*V)(1,2) = 1*7 + 2*8 and (U*V)(2,1) = 3*5 + 4*6
%
%   See also NZASSIGN, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['pairdot: the proxkit plug-in pairdot has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!shared U, V
%! U = [1 2; 3 4];
%! V = [5 7; 6 8];
%!assert (pairdot (U', V, [1 2], [2 1]), [23 39])
%!assert (pairdot (U', V, [1; 2], [2 1]), [23 39])
%!assert (pairdot (U', V, [], []), zeros (1, 0))
%!assert (pairdot (single (U'), single (V), [1 2], [2 1]), single ([23 39]))
%!error <U' and V must be of one class, double or single\.> pairdot (single (U'), V, 1, 1)
%!error <Usage: out = pairdot_native \(U', V, iR, iC\)> pairdot (U', V, 1)
%!error <the columns of U must the same as the rows of V> pairdot (ones (3, 2), V, 1, 1)
%!error <r must be less or equal than min\(m,n\)> pairdot (ones (3, 2), ones (3, 5), 1, 1)
%!error <iR and iC do not have the same length> pairdot (U', V, 1, [1 2])
%!error <iR must hold row numbers of U from 1 to m\.> pairdot (U', V, 3, 1)
%!error <iC must hold column numbers of V from 1 to n\.> pairdot (U', V, 1, 0)
