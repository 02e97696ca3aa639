% proxkit: exact kernels for structured-sparsity and low-rank optimisation.
% Version 0.1.0 09-Dec-2026
%
% Segment kernels: a vector cut into segments by a segment table
%   grpnorm   - Sum of the Euclidean norms of the segments of a vector.
%   grpclip   - Projection of every segment onto the unit Euclidean ball.
%   grpshrink - Block soft-thresholding of every segment.
%   grpsign   - Unit direction of every segment, zero for negligible ones.
%
% Factor kernels: low-rank factors and sparse values
%   pairdot   - Product of two factors at listed positions.
%   nzassign  - Overwrite of the stored values of a matrix, in place.
%
% Row-wise projection
%   rowball   - Projection of every row of a matrix onto the l1 ball.
%
% Each function is a compiled plug-in (Octave-native in Octave, MEX in
% MATLAB) that computes on double or single values, in their own precision;
% help <name> describes its usage, arguments, results, refusals and an
% example.
