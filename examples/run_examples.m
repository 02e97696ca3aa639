% RUN_EXAMPLES runs every proxkit example in this folder, in turn.
here = fileparts (mfilename ('fullpath'));
examples = dir (fullfile (here, 'example_*.m'));
for k = 1:numel (examples)
  [~, name] = fileparts (examples(k).name);
  fprintf ('\n=== %s ===\n', name);
  feval (name);
end
