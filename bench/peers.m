function peers ()
  % PEERS times every proxkit plug-in against the vectorised Octave code a
  % user would write instead, on the standard workloads (fixed seeds), in
  % this one Octave process, and prints one table:
  %  - plug-in: the median time of the plug-in's call, result returned;
  %  - host: the median time of hostcost given the same inputs and creating a
  %    result of the same shape, that is Octave's own share of the call
  %    (passing the inputs, creating and returning the result);
  %  - kernel: plug-in minus host, the kernel's share;
  %  - peer: the median time of the vectorised code, and peer/plug-in;
  %  - max|diff|: the largest absolute difference between the two results.
  %    They need not be identical: the peers sum in other orders.
  % Then the small-call figure: calls on a 10-element vector against the
  % call of an empty plug-in.
  %
  % Needs the plug-ins and hostcost on the path.
  printf ('proxkit plug-ins against vectorised Octave %s; medians of several runs, in ms.\n', version ());
  printf ('host: Octave''s own share of the call (hostcost with the same inputs and result shape);\n');
  printf ('kernel: plug-in - host.  max|diff|: largest absolute difference of the results,\n');
  printf ('which need not be identical (the vectorised code adds in other orders).\n\n');
  printf ('%-9s %-4s %9s %8s %8s %6s  %-28s %9s %8s %10s\n', 'kernel', 'load', 'plug-in', 'host', ...
          'kernel', 'host%', 'peer', 'peer ms', '/plug-in', 'max|diff|');
  segment_rows ();
  pairdot_rows ();
  nzassign_rows ();
  rowball_rows ();
  small_calls ();
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
      print_rows (k, name, @() feval (k, args{:}), @() hostcost (result_rows, 1, args{:}), forms);
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
  print_rows ('pairdot', 'P1', @() pairdot (Ut, V, iR, iC), @() hostcost (1, L, Ut, V, iR, iC), ...
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
  print_rows ('nzassign', 'Z1', @() assign_values (S, v), @() hostcost (0, 0, S, v), ...
              {'sparse(i,j,v,m,n)', @() sparse (i, j, v, side, side)});
end

function rowball_rows ()
  t = 1;
  for workload = {{'R1', 1e4, 1e3, 4}, {'R2', 1e5, 100, 5}}
    [name, m, n, seed] = workload{1}{:};
    randn ('state', seed);
    X = randn (m, n);
    print_rows ('rowball', name, @() rowball (X, m, n, t), @() hostcost (m, n, X, m, n, t), ...
                {'sort-based, across rows', @() rowball_peer (X, t)});
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

% nzassign returns nothing: the result compared is S itself, written in
% place (returning it copies nothing).
function S = assign_values (S, v)
  nzassign (S, v);
end

% ------------------------------------------------------------------ timing

% Prints the plug-in's row and one per peer.  plugin, host and each peer are
% functions of no argument returning the result compared.
function print_rows (kernel, workload, plugin, host, peers)
  [plugin_ms, expected] = median_ms (plugin);
  host_ms = median_ms (host);
  lead = sprintf ('%-9s %-4s %9.2f %8.2f %8.2f %5.0f%%', kernel, workload, plugin_ms, host_ms, ...
                  plugin_ms - host_ms, 100 * host_ms / plugin_ms);
  for p = 1:rows (peers)
    [peer_ms, got] = median_ms (peers{p, 2});
    printf ('%s  %-28s %9.2f %8.2f %10.3g\n', lead, peers{p, 1}, peer_ms, peer_ms / plugin_ms, ...
            full (max (max (abs (got - expected)))));
    lead = blanks (numel (lead));
  end
  fflush (stdout);
end

% The median time of f() in ms over a few runs after a first, untimed one
% (which loads the plug-in and returns the result); fewer runs for slow code
% so that the whole table takes minutes.
function [ms, result] = median_ms (f)
  result = f ();
  start = tic ();
  result = f ();
  first = toc (start);
  runs = max (3, min (7, floor (1 / first)));
  times = zeros (runs, 1);
  times(1) = first;
  for r = 2:runs
    start = tic ();
    result = f ();
    times(r) = toc (start);
  end
  ms = 1e3 * median (times);
end

% ------------------------------------------------------------- small calls

% Calls on a 10-element vector (one segment), in microseconds per call,
% against the empty plug-in (hostcost with no input and no result: the
% bare cost of calling a plug-in) and against hostcost called as the kernel
% is (the same inputs, a result of the same shape).
function small_calls ()
  randn ('state', 5);
  x = randn (10, 1);
  accIdx = [0 10];
  printf ('\nSmall calls on a 10-element vector, microseconds per call (medians of batches);\n');
  printf ('/empty: against the empty plug-in; /host: against hostcost called as the kernel is.\n');
  printf ('%-36s %8s %8s %8s\n', 'call', 'us', '/empty', '/host');
  empty_us = call_us ('hostcost ()', x, accIdx);
  printf ('%-36s %8.3f %8.2f\n', 'hostcost () (the empty plug-in)', empty_us, 1);
  us = call_us ('y = hostcost (0, 0)', x, accIdx);
  printf ('%-36s %8.3f %8.2f\n', 'y = hostcost (0, 0)', us, us / empty_us);
  for call = {{'y = grpnorm (x, accIdx)', 'y = hostcost (1, 1, x, accIdx)'}, ...
              {'y = grpshrink (x, accIdx, 1)', 'y = hostcost (10, 1, x, accIdx, 1)'}}
    [kernel, host] = call{1}{:};
    host_us = call_us (host, x, accIdx);
    printf ('%-36s %8.3f %8.2f\n', host, host_us, host_us / empty_us);
    us = call_us (kernel, x, accIdx);
    printf ('%-36s %8.3f %8.2f %8.2f\n', kernel, us, us / empty_us, us / host_us);
  end
  printf ('(target: a call on a 10-element vector at most 1.2 times the call of an empty plug-in)\n');
end

% The time of one run of statement, written out in a loop (a function
% handle would add its own call), less the time of the empty loop.
function us = call_us (statement, x, accIdx)
  calls = 1e5;
  batches = 7;
  loop = sprintf ('for call = 1:%d, %s; end', calls, statement);
  empty = sprintf ('for call = 1:%d, end', calls);
  eval (loop);
  per_call = zeros (batches, 1);
  for b = 1:batches
    start = tic ();
    eval (loop);
    spent = toc (start);
    start = tic ();
    eval (empty);
    per_call(b) = (spent - toc (start)) / calls;
  end
  us = 1e6 * median (per_call);
end
