function run_host_tests ()
  % RUN_HOST_TESTS runs the host test suite, the scripts beside this file,
  % against the proxkit functions on Octave's path: every test_*.m, and the
  % native_*.m ones too when those functions are Octave-native (.oct).  Each
  % script runs in a workspace of its own and a failing one does not stop
  % the others; prints a line per script and the counts, and fails unless
  % every script passed.
  [~, ~, ext] = fileparts (which ('grpnorm'));
  if (! any (strcmp (ext, {'.oct', '.mex'})))
    error ('run_host_tests: grpnorm is not a plug-in on the path');
  end
  patterns = {'test_*.m'};
  if (strcmp (ext, '.oct'))
    patterns{end+1} = 'native_*.m';
  end
  folder = fileparts (mfilename ('fullpath'));
  addpath (folder);
  failed = {};
  count = 0;
  for pattern = patterns
    scripts = dir (fullfile (folder, pattern{1}));
    for k = 1:numel (scripts)
      [~, name] = fileparts (scripts(k).name);
      count++;
      try
        run_script (name);
        printf ('PASS %s\n', name);
      catch err
        printf ('FAIL %s: %s\n', name, err.message);
        failed{end+1} = name;
      end
    end
  end
  printf ('%d passed, %d failed\n', count - numel (failed), numel (failed));
  if (! isempty (failed))
    error ('run_host_tests: %s failed', strjoin (failed, ', '));
  end
end

function run_script (name)
  % A workspace of its own, so that the script's variables meet no caller's.
  eval (name);
end
