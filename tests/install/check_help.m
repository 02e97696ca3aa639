function check_help (kernel)
  % CHECK_HELP (KERNEL) checks what help KERNEL shows beside the built
  % plug-in: the H1 line, the usage (the plug-in's own usage message, when
  % called without arguments it raises one), an example and See also; and
  % that the examples and refusals in the help file's tests pass.
  plugin = which (kernel);
  [~, ~, ext] = fileparts (plugin);
  if (! any (strcmp (ext, {'.oct', '.mex'})))
    error ('%s resolves to %s, not to its plug-in', kernel, plugin);
  end
  text = help (kernel);
  printf ('%s', text);
  expect_in (text, [upper(kernel) ' ']);
  expect_in (text, 'Usage: ');
  expect_in (text, 'Example');
  expect_in (text, 'See also');
  try
    feval (kernel);
  catch err
    message = plugin_message (err);
    if (strncmp (message, 'Usage: ', 7))
      expect_in (text, message);
    end
  end
  expect_tests_pass (kernel);
end

function expect_in (text, part)
  if (isempty (strfind (text, part)))
    error ('the help text lacks "%s"', part);
  end
end
