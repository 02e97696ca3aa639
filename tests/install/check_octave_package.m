function check_octave_package (tarball, scratch)
  % CHECK_OCTAVE_PACKAGE (TARBALL, SCRATCH) installs the Octave package
  % TARBALL as a user does, but into the scratch prefix SCRATCH and with a
  % package list of its own there (nothing outside SCRATCH changes), then
  % loads it, shows help grpnorm, checks that every plug-in has its help
  % beside it, runs pkg test proxkit and then the host test suite, as the
  % workflows do on every platform.
  if (exist (scratch, 'dir'))
    confirm_recursive_rmdir (false);
    rmdir (scratch, 's');
  end
  mkdir (scratch);
  cd (scratch);
  pkg ('prefix', scratch, scratch);
  pkg ('local_list', fullfile (scratch, 'octave_packages'));
  pkg ('install', '-local', tarball);
  pkg ('load', 'proxkit');

  help grpnorm
  plugins = dir (fullfile (scratch, 'proxkit-*', '*', '*.oct'));
  if (isempty (plugins))
    error ('no plug-in installed under %s', scratch);
  end
  for k = 1:numel (plugins)
    [~, kernel] = fileparts (plugins(k).name);
    if (! strncmp (which (kernel), scratch, numel (scratch)))
      error ('%s resolves to %s, not to the installed package', kernel, which (kernel));
    end
    if (! exist (fullfile (plugins(k).folder, [kernel '.m']), 'file'))
      error ('the help of %s is not beside its plug-in', kernel);
    end
  end

  report = evalc ('pkg test proxkit');
  printf ('%s', report);
  passed = str2double (regexp (report, 'PASS\s+(\d+)', 'tokens', 'once'));
  failed = str2double (regexp (report, 'FAIL\s+(\d+)', 'tokens', 'once'));
  if (isempty (passed) || isempty (failed) || failed != 0 || passed < numel (plugins))
    error ('pkg test proxkit did not pass');
  end
  addpath (fullfile (fileparts (mfilename ('fullpath')), '..', 'host'));
  run_host_tests ();
end
