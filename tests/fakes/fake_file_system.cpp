#include "fake_file_system.h"

#include <algorithm>

#include "platform/paths.h"

namespace tav::test {

namespace {

constexpr const char* kNoSuchFile = "No such file or directory";
constexpr const char* kFileExists = "File exists";

}  // namespace

// A fresh file: its bytes are kept until it is committed, and nothing of
// it is left when it is not.
class FakeFreshFile : public FreshFile {
 public:
  FakeFreshFile(FakeFileSystem& files, std::filesystem::path path)
      : files_(files), path_(std::move(path)) {
  const std::lock_guard lock(files_.mutex_);
    files_.files[path_];
    files_.filling.insert(path_);
  }
  ~FakeFreshFile() override {
  const std::lock_guard lock(files_.mutex_);
    files_.filling.erase(path_);
    if (!committed_) files_.files.erase(path_);
  }

  IoResult Write(std::string_view bytes) override {
    const std::lock_guard lock(files_.mutex_);
    if (files_.failWrite) {
      if (auto reason = files_.failWrite(path_)) return IoResult::Failure(*reason);
    }
    files_.files[path_] += bytes;
    files_.modified[path_] = ++files_.clock_;
    return IoResult::Success();
  }

  IoResult Read(std::uint64_t offset, std::size_t size, std::string& out) override {
    const std::lock_guard lock(files_.mutex_);
    const std::string& bytes = files_.files[path_];
    if (offset + size > bytes.size()) return IoResult::Failure("unexpected end of file");
    out.assign(bytes, static_cast<std::size_t>(offset), size);
    return IoResult::Success();
  }

  IoResult Sync() override {
    const std::lock_guard lock(files_.mutex_);
    ++files_.syncs;
    return IoResult::Success();
  }

  IoResult Commit(const std::filesystem::path& target, bool replace) override {
    const std::lock_guard lock(files_.mutex_);
    if (auto reason = files_.RefusedWrite(target)) return IoResult::Failure(*reason);
    if (!replace && files_.Exists(target)) return IoResult::Failure(kFileExists);
    files_.files[target] = std::move(files_.files[path_]);
    files_.files.erase(path_);
    files_.filling.erase(path_);
    files_.modified[target] = files_.modified[path_];
    files_.modified.erase(path_);
    files_.Written(target);
    committed_ = true;
    return IoResult::Success();
  }

