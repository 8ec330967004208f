# GoogleTest: the system package natively; built from Debian's sources when
# cross-compiling, and with another standard library than the package was
# built with (libc++: TAV_GTEST_FROM_SOURCE, set by the preset `libcxx`).
option(TAV_GTEST_FROM_SOURCE "Build GoogleTest from its sources (/usr/src/googletest)"
       ${CMAKE_CROSSCOMPILING})
if(TAV_GTEST_FROM_SOURCE)
  set(gtest_disable_pthreads ${CMAKE_CROSSCOMPILING} CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
