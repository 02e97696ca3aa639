function peers (native, mex)
  % PEERS (NATIVE, MEX) times every proxkit function three ways on the
  % standard workloads (fixed seeds), in this one Octave process: through
  % its Octave-native plug-in (in the folders of the cell NATIVE, with the
  % native hostcost), through its MEX plug-in (in the folders of the cell
  % MEX, with the MEX hostcost) and as the vectorised Octave code a user
  % would write instead.  One table:
  %  - native, MEX: the median time of the call, result returned, and
  %    native/MEX;
  %  - x*1: Octave's own y = x * 1 on an array of the result's size, the
  %    floor of creating a result in Octave, and native/x*1;
  %  - peer: the median time of the vectorised code, and peer/native;
  %  - max|diff|: the largest absolute difference between the native and the
  %    peer's results.  They need not be identical: the peers sum in other
  %    orders.  (The native and MEX results are identical: the tests check
  %    it.)
  % Then the small-call figures: calls on a 10-element vector through both
  % builds, against the call of an empty plug-in of each.
  %
  % Both builds are called in one process under different names: the MEX
  % plug-ins are copied as <name>_mex.mex into a folder of their own (a MEX
  % plug-in's function takes the name of its file).
  names = [{'hostcost'}, kernels()];
  renamed = tempname ();
  mkdir (renamed);
  for k = 1:numel (names)
    found = cellfun (@(folder) fullfile (folder, [names{k} '.mex']), mex, 'UniformOutput', false);
    found = found(cellfun (@isfile, found));
    copyfile (found{1}, fullfile (renamed, [names{k} '_mex.mex']));
  end
  addpath (native{:}, renamed);
  cleanup = onCleanup (@() remove_folder (renamed));
  printf ('proxkit: Octave-native and MEX plug-ins against vectorised Octave %s;\n', version ());
  printf ('medians of several runs, in ms.  x*1: Octave''s own y = x * 1 on an array of the\n');
  printf ('result''s size.  max|diff|: largest absolute difference of the results, which need\n');
  printf ('not be identical (the vectorised code adds in other orders).\n\n');
  printf ('%-9s %-4s %8s %8s %7s %8s %7s  %-24s %8s %8s %10s\n', 'kernel', 'load', 'native', 'MEX', ...
          'nat/MEX', 'x*1', 'nat/x*1', 'peer', 'peer ms', 'peer/nat', 'max|diff|');
  segment_rows ();
  pairdot_rows ();
  nzassign_rows ();
  rowball_rows ();
  small_calls ();
end

function remove_folder (folder)
  rmpath (folder);
  confirm_recursive_rmdir (false);
  rmdir (folder, 's');
end

function names = kernels ()
  names = {'grpnorm', 'grpclip', 'grpshrink', 'grpsign', 'pairdot', 'nzassign', 'rowball'};
end

% ---------------------------------------------------------------- workloads

function segment_rows ()
  N = 1e7;
  randn ('state', 1);
  x = randn (N, 1);
  rho = struct ('grpnorm', [], 'grpclip', [], 'grpshrink', 1, 'grpsign', 1e-6);
  for workload = {{'S1', 10}, {'S2', 1000}, {'S3', N}}
    [name, len] = workload{1}{:};
    % The table as a matrix: Octave would turn a range (0:len:N) into one
    % on every call, a cost of the host's that a solver avoids.
    accIdx = cumsum ([0, repmat(len, 1, N / len)]);
    % The segment of every element, made once, as a solver would.
    g = repelem ((1:numel (accIdx) - 1)', diff (accIdx))(:);
    for kernel = {'grpnorm', 'grpclip', 'grpshrink', 'grpsign'}
      k = kernel{1};
      args = [{x, accIdx}, num2cell(rho.(k))];
      result_rows = N;
      if (strcmp (k, 'grpnorm'))
        result_rows = 1;
      end
      forms = {'accumarray', @() accumarray_peer (k, x, g, rho.(k)); ...
               'reshape (equal segments)', @() reshape_peer (k, x, len, rho.(k))};
      print_rows (k, name, args, [result_rows 1], forms);
    end
  end
end

function pairdot_rows ()
  r = 20; m = 2e4; n = 2e4; L = 1e6;
  randn ('state', 2);
  rand ('state', 2);
  Ut = randn (r, m);
  V = randn (r, n);
  iR = randi (m, 1, L);
  iC = randi (n, 1, L);
  print_rows ('pairdot', 'P1', {Ut, V, iR, iC}, [1 L], ...
              {'sum(Ut(:,iR).*V(:,iC),1)', @() sum (Ut(:,iR) .* V(:,iC), 1)});
end

function nzassign_rows ()
  side = 1e5; per_column = 100;
  randn ('state', 3);
  rand ('state', 3);
  % 1e7 stored values: in every column, one random row in each of 100 bands
  % of 1000 rows, so no position repeats.
  stored_rows = (0:per_column - 1)' * (side / per_column) + randi (side / per_column, per_column, side);
  stored_cols = repmat (1:side, per_column, 1);
  S = sparse (stored_rows(:), stored_cols(:), 1, side, side);
  clear stored_rows stored_cols
  v = randn (nnz (S), 1);
  % The pattern, kept by a solver that rebuilds S with new values.
  [i, j] = find (S);
  print_rows ('nzassign', 'Z1', {S, v}, [0 0], {'sparse(i,j,v,m,n)', @() sparse (i, j, v, side, side)});
end

function rowball_rows ()
  t = 1;
  for workload = {{'R1', 1e4, 1e3, 4}, {'R2', 1e5, 100, 5}}
    [name, m, n, seed] = workload{1}{:};
    randn ('state', seed);
    X = randn (m, n);
    print_rows ('rowball', name, {X, m, n, t}, [m n], {'sort-based, across rows', @() rowball_peer (X, t)});
  end
end

% ------------------------------------------------------------------- peers

% The segment kernels in their general form, for any segment table: g names
% the segment of every element.
function out = accumarray_peer (kernel, x, g, rho)
  norms = sqrt (accumarray (g, x .^ 2));
  switch (kernel)
    case 'grpnorm'
      out = sum (norms);
    case 'grpclip'
      out = x ./ max (1, norms)(g);
    case 'grpshrink'
      out = max (0, 1 - 1 ./ (norms * rho))(g) .* x;
    case 'grpsign'
      zero = 10 * rho > norms & norms > -10 * rho;
      out = x ./ norms(g);
      out(zero(g)) = 0;
  end
end

% The same for segments of one length, one per column of a reshaped x.
function out = reshape_peer (kernel, x, len, rho)
  X = reshape (x, len, []);
  norms = sqrt (sum (X .^ 2, 1));
  switch (kernel)
    case 'grpnorm'
      out = sum (norms);
      return;
    case 'grpclip'
      Y = X ./ max (1, norms);
    case 'grpshrink'
      Y = max (0, 1 - 1 ./ (norms * rho)) .* X;
    case 'grpsign'
      Y = X ./ norms;
      Y(:, 10 * rho > norms & norms > -10 * rho) = 0;
  end
  out = Y(:);
end

% Each row of X projected onto the l1 ball of radius t > 0: the row's
% absolute values sorted in descending order, the largest count k of them
% whose k-th value exceeds (its partial sum - t)/k, and the threshold
% (partial sum k - t)/k, 0 for a row inside the ball.
function P = rowball_peer (X, t)
  A = abs (X);
  sorted = sort (A, 2, 'descend');
  partial = cumsum (sorted, 2);
  k = sum (sorted > (partial - t) ./ (1:columns (X)), 2);
  theta = max (0, (partial(sub2ind (size (partial), (1:rows (X))', k)) - t) ./ k);
  P = sign (X) .* max (A - theta, 0);
end

% The call of kernel (or of its MEX plug-in, under the name <kernel>_mex)
% on args, returning the result compared.  nzassign returns nothing: the
% result is S itself, written in place (returning it copies nothing).
function result = call_kernel (name, args)
  if (strncmp (name, 'nzassign', 8))
    feval (name, args{:});
    result = args{1};
  else
    result = feval (name, args{:});
  end
end

% ------------------------------------------------------------------ timing

% Prints the kernel's row and one per peer: the kernel called on args
% through both builds, x * 1 on an array of the result's shape, and each
% peer (a function of no argument returning the result compared).
function print_rows (kernel, workload, args, result_shape, peers)
  [native_ms, mex_ms, expected] = median_ms (@() call_kernel (kernel, args), @() call_kernel ([kernel '_mex'], args));
  x = randn (result_shape);
  floor_ms = median_ms (@() x * 1);
  lead = sprintf ('%-9s %-4s %8.2f %8.2f %7.3f %8.2f %7.2f', kernel, workload, native_ms, mex_ms, ...
                  native_ms / mex_ms, floor_ms, native_ms / floor_ms);
  for p = 1:rows (peers)
    [peer_ms, ~, got] = median_ms (peers{p, 2});
    printf ('%s  %-24s %8.2f %8.2f %10.3g\n', lead, peers{p, 1}, peer_ms, peer_ms / native_ms, ...
            full (max (max (abs (got - expected)))));
    lead = blanks (numel (lead));
  end
  fflush (stdout);
end

% The median time of f() in ms over a few runs after a first, untimed one
% (which loads the plug-in and returns the result); fewer runs for slow code
% so that the whole table takes minutes.  With a second function g, also
% g's, the runs of the two alternating so that both meet the same machine.
function [ms, g_ms, result] = median_ms (f, g)
  functions = {f};
  if (nargin > 1)
    functions{2} = g;
  end
  cellfun (@(h) h (), functions(2:end), 'UniformOutput', false);
  result = f ();
  start = tic ();
  result = f ();
  first = toc (start);
  runs = max (3, min (7, floor (1 / first)));
  times = zeros (runs, numel (functions));
  for r = 1:runs
    for k = numel (functions):-1:1
      start = tic ();
      result = functions{k} ();
      times(r, k) = toc (start);
    end
  end
  ms = 1e3 * median (times(:, 1));
  g_ms = 1e3 * median (times(:, end));
end

% ------------------------------------------------------------- small calls

% Calls on a 10-element vector (one segment), in microseconds per call,
% through both builds: each build's empty plug-in (hostcost with no input
% and no result: the bare cost of calling a plug-in of that kind), then
% each kernel, with native/MEX.
function small_calls ()
  randn ('state', 5);
  x = randn (10, 1);
  accIdx = [0 10];
  printf ('\nSmall calls on a 10-element vector, microseconds per call (medians of batches).\n');
  printf ('%-32s %8s %8s %8s\n', 'call', 'native', 'MEX', 'nat/MEX');
  for call = {{'hostcost', ''}, {'y = grpnorm', '(x, accIdx)'}, {'y = grpclip', '(x, accIdx)'}, ...
              {'y = grpshrink', '(x, accIdx, 1)'}}
    [name, arguments] = call{1}{:};
    [native_us, mex_us] = call_us ({[name arguments], [name '_mex' arguments]}, x, accIdx);
    printf ('%-32s %8.3f %8.3f %8.3f\n', [name arguments], native_us, mex_us, native_us / mex_us);
  end
  printf ('(target: a call on a 10-element vector no more expensive than through the MEX plug-in)\n');
end

% The time of one run of each of two statements, written out in a loop (a
% function handle would add its own call), less the time of the empty loop;
% their batches alternate so that both meet the same machine.
function [a_us, b_us] = call_us (statements, x, accIdx)
  calls = 1e5;
  batches = 7;
  loops = cellfun (@(s) sprintf ('for call = 1:%d, %s; end', calls, s), statements, 'UniformOutput', false);
  empty = sprintf ('for call = 1:%d, end', calls);
  per_call = zeros (batches, 2);
  for b = 0:batches
    for k = 1:2
      start = tic ();
      eval (loops{k});
      spent = toc (start);
      start = tic ();
      eval (empty);
      if (b > 0)  % the first batch loads the plug-ins
        per_call(b, k) = (spent - toc (start)) / calls;
      end
    end
  end
  us = 1e6 * median (per_call);
  [a_us, b_us] = deal (us(1), us(2));
end
