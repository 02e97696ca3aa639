function file = package_toolbox (folder, outdir)
  % FILE = PACKAGE_TOOLBOX (FOLDER, OUTDIR) packages the unpacked release
  % folder FOLDER (the folder proxkit of the MATLAB zip) as the MATLAB
  % toolbox OUTDIR/proxkit-<version>.mltbx with MATLAB's toolbox packager
  % (R2023a or later), and returns the file.
  if (exist ('OCTAVE_VERSION', 'builtin') || isMATLABReleaseOlderThan ('R2023a'))
    error ('package_toolbox: MATLAB''s toolbox packager needs MATLAB R2023a or later');
  end
  version = strtrim (fileread (fullfile (folder, 'VERSION')));
  if (~exist (outdir, 'dir'))
    mkdir (outdir);
  end
  file = fullfile (outdir, ['proxkit-' version '.mltbx']);
  % The identifier stays the same from release to release, so that MATLAB
  % installs a new release over the old one.
  options = matlab.addons.toolbox.ToolboxOptions (folder, 'b1f3a6de-5c0e-4b8e-9d51-2f7c3e0a9d41');
  options.ToolboxName = 'proxkit';
  options.ToolboxVersion = version;
  options.Summary = 'Exact kernels for structured-sparsity and low-rank optimisation';
  options.ToolboxMatlabPath = {folder};
  options.OutputFile = file;
  matlab.addons.toolbox.packageToolbox (options);
  fprintf ('%s packaged from %s\n', file, folder);
end
