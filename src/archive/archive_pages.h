// The pages of the archive, each as one string of HTML: the start page, a
// section's indexes, a message's page, a thread's page, the page left
// where a thread joined another, and the search page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_model.h"
#include "archive/archive_threads.h"
#include "archive/shown_fields.h"

namespace tav {

// The kinds of index a section has, each split into pages.
enum class IndexKind { Threads, ByNumber, ByDate, BySender };

inline constexpr std::size_t kIndexPageSize = 200;

// The file of page `page` (1 = first) of an index, relative to the section's folder.
std::string IndexFile(IndexKind kind, std::size_t page);

class ArchivePages {
 public:
  ArchivePages(const ArchiveModel& model, const ArchiveThreads& threads, const ShownFields& shown)
      : model_(model), threads_(threads), shown_(shown) {}

  // `body`: the message's body as the archive shows it.
  void MessagePage(std::uint32_t message, std::string_view body, std::string& out) const;
  // Opens a thread page; then each member with its body; then Close.
  void ThreadPageStart(std::uint32_t root, const ThreadSummary& summary, std::string& out) const;
  void ThreadPageMessage(std::uint32_t message, std::string_view body, std::string& out) const;
  void ThreadPageEnd(std::string& out) const;
  // The old thread page of `formerRoot`, which now belongs to another thread.
  void MovedThreadPage(std::uint32_t formerRoot, std::string& out) const;
  // Page `page` (1 = first) of an index of section `section`; `pages` in all.
  void IndexPage(std::uint32_t section, IndexKind kind, std::size_t page, std::size_t pages,
                 std::string& out) const;
  void StartPage(std::string& out) const;
  void SearchPage(std::string& out) const;

 private:
  std::string_view Subject(std::uint32_t m) const { return shown_.Subject(m); }
  std::string_view Name(std::uint32_t m) const { return shown_.Name(m); }
  std::string_view Id(std::uint32_t m) const { return shown_.Id(m); }
  std::string_view Number(std::uint32_t m) const { return shown_.Number(m); }

  const ArchiveModel& model_;
  const ArchiveThreads& threads_;
  const ShownFields& shown_;
};

}  // namespace tav
