% The boundary with Octave itself: nothing Octave keeps beside a value (an
% index vector, a matrix type) outlives an nzassign write.  Octave's MEX
% layer cannot drop it, so this runs against the native build only.

% An index vector, and the matrix types found by a solve, full and sparse.
i = [1 2];
j = i;
a = [10 20 30];
a(i);
a(j);
nzassign (i, [3 1]);
expect_bits ([a(i) a(j)], [30 10 30 10]);

b = [1; 1];
A = [2 1; 0 3];
A \ b;
nzassign (A, [2 5 1 3]);
assert (A \ b, [2; -3], 1e-12);
S = sparse ([2 1; 1 3]);
S \ b;
nzassign (S, [2 0 1 3]);
assert (S \ b, [1; 1] / 3, 1e-12);
