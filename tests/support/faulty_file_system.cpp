#include "support/faulty_file_system.h"

namespace tav::test {

DirResult FaultyFileSystem::MakeDirectory(const std::filesystem::path& path) {
  if (failMakeDirectory) {
    if (auto reason = failMakeDirectory(path)) return {DirStatus::Failed, *reason};
  }
  return real_.MakeDirectory(path);
}

IoResult FaultyFileSystem::ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  if (failRead) {
    if (auto reason = failRead(path)) return IoResult::Failure(*reason);
  }
  return real_.ReadWholeFile(path, bytes);
}

IoResult FaultyFileSystem::ReadWholeLog(const std::filesystem::path& path, FileBytes& bytes) {
  if (failRead) {
    if (auto reason = failRead(path)) return IoResult::Failure(*reason);
  }
  return real_.ReadWholeLog(path, bytes);
}

IoResult FaultyFileSystem::WriteWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes) {
  ++writes;
  if (failWrite) {
    if (auto reason = failWrite(path)) return IoResult::Failure(*reason);
  }
  return real_.WriteWholeFile(path, bytes);
}

}  // namespace tav::test
