// The files of an archive: a new archive is built in a staging folder
// beside DIR and swapped into place at the end, so an interrupted run leaves
// the previous archive as it was. Unchanged files are hard links to the
// previous archive's, so a rerun changes no file. The files are written by
// a thread of their own while the next pages are made.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#include "archive/scratch_file.h"
#include "platform/file_system.h"

namespace tav {

class ArchiveFiles {
 public:
  explicit ArchiveFiles(FileSystem& files) : files_(files) {}
  ~ArchiveFiles();
  ArchiveFiles(const ArchiveFiles&) = delete;
  ArchiveFiles& operator=(const ArchiveFiles&) = delete;

  // Where the archive's own records are, relative to DIR.
  static constexpr std::string_view kManifest = ".tav-archive/manifest.json";
  static constexpr std::string_view kFileList = ".tav-archive/files.txt";

  // Looks at DIR: recovers from an interrupted swap, refuses a DIR that holds
  // files the archive did not write, and makes a fresh staging folder.
  // `existing` tells whether DIR holds an archive.
  IoResult Open(const std::filesystem::path& dir, bool& existing);

  // The previous archive's file `relative` ("f/abc/m/00001.html"); false
  // when there is none.
  bool ReadPrevious(std::string_view relative, FileBytes& bytes);

  // The file `relative` as this run wrote it into the staging folder.
  IoResult ReadStaged(std::string_view relative, FileBytes& bytes);

  // Writes `relative` into the staging folder: a hard link to the previous
  // archive's file when its bytes are the same, otherwise a new file.
  // `again`: the file was written before in this run (and may be such a link).
  // A failure shows in a later call or in Commit.
  IoResult Write(std::string_view relative, std::string bytes, bool again = false);
  // Takes the previous archive's file as it is.
  IoResult Keep(std::string_view relative);

  // A scratch file in the staging folder, left out of the archive.
  std::filesystem::path ScratchPath(std::string_view name) const;

  // Lists every file written, then puts the staging folder in DIR's place.
  IoResult Commit();
  // Removes the staging folder (after a failure).
  void Abandon();

 public:
  // A file for the writing thread.
  struct Job {
    std::filesystem::path::string_type target;
    std::filesystem::path::string_type previous;  // the previous archive's file, if any
    std::string bytes;
    bool keep = false;         // link `previous` as it is
    bool removeFirst = false;  // `target` may be a link to the previous archive's file
  };

 private:
  IoResult MakeFoldersFor(std::string_view relative);
  IoResult Queue(std::string_view relative, Job job);
  // Waits until every queued file is written; the first failure, if any.
  IoResult Drain();
  void WriteFiles();  // the writing thread
  static std::filesystem::path::string_type NativeIn(const std::filesystem::path& root,
                                                     std::string_view relative);
  std::filesystem::path Staged(std::string_view relative) const;
  std::filesystem::path Previous(std::string_view relative) const;

  FileSystem& files_;
  std::filesystem::path dir_;
  std::filesystem::path staging_;
  std::filesystem::path old_;
  bool stagingMade_ = false;                  // made by this run, so removed when it fails
  std::unordered_set<std::string> previous_;  // the previous archive's files
  std::vector<std::string> keptForeign_;      // file managers' files, carried over
  std::unordered_set<std::string> folders_;   // staging folders made so far
  ScratchFile list_;                          // every file written, a line each

  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable work_;  // jobs to do, or stopping
  std::condition_variable room_;  // the queue has room, or is done
  std::deque<Job> jobs_;
  std::size_t queuedBytes_ = 0;  // bytes of the jobs not yet taken
  bool busy_ = false;
  bool draining_ = false;  // Drain waits: write whatever is queued
  bool stopping_ = false;
  IoResult failure_;  // the writing thread's first failure
};

// True for the files a file manager leaves in a folder (Thumbs.db,
// desktop.ini, .DS_Store), in any case.
bool IsFileManagerFile(std::string_view name);

}  // namespace tav
