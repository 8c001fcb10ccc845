# Under Wine every process start costs a third of a second, and registering each test case
# as its own ctest test starts one per case. In cross builds a test program is therefore
# one ctest test that runs all its cases in one process; GoogleTest's own report still
# names every case that failed.
function(gtest_discover_tests target)
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
endfunction()
