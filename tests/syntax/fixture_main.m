% The lint's own test (lint.shared_syntax_fixture): lines as they stood
% before they were mended, which MATLAB reads differently from Octave, each
% marked with the finding it must give, and lines MATLAB reads as meant,
% marked "expect: nothing".  Never run: only lexed by shared_syntax.py.

% tests/octave/expect_gateway.m: the converters of wrong classes.  MATLAB
% makes "@(x) char" and "(x + 65)" of the first (x undefined) and cannot
% parse "('a', x)" after "@(x) struct".
others = {@single, @int32, @uint8, @(x) x > 0, @(x) char (x + 65), @(x) x + 1i, ... % expect: split
          @sparse, @(x) {x}, @(x) struct ('a', x)}; % expect: split-error

% tests/octave/test_hostile_inputs.m: an index in braces, and the hostile
% pool, whose char entry is two elements in both hosts ('' and a double).
k = kernels{strcmp (cellfun (@(k) k.name, kernels, 'UniformOutput', false), name{1})}; % expect: split-error
pool = {single(y), int8(y), uint64(y), x > 0, char (65 + zeros (size (x))), ... % expect: split
        complex(y, 1), sparse(y), {x}, struct('a', x), @sin, ... % expect: nothing
        [], zeros(0, 3), zeros(3, 0), ... % expect: nothing
        NaN, Inf, -Inf, -1, 0, -0, 0.5, 2.5, 1e300, 2^31, 2^53, 2^64, realmin / 4, ... % expect: nothing
        [NaN NaN], [Inf -Inf 1], [0 1e9 2 5], [5 0 2], [-7 0.5 3], ones(1, 64), zeros(7, 9)}; % expect: nothing

% tests/octave/native_host_boundary.m: fourteen calls in one cell.
calls = {
  @() grpnorm (9007199254740993, [0 1]),                 @() grpnorm (2^53, [0 1]) % expect: split-error
  @() grpclip (9007199254740993, [0 1]),                 @() grpclip (2^53, [0 1]) % expect: split-error
  @() grpshrink (x, [0 2 5], 9007199254740993),          @() grpshrink (x, [0 2 5], 2^53) % expect: split-error
  @() grpsign (x, [0 2 5], 9007199254740993),            @() grpsign (x, [0 2 5], 2^53) % expect: split-error
  @() pairdot (9007199254740993, 3, 1, 1),               @() pairdot (2^53, 3, 1, 1) % expect: split-error
  @() rowball ([3 1 -2], 9007199254740993, 3, 2),        @() rowball ([3 1 -2], 2^53, 3, 2) % expect: split-error
  @() rowball ([3 1 -2], 1, 3, 9007199254740993),        @() rowball ([3 1 -2], 1, 3, 2^53) % expect: split-error
};

% tests/octave/cross_check_builds.m: an index of two subscripts in MATLAB
% (randi, then numel (choices)).
x = choices{randi (numel (choices))}; % expect: split

% What MATLAB reads as meant: two elements after a closing bracket, a
% number or a string; a unary sign after whitespace; a binary operator
% with spaces; a call without a space; an anonymous function's body.
d = [a(1) (2)]; % expect: nothing
d = [1 (2) 'x' (3)]; % expect: nothing
d = [1 -2 x -1 Inf -Inf]; % expect: nothing
d = [x - 1, x + (1), x * (2)]; % expect: nothing
d = {@(x) 12, @(x) (x + 1), char(x + 65), @(x) struct('a', x)}; % expect: nothing
d = [a' 'b' c.' (1)]; % expect: nothing
r = f (1) (2); % expect: octave-only
r = f(1)(2); % expect: octave-only

% tests/release/check_release.m: hash in the branch only Octave runs, and
% the same call where MATLAB would run it.
if (exist ('OCTAVE_VERSION', 'builtin'))
  digest = hash ('sha256', char (bytes')); % expect: nothing
else
  digest = hash ('sha256', char (bytes')); % expect: octave-only
end
if (~exist ('OCTAVE_VERSION', 'builtin'))
  digest = hash ('md5', 'x'); % expect: octave-only
else
  digest = hash ('md5', 'x'); % expect: nothing
end

% build_proxkit.m: mkoctfile under a variable that holds the test, and
% restore_octave's calls, which MATLAB would run.
in_octave = exist ('OCTAVE_VERSION', 'builtin') > 0;
if (in_octave)
  setenv ('CXXFLAGS', [strtrim(mkoctfile('-p', 'CXXFLAGS')) ' -std=c++17']); % expect: nothing
end
flags = mkoctfile ('-p', 'CXXFLAGS'); % expect: octave-only
unsetenv ('CXXFLAGS'); % expect: octave-only
confirm = confirm_recursive_rmdir (false); % expect: octave-only
if (isunix ())
  printf ('%d\n', 1); % expect: octave-only
elseif (exist ('OCTAVE_VERSION', 'builtin'))
  printf ('%d\n', 1); % expect: nothing
else
  printf ('%d\n', 1); % expect: octave-only
end

% Octave-only syntax.
x = "text"; % expect: octave-only
x += 1; % expect: octave-only
if (x != 1) % expect: octave-only
endif % expect: octave-only
y = 2 ** 3; % expect: octave-only

% A variable that bears the name of an Octave-only function is no call;
% indexed, it reads as one and is reported (name it otherwise).
[rows, cols, y] = find (x); % expect: nothing
n = numel (rows) + rows(1); % expect: octave-only
pkg load proxkit % expect: octave-only
