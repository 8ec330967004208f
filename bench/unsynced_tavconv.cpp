// tavconv_unsynced: tavconv whose file system leaves out every sync (the
// Maildir's batches, the mbox before its rename, the folders' names), for
// the benchmark alone: what putting the messages on the disk costs is the
// difference between the two programs' times.
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "platform/posix_file_system.h"
#include "tavconv.h"

namespace {

using tav::FreshFile;
using tav::IoResult;

class UnsyncedFreshFile : public FreshFile {
 public:
  explicit UnsyncedFreshFile(std::unique_ptr<FreshFile> file) : file_(std::move(file)) {}
  IoResult Write(std::string_view bytes) override { return file_->Write(bytes); }
  IoResult Read(std::uint64_t offset, std::size_t size, std::string& out) override {
    return file_->Read(offset, size, out);
  }
  IoResult Sync() override { return IoResult::Success(); }
  IoResult Commit(const std::filesystem::path& target, bool replace) override {
    return file_->Commit(target, replace);
  }

 private:
  std::unique_ptr<FreshFile> file_;
};

class UnsyncedFileSystem : public tav::PosixFileSystem {
 public:
  std::unique_ptr<FreshFile> CreateFreshFile(const std::filesystem::path& folder,
                                             IoResult& failure) override {
    std::unique_ptr<FreshFile> file = PosixFileSystem::CreateFreshFile(folder, failure);
    return file ? std::make_unique<UnsyncedFreshFile>(std::move(file)) : nullptr;
  }
  IoResult SyncFreshFiles(const std::vector<std::unique_ptr<FreshFile>>&) override {
    return IoResult::Success();
  }
  IoResult SyncFolder(const std::filesystem::path&) override { return IoResult::Success(); }
};

}  // namespace

int main(int argc, char** argv) {
  UnsyncedFileSystem files;
  return tav::RunTavconv(std::vector<std::filesystem::path>(argv + 1, argv + argc), std::cout,
                         std::cerr, files);
}
