# utf8proc (Debian's libutf8proc-dev, Homebrew's utf8proc), as the target
# utf8proc::utf8proc: the composed form of file names on POSIX systems.
# Windows composes names with its own NormalizeString instead.
find_path(UTF8PROC_INCLUDE_DIR utf8proc.h REQUIRED)
find_library(UTF8PROC_LIBRARY utf8proc REQUIRED)
add_library(utf8proc::utf8proc UNKNOWN IMPORTED)
set_target_properties(utf8proc::utf8proc PROPERTIES
                      IMPORTED_LOCATION ${UTF8PROC_LIBRARY}
                      INTERFACE_INCLUDE_DIRECTORIES ${UTF8PROC_INCLUDE_DIR})
