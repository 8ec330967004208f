# fast_float (header only) from Debian's libfast-float-dev, as the target
# FastFloat::fast_float: exact reading of decimal numbers where the standard
# library has no std::from_chars for double (libc++). Cross-compiled, its
# headers are copied into the build tree, as CLI11's are (see CLI11.cmake).
if(CMAKE_CROSSCOMPILING)
  find_package(FastFloat CONFIG REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  get_target_property(fast_float_host_include FastFloat::fast_float INTERFACE_INCLUDE_DIRECTORIES)
  set(fast_float_include ${CMAKE_BINARY_DIR}/fast-float-include)
  file(COPY ${fast_float_host_include}/fast_float DESTINATION ${fast_float_include})
  set_target_properties(FastFloat::fast_float PROPERTIES
                        INTERFACE_INCLUDE_DIRECTORIES ${fast_float_include})
else()
  find_package(FastFloat CONFIG REQUIRED)
endif()
