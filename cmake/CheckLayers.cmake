# Fails when a source file includes a header of a layer above its own.
#   cmake -DROOT=<source dir> "-DLAYERS=platform;mail;..." -DSTAMP=<file> -P CheckLayers.cmake
# LAYERS lists the layers from the bottom up; a file in src/LAYER/ may
# include "LAYER/..." and the headers of the layers before it in the list.
# Everything in apps/ counts as the top layer "apps". On success STAMP is
# written, so the build runs the check again only when a source changes.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE sources RELATIVE ${ROOT}
     ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/apps/*.h ${ROOT}/apps/*.cpp)
set(violations "")
foreach(source IN LISTS sources)
  if(source MATCHES "^apps/")
    set(own apps)
  elseif(source MATCHES "^src/([^/]+)/")
    set(own ${CMAKE_MATCH_1})
  else()
    string(APPEND violations "  ${source}: a source file outside every layer\n")
    continue()
  endif()
  list(FIND LAYERS ${own} own_rank)
  if(own_rank LESS 0)
    string(APPEND violations "  ${source}: src/${own}/ is no layer\n")
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "^([^/]+)/")
      continue()  # a header beside the file, in its own folder
    endif()
    list(FIND LAYERS ${CMAKE_MATCH_1} header_rank)
    if(header_rank GREATER own_rank)
      string(APPEND violations "  ${source}: includes \"${header}\" of a higher layer\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes that run upward through the layers "
                      "(${LAYERS}, bottom first):\n${violations}")
endif()
file(TOUCH ${STAMP})
