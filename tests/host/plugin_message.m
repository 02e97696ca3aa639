function text = plugin_message (err)
  % PLUGIN_MESSAGE (ERR) is the text of the error ERR as the plug-in raised
  % it.  Octave puts the plug-in's name and ": " before the text of a
  % plug-in's error; MATLAB shows the bare text, which may itself start with
  % a word and a colon ("Usage: ..."), so only Octave's prefix is removed.
  text = err.message;
  if (exist ('OCTAVE_VERSION', 'builtin'))
    text = regexprep (text, '^\w+: ', '', 'once');
  end
end
