function varargout = grpsign (varargin)
%GRPSIGN Unit direction of every segment of a vector, zero for negligible ones.
%   Usage: out = grpsign (vect, accIdx, rho)
%
%   OUT holds, for every segment v of VECT, v/norm(v), or zeros where the
%   segment counts as zero: where its norm lies strictly between -10*rho and
%   10*rho.  This is a subgradient of the sum of segment norms (GRPNORM).
%
%   Arguments
%     vect    real double or single array of N elements, any shape, read
%             as the vector vect(:).
%     accIdx  the segment table, any shape: K boundaries of K-1 segments,
%             the first one 0, each the sum of the segment lengths before
%             it (segments of lengths 2 and 3 over 5 elements: [0 2 5]).
%             Segment k covers the 0-based positions from accIdx(k),
%             truncated toward zero, up to but not including accIdx(k+1).
%     rho     real double or single array; its first element is the
%             tolerance rho,
%             further elements are ignored.
%   Result
%     out     N-by-1 column of VECT's class, whatever the shape of VECT.  Each
%             norm is the square root of the segment's squares summed from 0 in
%             ascending position; a segment counts as zero when 10*rho > norm
%             and norm > -10*rho (a norm of exactly 10*rho does not), and is
%             otherwise divided by its norm.  Positions in no segment are 0;
%             overlapping segments are processed in table order, the later one's
%             value staying.  With rho <= 0 no segment counts as zero, so an
%             all-zero segment becomes NaN (0/0); a NaN norm makes its segment
%             NaN.
%
%   Single
%     On a single VECT the result is single: the same sequence of
%     operations in IEEE single (sums from 0, correctly rounded square roots
%     and divisions, nothing fused), bit for bit, not merely close to the
%     double result.  rho may be of
%     either class: a double rho with a single VECT is rounded to single
%     first, as a mixed operation of the host does; a single rho with a
%     double VECT is widened, exactly.  accIdx stays double.
%
%   Refusals (the call raises an error; Octave puts "grpsign: " before it)
%     wrong number of arguments, or more than one result:
%       Usage: out = grpsign (vect, accIdx, rho)
%     a vect or rho that is not a real, full double or single array
%     (integer, logical, char, complex, sparse, cell, struct):
%       vect must be a real, full double or single array.
%       rho must be a real, full double or single array.
%     an accIdx that is not a real, full double array:
%       accIdx must be a real, full double array.
%     a single accIdx:
%       accIdx must be a real, full double array; single is for values only.
%     the last entry of accIdx above numel (vect):
%       INDEX OUT OF BOUND: the last index is out of bound.
%     an empty rho when the table has a segment (even an empty one):
%       rho must have at least one element.
%   Other entries of accIdx are not validated but are always read safely: a
%   segment whose start is -1 or below, NaN or infinite is empty, segment
%   ends beyond the vector are clipped to it, and a table of fewer than two
%   entries has no segment (OUT is all zeros, and rho may be empty).
%
%   Example
%     out = grpsign ([3 4 0.3 0.4], [0 2 4], 0.1)
%     % out = [0.6; 0.8; 0; 0]: the segment (3, 4) of norm 5 is divided by
%     % 5, the segment (0.3, 0.4) of norm 0.5 < 10*0.1 counts as zero
%
%   See also GRPNORM, GRPCLIP, GRPSHRINK, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['grpsign: the proxkit plug-in grpsign has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!assert (grpsign ([3 4 0.3 0.4], [0 2 4], 0.1), [0.6; 0.8; 0; 0])
%!assert (grpsign ([3 4], [0 2], 0.5), [0.6; 0.8])
%!assert (grpsign ([NaN 3 4], [1 3], 0.01), [0; 0.6; 0.8])
%!assert (all (isnan (grpsign ([0 0], [0 2], 0))))
%!error <Usage: out = grpsign \(vect, accIdx, rho\)> grpsign ([3 4], [0 2])
%!error <rho must have at least one element\.> grpsign ([3 4], [0 2], [])
%!assert (grpsign (single ([3 4 0.3 0.4]), [0 2 4], 0.1), single ([0.6; 0.8; 0; 0]))
%!error <INDEX OUT OF BOUND: the last index is out of bound\.> grpsign ([3 4], [0 3], 0.1)
