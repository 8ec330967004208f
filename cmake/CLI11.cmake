# CLI11 (header only) from Debian's libcli11-dev, as the target CLI11::CLI11.
# Cross-compiled, the toolchain searches packages only under the mingw root,
# and /usr/include cannot be handed to the cross compiler (it would take the
# host's C headers from there): the CLI headers are copied into the build
# tree and the target points there.
if(CMAKE_CROSSCOMPILING)
  find_package(CLI11 2.1 CONFIG REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  get_target_property(cli11_host_include CLI11::CLI11 INTERFACE_INCLUDE_DIRECTORIES)
  set(cli11_include ${CMAKE_BINARY_DIR}/cli11-include)
  file(COPY ${cli11_host_include}/CLI DESTINATION ${cli11_include})
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${cli11_include})
else()
  find_package(CLI11 2.1 CONFIG REQUIRED)
endif()
