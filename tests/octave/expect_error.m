function expect_error (call, expected)
  % EXPECT_ERROR (CALL, EXPECTED) checks that the function handle CALL raises
  % an error whose text is EXPECTED.  Octave puts the plug-in's name and ": "
  % before the text of a MEX error; MATLAB shows the bare text, so the prefix
  % is removed before comparing.
  try
    call ();
  catch err
    text = regexprep (err.message, '^\w+: ', '', 'once');
    if (! strcmp (text, expected))
      error ('expected the error "%s", got "%s"', expected, err.message);
    end
    return;
  end
  error ('expected the error "%s", but the call succeeded', expected);
end
