// The files of an archive: a new archive is built in a staging folder
// beside DIR and swapped into place at the end, so an interrupted run leaves
// the previous archive as it was. Unchanged files are hard links to the
// previous archive's, so a rerun changes no file.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/file_system.h"

namespace tav {

class ArchiveFiles {
 public:
  explicit ArchiveFiles(FileSystem& files) : files_(files) {}

  // Where the archive's own records are, relative to DIR.
  static constexpr std::string_view kManifest = ".tav-archive/manifest.json";
  static constexpr std::string_view kFileList = ".tav-archive/files.txt";

  // Looks at DIR: recovers from an interrupted swap, refuses a DIR that holds
  // files the archive did not write, and makes a fresh staging folder.
  // `existing` tells whether DIR holds an archive.
  IoResult Open(const std::filesystem::path& dir, bool& existing);

  // The previous archive's file `relative` ("f/abc/m/00001.html"), or
  // nothing when there is none.
  bool ReadPrevious(std::string_view relative, FileBytes& bytes);

  // Writes `relative` into the staging folder: a hard link to the previous
  // archive's file when its bytes are the same, otherwise a new file.
  IoResult Write(std::string_view relative, std::string_view bytes);
  // Takes the previous archive's file as it is.
  IoResult Keep(std::string_view relative);
  // True when the previous archive has the file.
  bool HadFile(std::string_view relative) const { return previous_.contains(std::string(relative)); }

  // A scratch file in the staging folder, left out of the archive.
  std::filesystem::path ScratchPath(std::string_view name) const;

  // Lists every file written, then puts the staging folder in DIR's place.
  IoResult Commit();
  // Removes the staging folder (after a failure).
  void Abandon();

  const std::filesystem::path& staging() const { return staging_; }

 private:
  IoResult MakeFoldersFor(std::string_view relative);
  std::filesystem::path Staged(std::string_view relative) const;
  std::filesystem::path Previous(std::string_view relative) const;

  FileSystem& files_;
  std::filesystem::path dir_;
  std::filesystem::path staging_;
  std::filesystem::path old_;
  std::set<std::string> previous_;        // the previous archive's files
  std::vector<std::string> keptForeign_;  // file managers' files, carried over
  std::set<std::string> folders_;         // staging folders made so far
  std::unordered_set<std::string> written_;
  FileBytes compare_;
};

// True for the files a file manager leaves in a folder (Thumbs.db,
// desktop.ini, .DS_Store), in any case.
bool IsFileManagerFile(std::string_view name);

}  // namespace tav
