function expect_error (call, expected)
  % EXPECT_ERROR (CALL, EXPECTED) checks that the function handle CALL raises
  % an error whose text is EXPECTED.
  try
    call ();
  catch err
    if (~strcmp (plugin_message (err), expected))
      error ('expected the error "%s", got "%s"', expected, err.message);
    end
    return;
  end
  error ('expected the error "%s", but the call succeeded', expected);
end
