# Run by cpack on the staged files before it makes the Debian package: Debian
# keeps manual pages and the changelog compressed with gzip -9n (no name and
# time stamp, so the same files give the same package).
file(GLOB_RECURSE compress
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/man/*
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/doc/*/changelog)
foreach(file IN LISTS compress)
  execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
