#include "archive/archive_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "platform/paths.h"

namespace tav {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRecordsFolder = ".tav-archive";
// Bytes queued for the writing thread at most.
constexpr std::size_t kQueuedBytes = std::size_t{1} << 20;
// Bytes queued before the writing thread is woken.
constexpr std::size_t kWakeBytes = std::size_t{256} << 10;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower;
}

// `path` relative to `base`, with "/" between its parts.
std::string RelativeText(const fs::path& path, const fs::path& base) {
  std::string text = Utf8FromPath(path.lexically_relative(base));
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

IoResult Failure(const fs::path& path, const std::error_code& error) {
  return IoResult::Failure(Utf8FromPath(path) + ": " + error.message());
}

// Creates or truncates `path` and writes `bytes` into it.
IoResult WriteNewFile(const fs::path::string_type& path, std::string_view bytes) {
#ifdef _WIN32
  std::FILE* file = ::_wfopen(path.c_str(), L"wb");
#else
  std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
  if (file == nullptr) return IoResult::Failure(Utf8FromPath(path) + ": " + std::strerror(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int error = errno;
  if (std::fclose(file) != 0 || !written) {
    return IoResult::Failure(Utf8FromPath(path) + ": " + std::strerror(written ? errno : error));
  }
  return IoResult::Success();
}

// The whole of a file; false when it cannot be read.
bool ReadFile(const fs::path::string_type& path, std::string& bytes) {
#ifdef _WIN32
  std::FILE* file = ::_wfopen(path.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[1 << 16];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    bytes.append(buffer, got);
  }
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  return read;
}

// What a job counts for in the queue: its bytes, and its paths and the
// rest, so that a queue of links is bounded too.
std::size_t JobCost(const ArchiveFiles::Job& job) {
  return job.bytes.size() + 256;
}

// Hard link, or a copy where the file system has no hard links.
bool LinkOrCopy(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_hard_link(from, to, error);
  if (!error) return true;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

// True when `folder` is a staging or previous archive left by this program.
bool HoldsArchiveRecords(const fs::path& folder) {
  std::error_code error;
  return fs::is_directory(JoinPath(folder, PathFromUtf8(kRecordsFolder)), error);
}

}  // namespace

bool IsFileManagerFile(std::string_view name) {
  const std::string lower = Lower(name);
  return lower == "thumbs.db" || lower == "desktop.ini" || lower == ".ds_store";
}

fs::path::string_type ArchiveFiles::NativeIn(const fs::path& root, std::string_view relative) {
  // Joined as text: the writing of a large archive makes hundreds of
  // thousands of these, and a path object parses itself into parts.
  fs::path::string_type text = root.native();
  text += fs::path::preferred_separator;
#ifdef _WIN32
  text += PathFromUtf8(relative).make_preferred().native();
#else
  text += relative;
#endif
  return text;
}

fs::path ArchiveFiles::Staged(std::string_view relative) const {
  return JoinPath(staging_, PathFromUtf8(relative));
}
fs::path ArchiveFiles::Previous(std::string_view relative) const {
  return JoinPath(dir_, PathFromUtf8(relative));
}
fs::path ArchiveFiles::ScratchPath(std::string_view name) const {
  return JoinPath(JoinPath(staging_, PathFromUtf8(kRecordsFolder)), PathFromUtf8(name));
}

IoResult ArchiveFiles::Open(const fs::path& dir, bool& existing) {
  existing = false;
  std::error_code error;
  // "web/", "." and "web/.." name a folder by its parent: made absolute and
  // normal, the folder is the last part of its path.
  dir_ = fs::absolute(dir, error).lexically_normal();
  if (error) return Failure(dir, error);
  if (!dir_.has_filename()) dir_ = dir_.parent_path();
  const fs::path name = dir_.filename();
  staging_ = dir_.parent_path() / fs::path(name.native() + PathFromUtf8(".tav-new").native());
  old_ = dir_.parent_path() / fs::path(name.native() + PathFromUtf8(".tav-old").native());

  // A run stopped between its two renames left the previous archive aside.
  if (!fs::exists(dir_, error) && HoldsArchiveRecords(old_)) {
    fs::rename(old_, dir_, error);
    if (error) return Failure(old_, error);
  }
  for (const fs::path& leftover : {old_, staging_}) {
    if (!fs::exists(fs::symlink_status(leftover, error))) continue;
    if (!HoldsArchiveRecords(leftover)) {
      return IoResult::Failure(Utf8FromPath(leftover) + ": in the way, and not left by tavconv");
    }
    fs::remove_all(leftover, error);
    if (error) return Failure(leftover, error);
  }

  if (fs::exists(fs::symlink_status(dir_, error))) {
    if (!fs::is_directory(dir_, error))
      return IoResult::Failure(Utf8FromPath(dir_) + ": not a folder");
    existing = files_.Exists(Previous(kManifest));
    if (existing) {
      FileBytes list;
      if (IoResult read = files_.ReadWholeFile(Previous(kFileList), list); !read.ok) return read;
      std::string_view text = View(list);
      while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (end > 0) previous_.emplace(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
      }
    }
    // Every folder that holds a file of the archive is the archive's.
    std::unordered_set<std::string> folders;
    for (const std::string& file : previous_) {
      for (std::size_t slash = file.find('/'); slash != std::string::npos;
           slash = file.find('/', slash + 1)) {
        folders.insert(file.substr(0, slash));
      }
    }
    for (fs::recursive_directory_iterator it(dir_, error), end; !error && it != end;
         it.increment(error)) {
      const std::string relative = RelativeText(it->path(), dir_);
      const bool folder = it->is_directory(error) && !it->is_symlink(error);
      if (folder ? folders.contains(relative) : previous_.contains(relative)) continue;
      if (!folder && IsFileManagerFile(Utf8FromPath(it->path().filename()))) {
        keptForeign_.push_back(relative);
        continue;
      }
      return IoResult::Failure(Utf8FromPath(dir_) + ": holds \"" + relative +
                               "\", which is no part of an archive of tavconv; nothing written");
    }
    if (error) return Failure(dir_, error);
  }

  // The folders above DIR that are missing, as with mkdir -p.
  if (!staging_.parent_path().empty()) {
    fs::create_directories(staging_.parent_path(), error);
    if (error) return Failure(staging_.parent_path(), error);
  }
  fs::create_directory(staging_, error);
  if (error) return Failure(staging_, error);
  stagingMade_ = true;
  if (IoResult made = MakeFoldersFor(std::string(kRecordsFolder) + "/x"); !made.ok) return made;
  return list_.Open(ScratchPath("files.tmp"));
}

IoResult ArchiveFiles::ReadStaged(std::string_view relative, FileBytes& bytes) {
  if (IoResult drained = Drain(); !drained.ok) return drained;
  return files_.ReadWholeFile(Staged(relative), bytes);
}

bool ArchiveFiles::ReadPrevious(std::string_view relative, FileBytes& bytes) {
  return previous_.contains(std::string(relative)) &&
         files_.ReadWholeFile(Previous(relative), bytes).ok;
}

IoResult ArchiveFiles::MakeFoldersFor(std::string_view relative) {
  const std::size_t slash = relative.rfind('/');
  if (slash == std::string_view::npos) return IoResult::Success();
  const std::string folder(relative.substr(0, slash));
  if (folders_.contains(folder)) return IoResult::Success();
  if (IoResult made = MakeFoldersFor(folder); !made.ok) return made;
  const DirResult made = files_.MakeDirectory(Staged(folder));
  if (made.status != DirStatus::Created && made.status != DirStatus::ExistsAsFolder) {
    return IoResult::Failure(Utf8FromPath(Staged(folder)) + ": " + made.reason);
  }
  folders_.insert(folder);
  return IoResult::Success();
}

IoResult ArchiveFiles::Queue(std::string_view relative, Job job) {
  if (IoResult made = MakeFoldersFor(relative); !made.ok) return made;
  list_.Append(relative);
  list_.Append("\n");
  std::unique_lock lock(mutex_);
  // Enough is queued to keep the thread busy; more would only take memory.
  room_.wait(lock, [this] { return queuedBytes_ < kQueuedBytes || !failure_.ok; });
  if (!failure_.ok) return failure_;
  queuedBytes_ += JobCost(job);
  jobs_.push_back(std::move(job));
  if (!writer_.joinable()) writer_ = std::thread([this] { WriteFiles(); });
  // The thread is woken for a batch worth its turn, not for every file.
  if (queuedBytes_ >= kWakeBytes && !busy_) work_.notify_one();
  return IoResult::Success();
}

IoResult ArchiveFiles::Write(std::string_view relative, std::string bytes, bool again) {
  Job job;
  job.target = NativeIn(staging_, relative);
  if (previous_.contains(std::string(relative))) job.previous = NativeIn(dir_, relative);
  job.bytes = std::move(bytes);
  job.removeFirst = again;
  return Queue(relative, std::move(job));
}

IoResult ArchiveFiles::Keep(std::string_view relative) {
  Job job;
  job.target = NativeIn(staging_, relative);
  job.previous = NativeIn(dir_, relative);
  job.keep = true;
  return Queue(relative, std::move(job));
}

void ArchiveFiles::WriteFiles() {
  std::string old;
  std::deque<Job> batch;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      busy_ = false;
      room_.notify_all();
      work_.wait(lock, [this] {
        return (!jobs_.empty() && (queuedBytes_ >= kWakeBytes || draining_)) || stopping_;
      });
      if (jobs_.empty()) return;
      // Everything queued at once: fewer turns of the lock.
      batch.swap(jobs_);
      queuedBytes_ = 0;
      busy_ = true;
    }
    IoResult result;
    for (Job& job : batch) {
      if (!result.ok) break;
      if (job.removeFirst) {
        // Written before in this run: it may be a link to the previous
        // archive's file, which must not be written through.
        std::error_code error;
        fs::remove(job.target, error);
      }
      if (job.keep) {
        if (!LinkOrCopy(job.previous, job.target)) {
          result = IoResult::Failure(Utf8FromPath(job.previous) + ": cannot be carried over");
        }
      } else if (!(!job.previous.empty() && ReadFile(job.previous, old) && old == job.bytes &&
                   LinkOrCopy(job.previous, job.target))) {
        result = WriteNewFile(job.target, job.bytes);
      }
    }
    batch.clear();
    if (!result.ok) {
      std::lock_guard lock(mutex_);
      if (failure_.ok) failure_ = std::move(result);
    }
  }
}

IoResult ArchiveFiles::Drain() {
  std::unique_lock lock(mutex_);
  draining_ = true;
  work_.notify_one();
  room_.wait(lock, [this] { return (jobs_.empty() && !busy_) || !writer_.joinable(); });
  draining_ = false;
  if (!list_.ok() && failure_.ok) failure_ = IoResult::Failure(list_.reason());
  return failure_;
}

ArchiveFiles::~ArchiveFiles() {
  // A run that ends without committing (a failure, a signal) leaves the
  // previous archive and no staging folder.
  Abandon();
}

IoResult ArchiveFiles::Commit() {
  for (const std::string& kept : keptForeign_) {
    // A file manager makes these again when one is lost.
    if (IoResult queued = Keep(kept); !queued.ok) return queued;
  }
  if (IoResult drained = Drain(); !drained.ok) return drained;
  std::string list;
  list_.Read(0, list_.size(), list);
  list_.Close();
  list += kFileList;
  list += '\n';
  if (IoResult listed = Write(kFileList, std::move(list)); !listed.ok) return listed;
  if (IoResult drained = Drain(); !drained.ok) return drained;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    work_.notify_all();
  }
  writer_.join();
  // Scratch files are no part of the archive.
  std::error_code error;
  for (const auto& entry :
       fs::directory_iterator(JoinPath(staging_, PathFromUtf8(kRecordsFolder)), error)) {
    const std::string name = Utf8FromPath(entry.path().filename());
    if (name.ends_with(".tmp")) fs::remove(entry.path(), error);
  }

  const bool replacing = fs::exists(fs::symlink_status(dir_, error));
  if (replacing) {
    fs::rename(dir_, old_, error);
    if (error) return Failure(dir_, error);
  }
  fs::rename(staging_, dir_, error);
  if (error) {
    const IoResult failed = Failure(dir_, error);
    if (replacing) fs::rename(old_, dir_, error);
    return failed;
  }
  stagingMade_ = false;
  if (replacing) fs::remove_all(old_, error);
  return IoResult::Success();
}

void ArchiveFiles::Abandon() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
    work_.notify_all();
  }
  if (writer_.joinable()) writer_.join();
  list_.Close();
  std::error_code error;
  if (stagingMade_) fs::remove_all(staging_, error);
  stagingMade_ = false;
}

}  // namespace tav
