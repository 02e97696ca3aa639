function run_script (name)
  % RUN_SCRIPT (NAME) runs the test script NAME in a workspace of its own,
  % so that its variables meet no caller's.
  eval (name);
end