 private:
  FakeFileSystem& files_;
  std::filesystem::path path_;
  bool committed_ = false;
};

FakeFileSystem::FakeFileSystem() {
  folders.insert(std::filesystem::path("/"));
}

void FakeFileSystem::AddFolder(const std::filesystem::path& folder) {
  const std::lock_guard lock(mutex_);
  for (std::filesystem::path at = folder; !at.empty(); at = at.parent_path()) {
    if (!folders.insert(at).second || at == at.parent_path()) break;
  }
}

void FakeFileSystem::AddFile(const std::filesystem::path& path, std::string bytes) {
  const std::lock_guard lock(mutex_);
  AddFolder(path.parent_path());
  files[path] = std::move(bytes);
  modified[path] = ++clock_;
}

void FakeFileSystem::Remove(const std::filesystem::path& path) {
  const std::lock_guard lock(mutex_);
  const auto inside = [&path](const std::filesystem::path& entry) {
    for (std::filesystem::path at = entry; !at.empty(); at = at.parent_path()) {
      if (at == path) return true;
      if (at == at.parent_path()) break;
    }
    return false;
  };
  std::erase_if(files, [&](const auto& file) { return inside(file.first); });
  std::erase_if(folders, inside);
  special.erase(path);
}

std::vector<std::string> FakeFileSystem::Names(const std::filesystem::path& folder) const {
  const std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  for (const auto& [path, bytes] : files) {
    if (path.parent_path() == folder) names.push_back(Utf8FromPath(path.filename()));
  }
  for (const auto& path : folders) {
    if (path != folder && path.parent_path() == folder) {
      names.push_back(Utf8FromPath(path.filename()));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::filesystem::path> FakeFileSystem::FileNames(
    const std::filesystem::path& folder) const {
  const std::lock_guard lock(mutex_);
  std::vector<std::filesystem::path> names;
  for (const auto& [path, bytes] : files) {
    if (path.parent_path() == folder && !special.contains(path)) names.push_back(path.filename());
  }
  return names;  // a map keeps its keys sorted
}

std::string FakeFileSystem::Bytes(const std::filesystem::path& path) const {
  const std::lock_guard lock(mutex_);
  const auto file = files.find(path);
  return file == files.end() ? std::string() : file->second;
}

DirResult FakeFileSystem::MakeDirectory(const std::filesystem::path& path) {
  const std::lock_guard lock(mutex_);
  if (failMakeDirectory) {
    if (auto reason = failMakeDirectory(path)) return {DirStatus::Failed, *reason};
  }
  if (folders.contains(path)) return {DirStatus::ExistsAsFolder, kFileExists};
  if (files.contains(path) || special.contains(path)) return {DirStatus::ExistsAsOther, kFileExists};
  if (!folders.contains(path.parent_path())) return {DirStatus::Failed, kNoSuchFile};
  folders.insert(path);
  madeFolders.push_back(path);
  return {DirStatus::Created, {}};
}

IoResult FakeFileSystem::ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) {
  const std::lock_guard lock(mutex_);
  if (failRead) {
    if (auto reason = failRead(path)) return IoResult::Failure(*reason);
  }
  if (folders.contains(path)) return IoResult::Failure("Is a directory");
  if (special.contains(path)) return IoResult::Failure("not a regular file");
  const auto file = files.find(path);
  if (file == files.end()) return IoResult::Failure(kNoSuchFile);
  bytes.assign(file->second.begin(), file->second.end());
  return IoResult::Success();
}

std::optional<std::string> FakeFileSystem::RefusedWrite(const std::filesystem::path& path) {
  const std::lock_guard lock(mutex_);
  if (failWrite) {
    if (auto reason = failWrite(path)) return reason;
  }
  if (folders.contains(path)) return "Is a directory";
  if (readOnly.contains(path)) return "Permission denied";
  if (!folders.contains(path.parent_path())) return kNoSuchFile;
  return std::nullopt;
}

void FakeFileSystem::Written(const std::filesystem::path& path) {
  const std::lock_guard lock(mutex_);
  writtenFiles.push_back(path);
  if (keepWrittenBytes) writtenBytes.push_back(files[path]);
}

std::unique_ptr<FreshFile> FakeFileSystem::CreateFreshFile(const std::filesystem::path& folder,
                                                           IoResult& failure) {
  const std::lock_guard lock(mutex_);
  if (!folders.contains(folder)) {
    failure = IoResult::Failure(kNoSuchFile);
    return nullptr;
  }
  const std::filesystem::path path =
      JoinPath(folder, ".tav-fresh-" + std::to_string(++freshNames_) + ".tmp");
  return std::make_unique<FakeFreshFile>(*this, path);
}

bool FakeFileSystem::Exists(const std::filesystem::path& path) {
  const std::lock_guard lock(mutex_);
  return files.contains(path) || folders.contains(path) || special.contains(path);
}

IoResult FakeFileSystem::ListFolder(const std::filesystem::path& folder,
                                    std::vector<FolderEntry>& entries) {
  const std::lock_guard lock(mutex_);
  entries.clear();
  if (!folders.contains(folder)) return IoResult::Failure(kNoSuchFile);
  for (const auto& [path, bytes] : files) {
    if (path.parent_path() == folder) {
      entries.push_back({path.filename(), !special.contains(path), modified[path]});
    }
  }
  for (const auto& path : folders) {
    if (path != folder && path.parent_path() == folder) entries.push_back({path.filename(), false, 0});
  }
  return IoResult::Success();
}

IoResult FakeFileSystem::SyncFolder(const std::filesystem::path&) {
  const std::lock_guard lock(mutex_);
  ++syncs;
  return IoResult::Success();
}

bool FakeFileSystem::RemoveAbandoned(const std::filesystem::path& path) {
  const std::lock_guard lock(mutex_);
  if (filling.contains(path) || !files.contains(path)) return false;
  files.erase(path);
  return true;
}

}  // namespace tav::test
