function cross_check_builds (native, mex)
  % CROSS_CHECK_BUILDS (NATIVE, MEX) calls every kernel through the
  % Octave-native plug-ins in the folder NATIVE and through the MEX plug-ins
  % in the folder MEX, on the same random calls (fixed seeds), and fails
  % unless both builds give the same outcome for each call: the same results
  % bit for bit (class, size and every bit), or the same error message and
  % identifier character for character; the same printed text; and for
  % nzassign the same values in S afterwards.  The calls mix valid and
  % refused ones, every argument and result count, double and single values
  % with parameters of either class, arguments of other classes, arrays that
  % Octave holds without plain storage (ranges, diagonal matrices, in either
  % class) and results large enough to be advised for huge pages.
  calls = make_calls ();
  outcomes = {run_build(native, calls, '.oct'), run_build(mex, calls, '.mex')};
  bad = 0;
  for c = 1:numel (calls)
    if (~isequal (outcomes{1}{c}, outcomes{2}{c}))
      bad = bad + 1;
      fprintf ('%s: native and MEX differ\n', describe (calls{c}));
      disp (outcomes{1}{c});
      disp (outcomes{2}{c});
    end
  end
  refused = sum (cellfun (@(o) ~isempty (o.message), outcomes{1}));
  fprintf ('%d calls compared (%d refused), %d differ\n', numel (calls), refused, bad);
  if (bad > 0)
    error ('the native and MEX builds differ on %d of %d calls', bad, numel (calls));
  end
end

% ------------------------------------------------------------------ calls

% Each call: the kernel, a function returning fresh arguments (nzassign
% writes into its first) and the number of results requested.
function c = call (kernel, args, nout)
  c = struct ('kernel', kernel, 'args', args, 'nout', nout);
end

function calls = make_calls ()
  rand ('state', 14);
  randn ('state', 14);
  calls = {};
  others = {@single, @int32, @logical, @(x) repmat('a', size(x)), @(x) x + 1i, @sparse, @(x) {x}};
  for k = 1:60
    n = randi ([0 40]);
    x = randn (1, n) .* 10 .^ randi ([-3 3], 1, n);
    table = segment_table (n);
    rho = pick ({1, 0, -0.5, 1e-6, NaN, [], [2 3], Inf});
    nout = randi ([0 2]);
    calls{end+1} = call ('grpnorm', @() {x, table}, nout);
    calls{end+1} = call ('grpclip', @() {x, table}, nout);
    calls{end+1} = call ('grpshrink', @() {x, table, rho}, nout);
    calls{end+1} = call ('grpsign', @() {x, table, rho}, nout);
    % One argument of another class, or one too few or too many.
    kernel = pick ({'grpnorm', 'grpclip', 'grpshrink', 'grpsign'});
    args = {x, table, 1};
    args = args(1:2 + any (strcmp (kernel, {'grpshrink', 'grpsign'})));
    slot = randi (numel (args));
    convert = pick (others);
    args{slot} = convert (args{slot});
    calls{end+1} = call (kernel, @() args, 1);
    fewer = args(1:randi (numel (args)) - 1);
    calls{end+1} = call (kernel, @() fewer, 1);
  end
  % Single values, with parameters of either class.
  for k = 1:30
    n = randi ([0 40]);
    x = single (randn (1, n) .* 10 .^ randi ([-3 3], 1, n));
    table = segment_table (n);
    rho = pick ({1, single(0.3), 1e-6, NaN, [], single([2 3]), 0.5 + 2^-30});
    nout = randi ([0 1]);
    calls{end+1} = call ('grpnorm', @() {x, table}, nout);
    either = pick ({table, single(table)});
    calls{end+1} = call ('grpclip', @() {x, either}, nout);
    calls{end+1} = call ('grpshrink', @() {x, table, rho}, nout);
    calls{end+1} = call ('grpsign', @() {x, table, rho}, nout);
  end
  % Inputs without plain storage, and results advised for huge pages.
  calls{end+1} = call ('grpclip', @() {1:12, 0:3:12}, 1);
  calls{end+1} = call ('grpshrink', @() {eye(4), [0 4 8 16], 0.5}, 1);
  calls{end+1} = call ('grpshrink', @() {eye(4, 'single') * 2, [0 4 8 16], 0.5}, 1);
  big = randn (3e6, 1);
  for kernel = {'grpnorm', 'grpclip'}
    calls{end+1} = call (kernel{1}, @() {big, [0 5 1e3 2e6 3e6]}, 1);
    calls{end+1} = call (kernel{1}, @() {single(big), [0 5 1e3 2e6 3e6]}, 1);
  end
  for kernel = {'grpshrink', 'grpsign'}
    calls{end+1} = call (kernel{1}, @() {big, [0 5 1e3 2e6 3e6], 1e-3}, 1);
    calls{end+1} = call (kernel{1}, @() {big, [1e3 2e6 2.5e6], 1e-3}, 1);
  end

  for k = 1:40
    r = randi ([0 4]); m = randi ([0 6]); n = randi ([0 6]);
    L = randi ([0 8]);
    iR = randi ([0 m + 1], 1, L) + (rand (1, L) < 0.2) .* pick ({0.5, NaN, -Inf});
    iC = randi ([0 n + 1], 1, L);
    args = {randn(r, m), randn(pick({r, r + 1}), n), iR, pick({iC, iC(1:end-1)})};
    calls{end+1} = call ('pairdot', @() args, randi ([0 2]));
    single_args = [{single(args{1}), pick({single(args{2}), args{2}})}, args(3:end)];
    calls{end+1} = call ('pairdot', @() single_args, randi ([0 1]));
  end
  args = {randn(20, 300), randn(20, 400), randi(300, 1, 6e5), randi(400, 1, 6e5)};
  calls{end+1} = call ('pairdot', @() args, 1);

  for k = 1:30
    m = randi ([0 5]); n = randi ([0 5]);
    [i, j] = find (rand (m, n) < 0.5);
    values = randn (numel (i), 1);
    room = numel (i) + randi ([0 2]);
    v = randn (1, randi ([0 room + 1]));
    calls{end+1} = call ('nzassign', @() {sparse(i, j, values, m, n, room), v}, 0);
    full_values = randn (m, n);
    calls{end+1} = call ('nzassign', @() {full_values + 0, v}, randi ([0 1]));
    w = pick ({single(v), v});
    calls{end+1} = call ('nzassign', @() {single(full_values), w}, 0);
  end
  % A range as v; as S, the builds differ by design (the native one refuses it).
  calls{end+1} = call ('nzassign', @() {zeros(1, 5), 7:8}, 0);

  for k = 1:40
    m = randi ([0 6]); n = randi ([0 6]);
    X = randn (m, n + randi ([-1 1]) * (n > 0));
    t = pick ({1, 0, -1, 0.3, NaN, Inf, []});
    args = {X, pick({m, m + 0.7, -1}), n, t};
    calls{end+1} = call ('rowball', @() args, randi ([0 4]));
    tol = pick ({{}, {0}, {single(1e-3)}, {-1}, {NaN}});
    single_args = [{single(X)}, args(2:3), {pick({t, single(t)})}, tol];
    calls{end+1} = call ('rowball', @() single_args, randi ([0 3]));
  end
  calls{end+1} = call ('rowball', @() {eye(5), 5, 5, 0.5}, 3);
  X = randn (2e3, 300);
  calls{end+1} = call ('rowball', @() {X, 2e3, 300, 1}, 3);
