# Test registration shared by every test directory.

# Cross-compiled, the tests run under Wine: one display and one Wine server
# are started before the first test and stopped after the last, so a test
# costs a fraction of a second instead of a Wine start-up each.
if(CMAKE_CROSSCOMPILING)
  add_test(NAME wine_session_start COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start-session)
  add_test(NAME wine_session_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop-session)
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
  set(TAV_TEST_PROPERTIES FIXTURES_REQUIRED wine_session TIMEOUT 120)
else()
  set(TAV_TEST_PROPERTIES TIMEOUT 120)
endif()

# tav_add_gtest(TARGET [WORKING_DIRECTORY DIR]): registers a GoogleTest
# executable with ctest, one ctest test per test case. Cross-compiled, the
# cases are listed under Wine when ctest starts (PRE_TEST); the first listing
# may wait for a new Wine prefix, hence the long discovery timeout.
function(tav_add_gtest target)
  cmake_parse_arguments(arg "" "WORKING_DIRECTORY" "" ${ARGN})
  if(NOT arg_WORKING_DIRECTORY)
    set(arg_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  if(CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${target}
      WORKING_DIRECTORY ${arg_WORKING_DIRECTORY}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES ${TAV_TEST_PROPERTIES})
  else()
    gtest_discover_tests(${target}
      WORKING_DIRECTORY ${arg_WORKING_DIRECTORY}
      PROPERTIES ${TAV_TEST_PROPERTIES})
  endif()
endfunction()
