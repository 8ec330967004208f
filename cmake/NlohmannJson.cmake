# nlohmann/json (header only) from Debian's nlohmann-json3-dev, as the target
# nlohmann_json::nlohmann_json. Cross-compiled, its headers are copied into
# the build tree, as CLI11's are (see CLI11.cmake).
if(CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3.10 CONFIG REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  get_target_property(json_host_include nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
  set(json_include ${CMAKE_BINARY_DIR}/json-include)
  file(COPY ${json_host_include}/nlohmann DESTINATION ${json_include})
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                        INTERFACE_INCLUDE_DIRECTORIES ${json_include})
else()
  find_package(nlohmann_json 3.10 CONFIG REQUIRED)
endif()
