function out = fixture_help (vect, accIdx)
%FIXTURE_HELP A help block as inst/grpnorm.m had it before wrapping.
%     accIdx  the segment table, any shape: K boundaries of K-1 segments,
%             it (segments of lengths 2 and 3 over 5 elements: [0 2 5]).  Segment k covers the 0-based positions from % expect: help-width
%             accIdx(k), truncated toward zero % expect: nothing

% Past the help block, a long comment is no help line: ....................................... % expect: nothing
out = 0; % expect: nothing
end
