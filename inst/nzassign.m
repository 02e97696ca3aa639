function varargout = nzassign (varargin)
%NZASSIGN Overwrite of the stored values of a matrix, in place.
%   Usage: nzassign ( S, v )
%
%   Writes the elements of v, in storage order, over the first numel (v)
%   stored values of S, in place, and returns nothing: the non-zero values
%   of a sparse S, column by column (its sparsity pattern is kept, and a zero
%   written there stays stored), or the elements of a full S, column-major.
%   Stored values beyond the first numel (v) keep their contents.  Each
%   value arrives bit for bit (-0, subnormals, Inf and NaN included).
%
%   In place means in the storage of S itself, so the values land in every
%   value that shares it:
%     - copies made by assignment: after T = S, T changes too (likewise a
%       caller's variable passed as S, and a cell or field holding S);
%     - in Octave, a slice of whole columns of a full S (B = S(:, 2:3)) and
%       its reshapes (S(:), reshape (S, ...)), which Octave makes without
%       copying;
%     - in Octave, a literal constant in a function body: after
%       x = [1 2 3]; nzassign (x, v) in a function, the function's code
%       holds the new values, and its next call starts from them.
%   To write into a private copy, make one first by an operation that
%   creates new storage: S = -(-S) holds the same values bit for bit (and
%   the same sparsity pattern) and shares nothing.  A value that Octave
%   holds without double storage of its own (a range such as 1:3, a
%   diagonal or permutation matrix such as eye (3), the second output of
%   sort) would be written as a private full copy, reaching no variable:
%   the Octave-native plug-in refuses it (S = full (S) first gives it
%   storage).  The MEX plug-in in Octave cannot tell, as Octave's MEX layer
%   hands it such a copy: there the call writes the copy and changes no
%   variable.  An integer literal of 2^53 or more is accepted by both.
%
%   Octave keeps facts about a matrix beside its storage: the index vector
%   of a matrix that has served as an index, and the matrix type that
%   A \ b found.  The Octave-native plug-in drops those of S as it writes,
%   but cannot reach those of a slice or reshape sharing the storage: once
%   such a value has served as an index or been solved with, copy S before
%   writing into it.  The MEX plug-in in Octave drops nothing (after
%   nzassign (i, v), a(i) may still index with the old values) and reads an
%   integer literal of 2^53 or more as the integer's bits: use the native
%   plug-ins in Octave.
%
%   Arguments
%     S       real double array, full or sparse, or real, full single
%             array: the destination.
%     v       real, full array of any shape, of the class of S, read as
%             v(:).
%
%   Single
%     A full single S takes a single v, written bit for bit as for double.
%     A v of the other class is refused, not converted: a double v written
%     into a single S would be rounded without a word.  Octave has no
%     sparse single arrays; MATLAB has them from R2025a on, and nzassign
%     refuses a sparse single S (its MEX interface tells one by its class
%     and sparsity alone).  A float
%     diagonal matrix such as eye (3, 'single') has no storage of its own
%     and is refused by the Octave-native plug-in, as its double form.
%
%   Refusals (the call raises an error and S is left unchanged; Octave puts
%   "nzassign: " before it)
%     wrong number of arguments, or any requested result:
%       Usage: nzassign ( S, v )
%     an S that is not a real double or single array (integer, logical,
%     char, complex, cell, struct):
%       S must be a real double or single array.
%     a sparse single S (MATLAB R2025a and later):
%       S must be a real double or single array, and double when sparse.
%     a v that is not a real, full double or single array:
%       v must be a real, full double or single array.
%     a v of the other class than S:
%       v must be of the class of S.
%     an S without storage of its own (Octave-native plug-in; the
%     message is one line):
%       S has no storage of its own for the write to land in; make it a
%       full matrix first: S = full (S).
%     a v longer than the stored values of S (its element count when full,
%     its stored non-zeros, nnz (S), when sparse, not the room allocated
%     beyond them, nzmax (S)):
%       v must not have more elements than S has stored values.
%
%   Example
%     S = sparse ([1 0 2; 0 3 0]);
%     nzassign (S, [10 20 30]);
%     full (S)
%     % ans = [10 0 30; 0 20 0]: the stored values 1, 3, 2 (column by
%     % column) became 10, 20, 30
%
%   See also PAIRDOT, NONZEROS, NZMAX, CONTENTS.

% Only the compiled plug-in of the same name computes anything: this file
% holds its help, and runs only when the plug-in is missing.
error ('proxkit:notBuilt', ['nzassign: the proxkit plug-in nzassign has not been built ' ...
       'or is not on the path.  Build it with build_proxkit (MATLAB or Octave), ' ...
       'or install the proxkit package in Octave (pkg install, then pkg load proxkit).']);
end

%!test
%! S = sparse ([1 0 2; 0 3 0]);
%! nzassign (S, [10 20 30]);
%! assert (full (S), [10 0 30; 0 20 0])
%!test
%! S = sparse ([1 0 2; 0 3 0]);
%! nzassign (S, 0);
%! assert (nnz (S), 3)
%! assert (full (S), [0 0 2; 0 3 0])
%!test
%! F = [1 2; 3 4];
%! nzassign (F, [9 8]);
%! assert (F, [9 2; 8 4])
%!test
%! S = sparse ([1 0 2; 0 3 0]);
%! fail ('nzassign (S, 1:4)', 'v must not have more elements than S has stored values\.');
%! assert (full (S), [1 0 2; 0 3 0])
%!error <Usage: nzassign \( S, v \)> x = nzassign ([1 2], 1)
%!test
%! F = single ([1 2 3]);
%! nzassign (F, single ([-0 0.1]));
%! assert (typecast (F, 'uint32'), typecast (single ([-0 0.1 3]), 'uint32'))
%!error <S must be a real double or single array\.> nzassign (int8 ([1 2]), 1)
%!error <v must be a real, full double or single array\.> nzassign ([1 2], sparse (1))
%!error <v must be of the class of S\.> nzassign (single ([1 2]), 1)
