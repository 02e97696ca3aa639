function check_build_script (root, scratch)
  % CHECK_BUILD_SCRIPT (ROOT, SCRATCH) runs the MATLAB build script in Octave
  % into SCRATCH and runs every Octave test of the project, and every help
  % file's tests, against the plug-ins it built.
  if (exist (scratch, 'dir'))
    confirm_recursive_rmdir (false);
    rmdir (scratch, 's');
  end
  addpath (root);
  outdir = build_proxkit (scratch);
  addpath (outdir, fullfile (root, 'tests', 'host'));

  plugins = dir (fullfile (outdir, '*.mex'));
  for k = 1:numel (plugins)
    [~, kernel] = fileparts (plugins(k).name);
    if (! strcmp (fileparts (which (kernel)), outdir))
      error ('%s resolves to %s, not to the script''s build', kernel, which (kernel));
    end
    expect_tests_pass (kernel);
  end

  run_host_tests ();
end
