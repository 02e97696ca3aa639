function varargout = grpnorm (varargin)
%GRPNORM Sum of the Euclidean norms of the segments of a vector.
%   Usage: out = grpnorm (vect, accIdx)
%
%   OUT is the group-l2 (group lasso) penalty of VECT with unit weights: the
%   sum, over the segments of VECT given by the segment table ACCIDX, of each
%   segment's Euclidean norm.
%
%   Arguments
%     vect    real double or single array of N elements, any shape, read
%             as the vector vect(:).
%     accIdx  the segment table, any shape: K boundaries of K-1 segments,
%             the first one 0, each the sum of the segment lengths before
%             it (segments of lengths 2 and 3 over 5 elements: [0 2 5]).
%             Segment k covers the 0-based positions from accIdx(k),
%             truncated toward zero, up to but not including accIdx(k+1).
%             Positions outside every segment do not count.
%   Result
%     out     1-by-1, of VECT's class.  Each segment's squares are summed from 0
%             in ascending position, its square root is taken, and the norms are
%             added in table order.  A NaN element makes OUT NaN; an element
%             whose square overflows (1e200) makes it Inf.
%
%   Single
%     On a single VECT the result is single: the same sequence of
%     operations in IEEE single (sums from 0, correctly rounded square roots
%     and divisions, nothing fused), bit for bit, not merely close to the
%     double result.  accIdx stays double.
%
%   Refusals (the call raises an error; Octave puts "grpnorm: " before it)
%     wrong number of arguments, or more than one result:
%       Usage: out = grpnorm (vect, accIdx)
%     a vect that is not a real, full double or single array (integer,
%     logical, char, complex, sparse, cell, struct):
%       vect must be a real, full double or single array.
%     an accIdx that is not a real, full double array:
%       accIdx must be a real, full double array.
%     a single accIdx:
%       accIdx must be a real, full double array; single is for values only.
%     the last entry of accIdx above numel (vect):
%       INDEX OUT OF BOUND: the last index is out of bound.
%   Other entries are not validated but are always read safely: a segment
%   whose start is -1 or below, NaN or infinite is empty, segment ends beyond
%   the vector are clipped to it, and a table of fewer than two entries has
%   no segment (OUT = 0).
%
%   Example
%     out = grpnorm ([3 4 0 5 12], [0 2 5])
%     % out = 18: the segments (3, 4) and (0, 5, 12) have the norms 5 and 13
%
%   See also GRPCLIP, GRPSHRINK, GRPSIGN, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['grpnorm: the proxkit plug-in grpnorm has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!assert (grpnorm ([3 4 0 5 12], [0 2 5]), 18)
%!assert (grpnorm ([3 4 0 5 12], 3), 0)
%!assert (grpnorm ([3 4 0 5 12], [0 0 2]), 5)
%!error <Usage: out = grpnorm \(vect, accIdx\)> grpnorm ([3 4])
%!assert (grpnorm (single ([3 4 0 5 12]), [0 2 5]), single (18))
%!error <vect must be a real, full double or single array\.> grpnorm (int8 ([3 4]), [0 2])
%!error <accIdx must be a real, full double array; single is for values only\.> grpnorm ([3 4], single ([0 2]))
%!error <INDEX OUT OF BOUND: the last index is out of bound\.> grpnorm ([3 4], [0 3])
