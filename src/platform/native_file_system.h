// The file system of the system the program runs on.
#pragma once

#ifdef _WIN32
#include "platform/win32_file_system.h"
namespace tav {
using NativeFileSystem = Win32FileSystem;
}
#else
#include "platform/posix_file_system.h"
namespace tav {
using NativeFileSystem = PosixFileSystem;
}
#endif
