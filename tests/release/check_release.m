function root = check_release (release, scratch)
  % ROOT = CHECK_RELEASE (RELEASE, SCRATCH) unpacks the MATLAB zip of the
  % release folder RELEASE (proxkit-<version>-matlab.zip) into the folder
  % SCRATCH, which must not exist yet, and checks it, in MATLAB or Octave:
  % it holds every file its manifest lists and no other, each with the
  % listed SHA-256; help shows each function from the unpacked folder; and,
  % in MATLAB, the host test suite passes against the unpacked plug-ins of
  % this platform.  Returns the unpacked folder proxkit.
  zips = dir (fullfile (release, 'proxkit-*-matlab.zip'));
  if (numel (zips) ~= 1)
    error ('check_release: expected one proxkit-<version>-matlab.zip in %s, found %d', release, numel (zips));
  end
  if (exist (scratch, 'dir'))
    error ('check_release: %s exists already', scratch);
  end
  unzip (fullfile (release, zips(1).name), scratch);
  % The absolute folder, as which names the functions found in it.
  here = cd (scratch);
  root = fullfile (pwd, 'proxkit');
  cd (here);
  fprintf ('%s unpacked into %s\n', zips(1).name, root);
  fprintf ('%s', fileread (fullfile (root, 'PLATFORMS.txt')));

  [sums, listed] = read_manifest (fullfile (root, 'MANIFEST.sha256'));
  found = setdiff (files_under (root, ''), {'MANIFEST.sha256'});
  if (~isequal (sort (listed), sort (found)))
    error ('check_release: files not in the manifest: %s; listed but missing: %s', ...
           strjoin (setdiff (found, listed), ', '), strjoin (setdiff (listed, found), ', '));
  end
  for k = 1:numel (listed)
    actual = sha256 (fullfile (root, listed{k}));
    if (~strcmp (actual, sums{k}))
      error ('check_release: %s has the SHA-256 %s, the manifest lists %s', listed{k}, actual, sums{k});
    end
  end
  fprintf ('%d files, as the manifest lists them\n', numel (listed));

  addpath (root);
  helps = dir (fullfile (root, '*.m'));
  for k = 1:numel (helps)
    [~, name] = fileparts (helps(k).name);
    if (strcmp (name, 'Contents'))
      continue;
    end
    if (~strcmp (fileparts (which (name)), root))
      error ('check_release: %s resolves to %s, not to the unpacked folder', name, which (name));
    end
    % MATLAB shows the H1 line's name in lower case, Octave as written.
    text = help (name);
    if (isempty (strfind (lower (text), [name ' '])) || isempty (strfind (text, 'Example')))
      error ('check_release: help %s shows neither its name nor an example:\n%s', name, text);
    end
  end
  fprintf ('help of %d functions from %s\n', numel (helps) - 1, root);

  if (exist ('OCTAVE_VERSION', 'builtin'))
    fprintf ('host test suite: not run in Octave, which loads none of the zip''s MATLAB plug-ins\n');
  else
    addpath (fullfile (root, 'tests'));
    run_host_tests (root);
  end
end

function [sums, names] = read_manifest (file)
  % sha256sum's lines: the sum, two spaces, the path.
  lines = strsplit (strtrim (fileread (file)), sprintf ('\n'));
  parts = regexp (lines, '^([0-9a-f]{64})  (.+)$', 'tokens', 'once');
  if (any (cellfun (@isempty, parts)))
    error ('check_release: %s holds a line that is not a sum and a path', file);
  end
  sums = cellfun (@(p) p{1}, parts, 'UniformOutput', false);
  names = cellfun (@(p) p{2}, parts, 'UniformOutput', false);
end

function names = files_under (root, prefix)
  % Every file below ROOT, as paths relative to it with / between folders.
  names = {};
  entries = dir (fullfile (root, prefix));
  for k = 1:numel (entries)
    name = entries(k).name;
    if (strcmp (name, '.') || strcmp (name, '..'))
      continue;
    end
    relative = name;
    if (~isempty (prefix))
      relative = [prefix '/' name];
    end
    if (entries(k).isdir)
      names = [names, files_under(root, relative)]; %#ok<AGROW>
    else
      names{end+1} = relative; %#ok<AGROW>
    end
  end
end

function digest = sha256 (file)
  fid = fopen (file, 'r');
  bytes = fread (fid, Inf, '*uint8');
  fclose (fid);
  if (exist ('OCTAVE_VERSION', 'builtin'))
    digest = hash ('sha256', char (bytes'));
  else
    engine = java.security.MessageDigest.getInstance ('SHA-256');
    engine.update (typecast (bytes, 'int8'));
    digest = lower (reshape (dec2hex (typecast (engine.digest (), 'uint8'), 2)', 1, []));
  end
end
