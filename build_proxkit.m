function outdir = build_proxkit (outdir)
%BUILD_PROXKIT Build the proxkit plug-ins with mex, in MATLAB or GNU Octave.
%   BUILD_PROXKIT compiles every proxkit function into one folder named
%   proxkit, in build/matlab (in MATLAB) or build/octave-mex (in Octave)
%   inside the proxkit folder, and places each function's help file and
%   Contents.m beside the plug-ins, so that help proxkit lists them.  Add that
%   folder to the path to use them: the script prints the command.  It never
%   changes the path, neither of this session nor the saved one.
%
%   BUILD_PROXKIT (OUTDIR) builds into the folder OUTDIR instead.
%   OUTDIR = BUILD_PROXKIT (...) returns the folder.
%
%   Needs a C++17 compiler that mex can use (in Octave, mkoctfile's).  In a
%   MATLAB where no C++ compiler has been chosen for mex yet (a fresh
%   install, a CI runner), it runs mex -setup C++ first, which chooses one
%   of those mex finds without asking.  The functions and their sources are
%   read from the CMake build description, so this script compiles the same
%   code as the CMake build, with the same guarantees: C++17, no fused
%   multiply-add and no fast-math.  In MATLAB every plug-in is built
%   against the host's large-array interface (mex -R2017b), and mex adds
%   the release and API that the file states to MATLAB when it is loaded.
%
%   Example
%     outdir = build_proxkit ();
%     addpath (outdir)
%     grpnorm ([3 4 0 5 12], [0 2 5])   % 18
%
%   See also MEX, ADDPATH.

  root = fileparts (mfilename ('fullpath'));
  in_octave = exist ('OCTAVE_VERSION', 'builtin') > 0;
  if (nargin < 1)
    if (in_octave)
      outdir = fullfile (root, 'build', 'octave-mex', 'proxkit');
    else
      outdir = fullfile (root, 'build', 'matlab', 'proxkit');
    end
  end
  if (~exist (outdir, 'dir') && ~mkdir (outdir))
    error ('build_proxkit: cannot create the folder %s', outdir);
  end

  [kernels, gateways, core] = read_build_description (root);

  objdir = tempname ();
  mkdir (objdir);
  if (in_octave)
    % mkoctfile takes the compiler flags from the environment.
    saved_flags = getenv ('CXXFLAGS');
    setenv ('CXXFLAGS', [strtrim(mkoctfile('-p', 'CXXFLAGS')) ' -std=c++17 -ffp-contract=off -fno-fast-math']);
    cleanup = onCleanup (@() clean_up (objdir, saved_flags));
    flags = {};
    if (isunix () && ~ismac ())
      % On Linux a plug-in exports mexFunction alone, under the version MEX,
      % and the soversion symbol that newer Octaves' mex adds.
      flags = {['-Wl,--version-script=' fullfile(root, 'plugins', 'octaveMexFunction.map')]};
    end
  else
    cleanup = onCleanup (@() clean_up (objdir));
    flags = {matlab_compiler_flags()};
  end
  include = ['-I' root];

  % The host-free core once, then each plug-in: its gateway and the core.
  objects = cell (1, numel (core));
  for k = 1:numel (core)
    folder = fullfile (objdir, sprintf ('%d', k));
    mkdir (folder);
    source = fullfile (root, core{k});
    [~, base] = fileparts (source);
    if (in_octave)
      mex ('-c', include, source, '-o', fullfile (folder, [base '.o']));
    else
      mex ('-c', '-R2017b', include, flags{:}, source, '-outdir', folder);
    end
    built = dir (fullfile (folder, [base '.*']));
    objects{k} = fullfile (folder, built(1).name);
  end

  for k = 1:numel (kernels)
    kernel = kernels{k};
    % One fullfile per file: a cell of parts in fullfile is not every release's.
    sources = cellfun (@(g) fullfile (root, g), gateways{k}, 'UniformOutput', false);
    if (in_octave)
      mex (include, flags{:}, sources{:}, objects{:}, '-o', fullfile (outdir, [kernel '.mex']));
    else
      mex ('-R2017b', include, flags{:}, sources{:}, objects{:}, '-outdir', outdir, '-output', kernel);
    end
    copyfile (fullfile (root, 'inst', [kernel '.m']), outdir);
  end
  copyfile (fullfile (root, 'inst', 'Contents.m'), outdir);

  fprintf ('proxkit: %d plug-ins built in %s\nTo use them: addpath (''%s'')\n', ...
           numel (kernels), outdir, outdir);
end

% The kernels, their gateway sources and the core sources, as the CMake
% build description lists them (proxkit_add_plugin calls,
% PROXKIT_CORE_SOURCES).
function [kernels, gateways, core] = read_build_description (root)
  top = cmake_text (fullfile (root, 'CMakeLists.txt'));
  plugins = cmake_text (fullfile (root, 'plugins', 'CMakeLists.txt'));
  core = cmake_words (top, 'set\(PROXKIT_CORE_SOURCES\s([^)]*)\)');
  calls = regexp (plugins, 'proxkit_add_plugin\(([^)]*)\)', 'tokens');
  if (isempty (calls))
    error ('build_proxkit: no proxkit_add_plugin in plugins/CMakeLists.txt');
  end
  kernels = cell (1, numel (calls));
  gateways = cell (1, numel (calls));
  for k = 1:numel (calls)
    words = regexp (strtrim (calls{k}{1}), '\s+', 'split');
    kernels{k} = words{1};
    gateways{k} = words(2:end);
  end
end

function text = cmake_text (file)
  text = regexprep (fileread (file), '#[^\n]*', '');
end

function words = cmake_words (text, pattern)
  found = regexp (text, pattern, 'tokens', 'once');
  if (isempty (found))
    error ('build_proxkit: the build description has no match for %s', pattern);
  end
  words = regexp (strtrim (found{1}), '\s+', 'split');
end

% MATLAB's compilers: C++17 and no contraction into fused multiply-adds
% (MSVC's /fp:precise, -ffp-contract=off for g++ and clang).
function flag = matlab_compiler_flags ()
  compiler = mex.getCompilerConfigurations ('C++', 'Selected');
  if (isempty (compiler))
    % No C++ compiler chosen yet: mex -setup C++ chooses the default of
    % those installed and asks nothing (it lists the others as links).
    fprintf ('build_proxkit: no C++ compiler is chosen for mex; running mex -setup C++\n');
    mex ('-setup', 'C++');
    compiler = mex.getCompilerConfigurations ('C++', 'Selected');
  end
  if (isempty (compiler))
    error ('build_proxkit: mex finds no C++ compiler; install one that MathWorks supports, then run mex -setup C++');
  end
  compiler = compiler(1);
  fprintf ('build_proxkit: compiling with %s\n', compiler.Name);
  if (strncmpi (compiler.ShortName, 'MSVC', 4))
    flag = 'COMPFLAGS=$COMPFLAGS /std:c++17 /fp:precise';
  else
    flag = 'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math';
  end
end

% Removes the objects' folder and, in Octave, gives CXXFLAGS back its value.
function clean_up (objdir, saved_flags)
  if (exist ('OCTAVE_VERSION', 'builtin'))
    if (isempty (saved_flags))
      unsetenv ('CXXFLAGS');
    else
      setenv ('CXXFLAGS', saved_flags);
    end
    confirm = confirm_recursive_rmdir (false);
    rmdir (objdir, 's');
    confirm_recursive_rmdir (confirm);
  else
    rmdir (objdir, 's');
  end
end
