function test_hostile_inputs ()
  % Hostile inputs in the real host.  Every plug-in that is built is called with
  % arguments of every other class, wrong argument and result counts, empty
  % arrays, out-of-range and non-finite indices and sizes that do not fit,
  % around valid calls on double values and on single ones.
  % Each call must either return results of the stated shape and of the
  % values' class or raise one of the plug-in's own messages, and must leave
  % every argument as it was, except that an accepted nzassign writes v's
  % values, and nothing else, into S's stored values (neither its pattern
  % nor the room allocated beyond them).
  % Afterwards the session must still work.  A plug-in that is not built yet is
  % skipped with a note.  Prints, for each plug-in, the classes of non-empty
  % values each of its arguments was probed with.
  usage = @(call) {['Usage: ' call]};
  oob = 'INDEX OUT OF BOUND: the last index is out of bound.';
  % Values and parameters may be double or single; tables, indices and
  % dimensions are double, and say so of a single one.
  values = @(names) class_messages(names, ' must be a real, full double or single array.');
  doubles = @(names) [class_messages(names, ' must be a real, full double array.'), ...
                      class_messages(names, ' must be a real, full double array; single is for values only.')];
  segment_messages = @(call, names) [usage(call), {oob}, values(names([1 3:end])), doubles({'accIdx'}), ...
                                     {'rho must have at least one element.'}];
  vector_result = @(args, slot) [numel(args{1}) 1];
  v = [3 4 0 5 12];
  kernels = {
    kernel('grpnorm', @() {v, [0 2 5]}, @() {single(v), [0 2 5]}, 1, @(args, slot) [1 1], ...
           segment_messages('out = grpnorm (vect, accIdx)', {'vect', 'accIdx'}))
    kernel('grpclip', @() {v, [0 2 5]}, @() {single(v), [0 2 5]}, 1, vector_result, ...
           segment_messages('out = grpclip (vect, accIdx)', {'vect', 'accIdx'}))
    kernel('grpshrink', @() {v, [0 2 5], 1}, @() {single(v), [0 2 5], single(1)}, 1, vector_result, ...
           segment_messages('out = grpshrink (vect, accIdx, rho)', {'vect', 'accIdx', 'rho'}))
    kernel('grpsign', @() {v, [0 2 5], 0.01}, @() {single(v), [0 2 5], 0.01}, 1, vector_result, ...
           segment_messages('out = grpsign (vect, accIdx, rho)', {'vect', 'accIdx', 'rho'}))
    kernel('pairdot', @() {[1 3; 2 4], [5 7; 6 8], [1 2], [2 1]}, ...
           @() {single([1 3; 2 4]), single([5 7; 6 8]), [1 2], [2 1]}, 1, @(args, slot) [1 numel(args{3})], ...
           [usage('out = pairdot_native (U'', V, iR, iC)'), values({'U''', 'V'}), doubles({'iR', 'iC'}), ...
            {'U'' and V must be of one class, double or single.', ...
             'the columns of U must the same as the rows of V', 'r must be less or equal than min(m,n)', ...
             'iR and iC do not have the same length', 'iR must hold row numbers of U from 1 to m.', ...
             'iC must hold column numbers of V from 1 to n.'}])
    kernel('nzassign', @() {sparse([1 0 2; 0 3 0]), [7 8 9]}, @() {single([1 2; 3 4]), single([7 8 9])}, 0, ...
           @(args, slot) [0 0], ...
           [usage('nzassign ( S, v )'), {'S must be a real double or single array.', ...
            'v must be a real, full double or single array.', 'v must be of the class of S.', ...
            'v must not have more elements than S has stored values.'}])
    kernel('rowball', @() {[3 1 -2; 1 1 1], 2, 3, 2}, @() {single([3 1 -2; 1 1 1]), 2, 3, single(2)}, 3, ...
           @(args, slot) [fix(args{2}(1)) fix(args{3}(1)) * (slot == 1) + (slot > 1)], ...
           [usage('[P, theta, iterations] = rowball (X, m, n, t)'), values({'X', 't', 'tol'}), doubles({'m', 'n'}), ...
            class_messages({'m', 'n', 't', 'tol'}, ' must have at least one element.'), ...
            class_messages({'m', 'n'}, ' must be a count from 0 to 2147483647.'), ...
            {'tol must be a non-negative number.', 'X must have at least m*n elements.'}])
  };

  canary = magic (4);
  tested = {};
  probed = {};
  for i = 1:numel (kernels)
    k = kernels{i};
    if (exist (k.name) ~= 3)
      fprintf ('test_hostile_inputs: %s is not built; skipped\n', k.name);
      continue;
    end
    tested{end+1} = k.name;
    nouts = 0:k.results + 1;
    classes = {};
    for fresh = {k.args, k.single_args}
      valid = fresh{1} ();

      % Every argument count from none to two too many, every result count.
      for n = 0:numel (valid) + 2
        args = fresh{1} ();
        extra = num2cell (zeros (1, max (0, n - numel (args))));
        probe_counts (k, [args(1:min (n, end)), extra], nouts);
      end

      % Every argument in turn replaced by each hostile value.
      for slot = 1:numel (valid)
        for j = 1:numel (hostile_values (valid{slot}))
          args = fresh{1} ();
          pool = hostile_values (args{slot});
          args{slot} = pool{j};
          if (~isempty (pool{j}))
            classes{end+1} = class_of (pool{j}); %#ok<AGROW>
          end
          probe (k, args, k.results);
        end
      end
    end
    probed{end+1} = unique (classes); %#ok<AGROW>
    fprintf ('test_hostile_inputs: %s probed with %d classes: %s\n', k.name, numel (probed{end}), ...
             strjoin (probed{end}, ', '));
  end
  % Every class of the pool reaches every plug-in, char among them.
  pool = hostile_values (1);
  pool = pool(~cellfun (@isempty, pool));
  every = unique (cellfun (@class_of, pool, 'UniformOutput', false));
  for i = 1:numel (probed)
    missing = setdiff (every, probed{i});
    if (~isempty (missing))
      error ('%s was never probed with a non-empty value of the classes %s', tested{i}, strjoin (missing, ', '));
    end
  end

  % Cases aimed at each kernel's own checks.
  if (any (strcmp (tested, 'grpnorm')))
    k = kernels{1};
    v = [3 4 0 5 12];
    for table = {[0 2 5.5], [0 2 6], [0 2 4.5], [0 2 NaN], [3 1e9 2 5], [NaN 5 -7 5 Inf 5 1e300 5 -Inf 5], ...
                 [2^63 5], [2^64 5], [2^61 5], [9.2e18 1 2^61 2 2^62 3 1e18 4 6 5], [-0.5 5], [], 3, ...
                 [0 0 5], [5 0]}
      probe_counts (k, {v, table{1}}, 0:1);
      probe_counts (k, {zeros(1, 0), table{1}}, 0:1);
    end
  end
  for name = {'grpclip', 'grpshrink', 'grpsign'}
    if (any (strcmp (tested, name{1})))
      k = kernels{strcmp(cellfun (@(k) k.name, kernels, 'UniformOutput', false), name{1})};
      valid = k.args ();
      extra = valid(3:end);
      for table = {[0 2 5.5], [3 1e9 2 5], [NaN 5 -7 5 Inf 5 1e300 5], [9.2e18 1 2^61 2 2^62 3 1e18 4 6 5], ...
                   [0 0], 1, []}
        probe_counts (k, [{[1e200 -0 NaN Inf 5e-324], table{1}}, extra], 0:1);
        if (~isempty (extra))
          probe_counts (k, {[3 4 0 5 12], table{1}, []}, 0:1);
          probe_counts (k, {[3 4 0 5 12], table{1}, zeros(3, 0)}, 0:1);
        end
      end
    end
  end
  if (any (strcmp (tested, 'pairdot')))
    k = kernels{5};
    Ut = [1 3; 2 4];
    V = [5 7; 6 8];
    positions = {{0, 1}, {3, 1}, {1, 3}, {-1, 1}, {1, -1}, {NaN, 1}, {1, NaN}, {Inf, 1}, {-Inf, 1}, ...
                 {1e300, 1}, {2^64, 1}, {2^53 + 2, 1}, {1.5, 1}, {2.75, 2}, {2, 2.5}, {2.5, 2.5}, ...
                 {[], []}, {zeros(0, 3), zeros(3, 0)}, {[1 2], [1; 2]}, {[1 2 1], [1 2]}};
    for p = positions
      probe_counts (k, [{Ut, V}, p{1}], 0:2);
    end
    probe_counts (k, {zeros(0, 2), zeros(0, 3), [1 2 NaN], [3 1 1]}, 0:1);
    probe_counts (k, {zeros(3, 2), zeros(3, 3), 1, 1}, 0:1);
    probe_counts (k, {zeros(2, 2), zeros(3, 3), 1, 1}, 0:1);
    probe_counts (k, {zeros(4, 2), zeros(4, 4), 1.5, 1}, 0:1);
  end
  if (any (strcmp (tested, 'nzassign')))
    k = kernels{6};
    destinations = {@() sparse([1 0 2; 0 3 0]), @() sparse(2, 2), @() [1 2; 3 4], @() zeros(0, 3), ...
                    @() spalloc(3, 3, 5), @() sparse([0 0; 0 -0.5]), @() single([1 2; 3 4]), @() single(-0)};
    for d = destinations
      for v = {[], -0, [7 NaN], [7 8 9], [7 8 9 10], ones(1, 5), ones(3, 3), zeros(0, 4), ...
               single([7 NaN]), single(ones(1, 5)), zeros(0, 1, 'single')}
        probe_counts (k, {d{1}(), v{1}}, 0:1);
      end
    end
  end
  if (any (strcmp (tested, 'rowball')))
    k = kernels{7};
    X = [3 1 -2; 1 1 1];
    for mn = {{2, 3}, {3, 3}, {2, 4}, {0, 3}, {2, 0}, {0, 0}, {1, 6}, {6, 1}, {-1, 3}, {2, -1}, {NaN, 3}, ...
              {2, NaN}, {Inf, 3}, {2, -Inf}, {2^31, 0}, {0, 2^31}, {2^31 - 1, 2^31 - 1}, {1e10, 1e10}, ...
              {2.9, 3.5}, {-0.5, 3}, {[2 9], [3 9]}}
      for t = {2, 0, -1, NaN, Inf}
        probe_counts (k, [{X}, mn{1}, t], [1 3]);
      end
    end
    probe_counts (k, {[Inf 1 2; NaN 1 2], 2, 3, 1}, 0:3);
    probe_counts (k, {[1e10 3e9 1e-3 7e9; 1e300 -1e300 1 2], 2, 4, 1}, 0:3);
    probe_counts (k, {X, 2, 3, 2, 'extra'}, 0:3);
    for tol = {0, -0, single(0), 1e-300, -1e-300, NaN, Inf, [], [1 -1], single(-1)}
      probe_counts (k, {X, 2, 3, 2, tol{1}, 'ignored'}, [1 3]);
      probe_counts (k, {single(X), 2, 3, 2, tol{1}}, [1 3]);
    end
  end

  % The session goes on: variables are intact and every plug-in still works.
  assert (isequal (canary, magic (4)));
  results = struct ('grpnorm', {{{[3 4 0 5 12], [0 2 5]}, 18}}, ...
                    'grpclip', {{{[3 4 0.3 0.4], [0 2 4]}, [0.6; 0.8; 0.3; 0.4]}}, ...
                    'grpshrink', {{{[3 4], [0 2], 1}, [0.8 * 3; 0.8 * 4]}}, ...
                    'grpsign', {{{[3 4], [0 2], 0.01}, [0.6; 0.8]}}, ...
                    'pairdot', {{{[1 3; 2 4], [5 7; 6 8], [1 2], [2 1]}, [23 39]}}, ...
                    'rowball', {{{[3 1 -2], 1, 3, 2}, [1.5 0 -0.5]}});
  for name = tested
    if (isfield (results, name{1}))
      call = results.(name{1});
      expect_bits (feval (name{1}, call{1}{:}), call{2});
    end
  end
  if (any (strcmp (tested, 'nzassign')))
    S = sparse ([1 0 2]);
    nzassign (S, [5 6]);
    expect_bits (full (S), [5 0 6]);
  end
