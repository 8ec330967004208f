# The Debian package of tavconv, made by `cpack` in the build tree:
# tavconv_<version>_<architecture>.deb with the program, its man page and the
# package's documents, its dependencies computed by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavconv)
set(CPACK_PACKAGE_VENDOR "TAVI-1 project")
set(CPACK_PACKAGE_CONTACT "TAVI-1 project <tavi1@example.jp>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert session logs of a dial-up online service into Internet mail")
set(CPACK_PACKAGE_DESCRIPTION
    "tavconv reads the session logs that a terminal program captured from a dial-up
online service (code page 932 text, with menus and prompts around the
messages) and writes every message read as Internet mail: one .eml file per
message in a folder beside each log, or all messages in one mbox file or a
Maildir. Message-Id and References link each reply to the message it
answers, so a mail program shows the old messages as threads.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianCompress.cmake)
include(CPack)

install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright
              ${PROJECT_SOURCE_DIR}/resources/debian/changelog
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tavconv)
