function varargout = grpshrink (varargin)
%GRPSHRINK Block soft-thresholding of every segment of a vector.
%   Usage: out = grpshrink (vect, accIdx, rho)
%
%   OUT scales every segment v of VECT by max(0, 1 - 1/(rho*norm(v))): a
%   segment of norm at most 1/rho becomes zero and a longer one is shortened
%   by 1/rho.  rho is the reciprocal of the usual threshold: for the
%   threshold tau pass 1/tau.  This is the proximal operator of the group-l2
%   penalty with weight 1/rho (the proximal step of a group-lasso solver).
%
%   One rho serves every segment; further elements of rho are ignored
%   without a word, so they are no per-segment weights.  Weights w > 0, one
%   per segment, come from the same call on the scaled vector: with w
%   repeated per element, w(:) .* grpshrink (z ./ w, accIdx, rho) gives each
%   segment the threshold w/rho.
%
%   Groups that are the rows of a matrix W: a segment is a run of
%   consecutive elements, and W is stored column by column, so its rows are
%   not runs but the columns of W.' are.  Work on W.', one segment per row
%   of W; for a p-by-T W:
%     out = grpshrink (W.', 0:T:p*T, rho);
%     W = reshape (out, T, p).';
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
%             parameter rho
%             (the reciprocal of the threshold), further elements are
%             ignored.
%   Result
%     out     N-by-1 column of VECT's class, whatever the shape of VECT.  Each
%             norm is the square root of the segment's squares summed from 0 in
%             ascending position; the factor is computed as the product
%             norm*rho, its reciprocal, then 1 minus it, and is 0 where that is
%             negative, NaN where it is NaN.  out = factor * vect, so a zero
%             factor keeps the sign of each element (-0).  Positions in no
%             segment are 0; overlapping segments are processed in table order,
%             the later one's value staying.  rho = 0 zeroes every finite
%             segment; rho < 0 lengthens every segment by |1/rho|.
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
%   Refusals (the call raises an error; Octave puts "grpshrink: " before it)
%     wrong number of arguments, or more than one result:
%       Usage: out = grpshrink (vect, accIdx, rho)
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
%     out = grpshrink ([3 4 0.3 0.4], [0 2 4], 1)
%     % out = [2.4000000000000004; 3.2; 0; 0]: the segment (3, 4) of norm 5
%     % is scaled by 1 - 1/5, the segment (0.3, 0.4) of norm 0.5 becomes 0
%
%   Example: the thresholds 2 and 0.1 of two segments, through weights
%     z = [3 4 0.3 0.4];  accIdx = [0 2 4];
%     w = repelem ([2 0.1], diff (accIdx));
%     out = w(:) .* grpshrink (z ./ w, accIdx, 1)
%     % out = [1.8; 2.4; 0.24; 0.32]: norms 5 and 0.5 scaled by 1 - 2/5 and
%     % 1 - 0.1/0.5
%
%   Example: the rows of W as groups, threshold 1
%     W = [3 4; 0.3 0.4; 6 8];
%     W = reshape (grpshrink (W.', 0:2:6, 1), 2, 3).'
%     % W = [2.4 3.2; 0 0; 5.4 7.2]: the row norms 5, 0.5 and 10
%
%   See also GRPNORM, GRPCLIP, GRPSIGN, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['grpshrink: the proxkit plug-in grpshrink has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!assert (grpshrink ([3 4 0.3 0.4], [0 2 4], 1), [2.4000000000000004; 3.2; 0; 0])
%!assert (grpshrink ([3 4 0.3 0.4], [0 2 4], [1 NaN]), [2.4000000000000004; 3.2; 0; 0])
%!assert (grpshrink ([NaN 3 4], [1 3], 1), [0; 2.4000000000000004; 3.2])
%!assert (grpshrink ([3 4], 1, []), [0; 0])
%!error <Usage: out = grpshrink \(vect, accIdx, rho\)> grpshrink ([3 4], [0 2])
%!error <rho must be a real, full double or single array\.> grpshrink ([3 4], [0 2], int8 (1))
%!assert (grpshrink (single ([3 4 0.3 0.4]), [0 2 4], 1), single ([2.4; 3.2; 0; 0]))
%!assert (grpshrink ([3 4 0.3 0.4], [0 2 4], single (1)), [2.4000000000000004; 3.2; 0; 0])
%!error <rho must have at least one element\.> grpshrink ([3 4], [0 2], [])
%!error <INDEX OUT OF BOUND: the last index is out of bound\.> grpshrink ([3 4], [0 3], 1)
%!test
%! z = [3 4 0.3 0.4];
%! w = repelem ([2 0.1], diff ([0 2 4]));
%! assert (w(:) .* grpshrink (z ./ w, [0 2 4], 1), [1.8; 2.4; 0.24; 0.32], 1e-15)
%!test
%! W = reshape (grpshrink ([3 4; 0.3 0.4; 6 8].', 0:2:6, 1), 2, 3).';
%! assert (W, [2.4 3.2; 0 0; 5.4 7.2], 1e-15)
