# The Windows package: a zip holding one folder, tav-<version>, with
# tav.exe, tavconv.exe, the toolbar's six icons, the help page, the
# read-me and the .cmd files that convert logs dropped on them. Unpacked, tav.exe started from that folder finds its icons (in
# the working directory) and its help page (beside it). The zip is part of
# the default build, so the tests always look at the programs just built;
# `cmake --build --preset windows --target package` makes it alone.
set(TAV_PACKAGE_FOLDER tav-${PROJECT_VERSION})
set(TAV_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${TAV_PACKAGE_FOLDER}-win64.zip)

set(resources ${PROJECT_SOURCE_DIR}/resources)
set(package_files ${resources}/tav.htm ${resources}/readme.txt
    ${resources}/cmd/drop-mime.cmd ${resources}/cmd/drop-mbox.cmd ${resources}/cmd/drop-web.cmd)
foreach(key end opt edit start info dev)
  list(APPEND package_files ${resources}/icons/${key}.ico)
endforeach()

set(stage ${CMAKE_BINARY_DIR}/package)
add_custom_command(
  OUTPUT ${TAV_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/${TAV_PACKAGE_FOLDER}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tav> $<TARGET_FILE:tavconv> ${package_files}
          ${stage}/${TAV_PACKAGE_FOLDER}/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TAV_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
          ${CMAKE_COMMAND} -E tar cf ${TAV_PACKAGE_ZIP} --format=zip ${TAV_PACKAGE_FOLDER}
  DEPENDS tav tavconv ${package_files}
  COMMENT "Packing ${TAV_PACKAGE_FOLDER}-win64.zip"
  VERBATIM)
add_custom_target(package ALL DEPENDS ${TAV_PACKAGE_ZIP})
