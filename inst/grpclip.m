function varargout = grpclip (varargin)
%GRPCLIP Projection of every segment of a vector onto the unit Euclidean ball.
%   Usage: out = grpclip (vect, accIdx)
%
%   OUT is VECT with every segment whose Euclidean norm exceeds 1 divided by
%   that norm; every other segment, and every position in no segment, is
%   copied unchanged.  For segments that do not overlap this is the
%   projection onto the vectors whose every segment has norm at most 1.
%
%   Arguments
%     vect    real double or single array of N elements, any shape, read
%             as the vector vect(:).
%     accIdx  the segment table, any shape: K boundaries of K-1 segments,
%             the first one 0, each the sum of the segment lengths before
%             it (segments of lengths 2 and 3 over 5 elements: [0 2 5]).
%             Segment k covers the 0-based positions from accIdx(k),
%             truncated toward zero, up to but not including accIdx(k+1).
%   Result
%     out     N-by-1 column of VECT's class, whatever the shape of VECT.  Each
%             norm is the square root of the segment's squares summed from 0 in
%             ascending position, always taken from VECT; a segment of norm
%             exactly 1 or NaN is kept.  Overlapping segments are processed in
%             table order, and a shared position is divided once by each of them
%             whose norm exceeds 1.  An infinite norm (an Inf, or an element
%             such as 1e200 whose square overflows) turns the finite elements of
%             its segment into 0 (-0 where negative).
%
%   Single
%     On a single VECT the result is single: the same sequence of
%     operations in IEEE single (sums from 0, correctly rounded square roots
%     and divisions, nothing fused), bit for bit, not merely close to the
%     double result.  accIdx stays double.
%
%   Refusals (the call raises an error; Octave puts "grpclip: " before it)
%     wrong number of arguments, or more than one result:
%       Usage: out = grpclip (vect, accIdx)
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
%   no segment (OUT is a copy of VECT).
%
%   Example
%     out = grpclip ([3 4 0.3 0.4], [0 2 4])
%     % out = [0.6; 0.8; 0.3; 0.4]: the segment (3, 4) of norm 5 is divided
%     % by 5, the segment (0.3, 0.4) of norm 0.5 is kept
%
%   See also GRPNORM, GRPSHRINK, GRPSIGN, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['grpclip: the proxkit plug-in grpclip has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!assert (grpclip ([3 4 0.3 0.4], [0 2 4]), [0.6; 0.8; 0.3; 0.4])
%!assert (grpclip ([3; 4; 0.3; 0.4], 0), [3; 4; 0.3; 0.4])
%!assert (grpclip ([0 1 0], [0 3]), [0; 1; 0])
%!error <Usage: out = grpclip \(vect, accIdx\)> grpclip ([3 4])
%!error <accIdx must be a real, full double array\.> grpclip ([3 4], int32 ([0 2]))
%!assert (grpclip (single ([3 4 0.3 0.4]), [0 2 4]), single ([0.6; 0.8; 0.3; 0.4]))
%!error <INDEX OUT OF BOUND: the last index is out of bound\.> grpclip ([3 4], [0 2.5])
