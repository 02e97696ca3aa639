function run_host_tests (plugin_dir)
  % RUN_HOST_TESTS (PLUGIN_DIR) runs the host test suite, the test_*.m
  % files beside this one, against the proxkit plug-ins in the folder
  % PLUGIN_DIR, in MATLAB or in Octave.  RUN_HOST_TESTS () runs it against
  % the proxkit plug-ins already on the path.
  %
  % The native_*.m files check the boundary with Octave itself (what Octave
  % keeps beside a value's storage), which only Octave-native plug-ins
  % (.oct) reach: elsewhere they are skipped, with the reason.  Each file
  % runs in a workspace of its own and a failing one does not stop the
  % others.  Prints a line per file and the counts, and raises an error
  % unless every file that ran passed; finding no test file is an error
  % too.
  if (nargin > 0)
    addpath (plugin_dir);
  end
  plugin = which ('grpnorm');
  [folder, ~, ext] = fileparts (plugin);
  if (~any (strcmp (ext, {'.oct', ['.' mexext]})))
    error ('run_host_tests: grpnorm is not a plug-in on the path (it resolves to "%s")', plugin);
  end
  if (exist ('OCTAVE_VERSION', 'builtin'))
    host = 'GNU Octave';
  else
    host = 'MATLAB';
  end
  % What the run is: the host and its release, the plug-ins' extension
  % against the host's own (mexext), and the folder they came from.
  fprintf ('proxkit host tests on %s\n', folder);
  fprintf ('%s %s (%s), mexext %s, plug-ins %s\n', host, version (), computer (), mexext (), ext);
  here = fileparts (mfilename ('fullpath'));
  addpath (here);

  if (strcmp (ext, '.oct'))
    native_skipped = '';
  elseif (exist ('OCTAVE_VERSION', 'builtin'))
    native_skipped = 'needs the Octave-native plug-ins (.oct)';
  else
    native_skipped = 'checks Octave''s own storage of values, which MATLAB does not have';
  end
  files = [dir(fullfile (here, 'test_*.m')); dir(fullfile (here, 'native_*.m'))];
  if (isempty (files))
    error ('run_host_tests: no test file (test_*.m, native_*.m) in %s', here);
  end
  failed = {};
  passed = 0;
  skipped = 0;
  for k = 1:numel (files)
    [~, name] = fileparts (files(k).name);
    if (strncmp (name, 'native_', 7) && ~isempty (native_skipped))
      fprintf ('SKIP %s: %s\n', name, native_skipped);
      skipped = skipped + 1;
      continue;
    end
    started = tic;
    try
      run_file (name);
      fprintf ('PASS %s (%.1f s)\n', name, toc (started));
      passed = passed + 1;
    catch err
      fprintf ('FAIL %s: %s\n', name, err.message);
      failed{end+1} = name; %#ok<AGROW>
    end
  end
  fprintf ('%d passed, %d failed', passed, numel (failed));
  if (skipped > 0)
    fprintf (', %d skipped', skipped);
  end
  fprintf ('\n');
  if (~isempty (failed))
    error ('run_host_tests: %s failed', strjoin (failed, ', '));
  end
end

function run_file (name)
  % A workspace of its own, so that a script's variables meet no caller's.
  eval (name);
end