end

% A segment table for n elements: accumulated lengths from 0, sometimes
% with fractional, NaN or far entries, or a last entry past the vector.
function table = segment_table (n)
  table = unique ([0, sort(randi ([0 n], 1, randi ([0 5]))), n]);
  switch (randi (6))
    case 1
      table(end) = table(end) + 1;
    case 2
      table(randi (numel (table))) = pick ({NaN, -3, 2.5, 1e300, -Inf});
    case 3
      table = table(end:-1:1);
    case 4
      table = [];
  end
end

function x = pick (choices)
  x = choices{randi(numel (choices))};
end

function text = describe (c)
  text = sprintf ('%s with %d arguments, %d results', c.kernel, numel (c.args ()), c.nout);
end

% ---------------------------------------------------------------- running

% Every call through the plug-ins in FOLDER, which must be the ones that
% run (file extension EXT).
function outcomes = run_build (folder, calls, ext)
  addpath (folder);
  clear functions;
  for kernel = unique (cellfun (@(c) c.kernel, calls, 'UniformOutput', false))
    [~, ~, found] = fileparts (which (kernel{1}));
    if (~strcmp (found, ext))
      error ('%s resolves to %s, not to a plug-in in %s', kernel{1}, which (kernel{1}), folder);
    end
  end
  outcomes = cellfun (@outcome, calls, 'UniformOutput', false);
  rmpath (folder);
end

% What one call gives: each result's class, size and bits, or the error's
% message and identifier; the printed text; nzassign's S afterwards.
function o = outcome (c)
  f = str2func (c.kernel);
  args = c.args ();
  out = cell (1, c.nout);
  o = struct ('results', {{}}, 'message', '', 'identifier', '', 'printed', '', 'S', []);
  % Storage of the size of a segment kernel's result, full of NaN and just
  % freed: a result that is not zero-filled where its kernel relies on zeros
  % would likely be given it and show NaN.
  if (~isempty (args) && isnumeric (args{1}))
    garbage = NaN (numel (args{1}), 1);
    clear garbage;
  end
  try
    if (c.nout == 0)
      o.printed = evalc ('f (args{:});');
      if (exist ('ans', 'var'))
        out = {ans};
      end
    else
      o.printed = evalc ('[out{:}] = f (args{:});');
    end
    o.results = cellfun (@bits, out, 'UniformOutput', false);
  catch err
    o.message = err.message;
    o.identifier = err.identifier;
  end
  if (strcmp (c.kernel, 'nzassign'))
    o.S = bits (args{1});
  end
end

function b = bits (x)
  if (~exist ('x', 'var'))
    b = {'undefined'};  % a result the plug-in did not create
    return;
  end
  b = {class(x), size(x), issparse(x)};
  if (isa (x, 'double'))
    b{end+1} = typecast (reshape (full (x), [], 1), 'uint64');
    if (issparse (x))
      [i, j, v] = find (x);
      b(end+1:end+2) = {[i j], nnz(x)};
    end
  end
end