end

function k = kernel (name, args, single_args, results, shape, messages)
  % ARGS and SINGLE_ARGS are functions returning fresh valid arguments, with
  % double and with single values (an accepted nzassign writes into the data
  % of its first one); SHAPE (args, slot) is the size of result SLOT of an
  % accepted call.
  k = struct ('name', name, 'args', args, 'single_args', single_args, 'results', results, 'shape', shape, ...
              'messages', {messages});
end

function texts = class_messages (names, text)
  texts = cellfun (@(n) [n text], names, 'UniformOutput', false);
end

function s = snapshot (x)
  % A copy of X that shares no storage with it: an in-place write into X
  % cannot reach it.  Numbers, logicals and chars by their class and the
  % bytes of their values (logicals and chars as doubles, which hold them
  % exactly: MATLAB's typecast takes numeric values only); a sparse array by
  % its stored values in storage order, its pattern and the room allocated
  % for values (nzmax), so that neither a write into that room nor a change
  % of the pattern hides behind equal full () values.
  s.class = class (x);
  s.size = size (x);
  s.sparse = issparse (x);
  s.pattern = [];
  s.nzmax = [];
  if (isnumeric (x) || islogical (x) || ischar (x))
    if (issparse (x))
      [r, c, y] = find (x);
      s.pattern = [r(:) c(:)];
      s.nzmax = nzmax (x);
    else
      y = x;
    end
    y = y(:);
    if (islogical (y) || ischar (y))
      y = double (y);
    end
    if (~isreal (y))
      y = [real(y); imag(y)];
    end
    s.bytes = typecast (y, 'uint8');
  else
    s.bytes = x;
  end
end

function s = written (s, v)
  % The snapshot of an nzassign destination after an accepted write of v:
  % its first numel (v) stored values (in storage order) replaced by v's,
  % its pattern and room unchanged.  A v longer than the stored values must
  % have been refused; v is of S's class.
  values = typecast (s.bytes, s.class);
  if (numel (v) > numel (values))
    error ('nzassign accepted %d values for %d stored values', numel (v), numel (values));
  end
  values(1:numel (v)) = v(:);
  s.bytes = typecast (values, 'uint8');
end

function name = class_of (x)
  % The class of X, with sparse and complex told apart.
  name = class (x);
  if (issparse (x))
    name = ['sparse ' name];
  end
  if (isnumeric (x) && ~isreal (x))
    name = ['complex ' name];
  end
end

function probe (k, args, nout)
  % One call of kernel K with the arguments ARGS and NOUT requested results.
  f = str2func (k.name);
  before = cellfun (@snapshot, args, 'UniformOutput', false);
  out = cell (1, nout);
  try
    if (nout == 0)
      printed = evalc ('f (args{:});');
      if (k.results > 0)
        out = {ans};
      end
    else
      printed = evalc ('[out{:}] = f (args{:});');
    end
    accepted = true;
  catch err
    accepted = false;
    if (~any (strcmp (plugin_message (err), k.messages)))
      error ('%s with %d arguments, %d results: unexpected error "%s"', k.name, numel (args), nout, err.message);
    end
  end
  if (accepted)
    % rowball has no result count: asked for more than three results, it
    % gives three and the host reports the others as undefined.  Results
    % are of the class of the values, the first argument.
    for slot = 1:min (numel (out), k.results)
      r = out{slot};
      expected = k.shape (args, slot);
      if (~(isa (r, class (args{1})) && isreal (r) && ~issparse (r) && isequal (size (r), expected)))
        error ('%s with %d arguments, %d results: result %d is %s %s, not %s %s', k.name, numel (args), ...
               nout, slot, class (r), mat2str (size (r)), class (args{1}), mat2str (expected));
      end
    end
    if (~(isempty (printed) || (strcmp (k.name, 'rowball') && strcmp (printed, sprintf ('\n t should be nonnegative!')))))
      error ('%s with %d arguments, %d results: printed "%s"', k.name, numel (args), nout, printed);
    end
    if (strcmp (k.name, 'nzassign'))
      before{1} = written (before{1}, args{2});
    end
  end
  for i = 1:numel (args)
    if (~isequal (snapshot (args{i}), before{i}))
      error ('%s with %d arguments, %d results: argument %d changed', k.name, numel (args), nout, i);
    end
  end
end

function probe_counts (k, args, nouts)
  for nout = nouts
    probe (k, args, nout);
  end
end

function pool = hostile_values (x)
  % Arguments of other classes, empty, non-finite, out of range, too short or
  % too long; computed afresh for every call, so that no accepted write into
  % one of them can leak into another call.
  y = full (x);
  pool = {single(y), double(y), int8(y), uint64(y), x > 0, char(65 + zeros (size (x))), ...
          complex(y, 1), sparse(y), {x}, struct('a', x), @sin, ...
          [], zeros(0, 3), zeros(3, 0), ...
          NaN, Inf, -Inf, -1, 0, -0, 0.5, 2.5, 1e300, 2^31, 2^53, 2^64, realmin / 4, ...
          [NaN NaN], [Inf -Inf 1], [0 1e9 2 5], [5 0 2], [-7 0.5 3], ones(1, 64), zeros(7, 9)};
end
