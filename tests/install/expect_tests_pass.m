function expect_tests_pass (kernel)
  % EXPECT_TESTS_PASS (KERNEL) runs the tests of KERNEL's help file against
  % the plug-in on the path, and fails unless there are some and all pass.
  [passed, total] = test (kernel, 'quiet', stdout);
  if (total == 0 || passed != total)
    error ('test %s: %d of %d tests passed', kernel, passed, total);
  end
end
