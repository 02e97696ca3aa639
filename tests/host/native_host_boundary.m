function native_host_boundary ()
  % The boundary with Octave itself: nothing Octave keeps beside a value (an
  % index vector, a matrix type, a lazy index's own index vector) outlives an
  % nzassign write, and a double that Octave stores as an integer (a literal of
  % 2^53 or more) is read as its double value.  Octave's MEX layer can do
  % neither, so this runs against the native build only.

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
  assert (max (abs (A \ b - [2; -3])) <= 1e-12);
  S = sparse ([2 1; 1 3]);
  S \ b;
  nzassign (S, [2 0 1 3]);
  assert (max (abs (S \ b - [1; 1] / 3)) <= 1e-12);

  % Values without double storage of their own, where a write would land in a
  % private copy, are refused: each still shows, and indexes with, what it
  % held, and takes the write once made full.  An integer-stored scalar and an
  % empty value are accepted, as ever.
  no_storage = 'S has no storage of its own for the write to land in; make it a full matrix first: S = full (S).';
  [~, k] = sort ([30 10 20]);
  E = eye (3);
  held = {k, 1:3, E * 2, E(:, [2 3 1]), eye(3, 'single')};
  shown = {[2 3 1], [1 2 3], 2 * eye(3), [0 0 1; 1 0 0; 0 1 0], eye(3, 'single')};
  for n = 1:numel (held)
    x = held{n};
    expect_error (@() nzassign (x, 7 * ones (1, numel (x))), no_storage);
    expect_bits (full (x), shown{n});
    x = full (x);
    nzassign (x, 7 * ones (1, numel (x), class (x)));
    expect_bits (x, 7 * ones (size (x), class (x)));
  end
  % A float diagonal matrix is read as a full single copy.
  expect_bits (grpclip (eye (3, 'single') * 2, [0 9]), grpclip (full (eye (3, 'single') * 2), [0 9]));
  v = [100 200 300];
  expect_bits (v(k), [200 300 100]);
  nzassign (9007199254740993, 1);
  nzassign (1:0, []);

  % Integer-stored doubles in every role: the same outcome as the double 2^53,
  % which such a literal rounds to.
  x = [3 4 0 5 12];
  calls = {
    @() grpnorm(9007199254740993, [0 1]),                 @() grpnorm(2^53, [0 1])
    @() grpclip(9007199254740993, [0 1]),                 @() grpclip(2^53, [0 1])
    @() grpshrink(x, [0 2 5], 9007199254740993),          @() grpshrink(x, [0 2 5], 2^53)
    @() grpsign(x, [0 2 5], 9007199254740993),            @() grpsign(x, [0 2 5], 2^53)
    @() pairdot(9007199254740993, 3, 1, 1),               @() pairdot(2^53, 3, 1, 1)
    @() rowball([3 1 -2], 9007199254740993, 3, 2),        @() rowball([3 1 -2], 2^53, 3, 2)
    @() rowball([3 1 -2], 1, 3, 9007199254740993),        @() rowball([3 1 -2], 1, 3, 2^53)
  };
  for n = 1:size (calls, 1)
    if (~isequal (outcome (calls{n, 1}), outcome (calls{n, 2})))
      error ('%s differs from the same call on 2^53', func2str (calls{n, 1}));
    end
  end
  v = [1 2];
  nzassign (v, 9007199254740993);
  expect_bits (v, [2^53 2]);

  % The private copy nzassign's help recommends keeps the values, their bits
  % and the pattern, and shares no storage.
  S = sparse ([2 1; 1 3]);
  nzassign (S, [0 -0 1 3]);
  P = -(-S);
  nzassign (S, [9 9 9 9]);
  expect_bits (nonzeros (P), [0; -0; 1; 3]);
end

function o = outcome (call)
  % The first result's bits, or the message of a refused call.
  try
    result = call ();
    o = typecast (result(:), 'uint64');
  catch err
    o = err.message;
  end
end
