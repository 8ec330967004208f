# Settings of the Windows build: tests run under Wine through tools/wine-run,
# with a Wine prefix of their own in the build directory.
if(CMAKE_CROSSCOMPILING)
  set(TAV_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run ${TAV_WINE_PREFIX})
endif()
