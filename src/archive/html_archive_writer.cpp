#include "archive/html_archive_writer.h"

#include <set>

#include "archive/archive_assets.h"
#include "archive/archive_manifest.h"
#include "archive/archive_pages.h"
#include "archive/archive_threads.h"
#include "archive/display_text.h"
#include "archive/search_index.h"
#include "mail/fnv_hash.h"
#include "platform/paths.h"

namespace tav {

namespace {

std::string TextShardFile(std::uint32_t shard) {
  return "search/t/" + std::to_string(shard) + ".js";
}

// The date the search shows: "2000-04-12", or nothing.
std::string SearchDate(const ArchiveMessage& message) {
  const auto when = message.When();
  if (!when) return {};
  const auto day = std::chrono::floor<std::chrono::days>(*when + std::chrono::hours(9));
  const std::chrono::year_month_day ymd{day};
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(ymd.year()), unsigned(ymd.month()),
                unsigned(ymd.day()));
  return text;
}

}  // namespace

std::string HtmlArchiveWriter::MessageFile(std::uint32_t ordinal,
                                           std::string_view extension) const {
  const ArchiveMessage& message = model_.messages[ordinal];
  return "f/" + model_.sections[message.section].tag + "/m/" + std::string(message.stem()) +
         std::string(extension);
}

IoResult HtmlArchiveWriter::Open(const std::filesystem::path& dir) {
  dir_ = Utf8FromPath(dir);
  bool existing = false;
  failure_ = files_.Open(dir, existing);
  if (failure_.ok) failure_ = bodies_.Open(files_.ScratchPath("bodies.tmp"));
  if (failure_.ok && existing) failure_ = ReadPreviousArchive();
  if (!failure_.ok) {
    bodies_.Close();
    files_.Abandon();
  }
  return failure_;
}

IoResult HtmlArchiveWriter::ReadPreviousArchive() {
  FileBytes bytes;
  std::string why;
  if (!files_.ReadPrevious(ArchiveFiles::kManifest, bytes) ||
      !ReadManifest(View(bytes), model_, why)) {
    return IoResult::Failure(dir_ + ": the archive's records cannot be read (" + why +
                             "); nothing written");
  }
  emlWritten_.assign(model_.messages.size(), false);
  emlParents_.clear();
  for (const ArchiveMessage& message : model_.messages) emlParents_.push_back(message.parent);
  // The bodies, from the search texts.
  std::vector<std::string> shard;
  for (std::uint32_t first = 0; first < model_.messages.size(); first += kTextsPerShard) {
    shard.clear();
    const std::string file = TextShardFile(first / kTextsPerShard);
    if (!files_.ReadPrevious(file, bytes) || !ReadTextShardBodies(View(bytes), shard) ||
        shard.size() != std::min<std::size_t>(kTextsPerShard, model_.messages.size() - first)) {
      return IoResult::Failure(dir_ + "/" + file + ": damaged; nothing written");
    }
    for (std::size_t k = 0; k < shard.size(); ++k) {
      ArchiveMessage& message = model_.messages[first + k];
      message.bodyOffset = bodies_.Append(shard[k]);
      message.bodyLength = static_cast<std::uint32_t>(shard[k].size());
    }
  }
  return IoResult::Success();
}

WriteResult HtmlArchiveWriter::Write(const MessageRecord& record) {
  if (!failure_.ok) return {WriteResult::Status::Failed, dir_, failure_.reason, 0, false};
  // A title-list entry is no message read.
  if (record.TitleListEntry) return {WriteResult::Status::PassedOver, {}, {}, 0, false};
  bool added = false;
  const std::uint32_t ordinal = model_.Read(record, added);
  if (added) {
    emlWritten_.push_back(false);
    emlParents_.push_back(kNoMessage);
  }

  // A later reading's body is kept.
  text_.clear();
  AppendDisplayText(record.Body, text_);
  ArchiveMessage& message = model_.messages[ordinal];
  message.bodyOffset = bodies_.Append(text_);
  message.bodyLength = static_cast<std::uint32_t>(text_.size());

  // The standard form names the parent known so far; Finish puts right the
  // ones a later message of the run changes.
  const std::int32_t parent = model_.ParentSoFar(ordinal);
  const std::string identifier = model_.Identifier(ordinal);
  const std::string parentId =
      parent == kNoMessage ? std::string() : model_.Identifier(static_cast<std::uint32_t>(parent));
  std::string digest;
  Fnv1a64::AppendHex(message.digest, digest);
  text_.clear();
  const std::size_t replaced = builder_.Append(record, {identifier, parentId, digest}, text_);
  failure_ = files_.Write(MessageFile(ordinal, ".eml"), text_, emlWritten_[ordinal]);
  if (failure_.ok && !bodies_.ok()) failure_ = IoResult::Failure(bodies_.reason());
  if (!failure_.ok) return {WriteResult::Status::Failed, dir_, failure_.reason, replaced, false};
  emlWritten_[ordinal] = true;
  emlParents_[ordinal] = parent;
  return {WriteResult::Status::Written, dir_, {}, replaced, false};
}

IoResult HtmlArchiveWriter::SettleEml(std::uint32_t ordinal) {
  const std::string file = MessageFile(ordinal, ".eml");
  const std::int32_t parent = model_.messages[ordinal].parent;
  if (parent == emlParents_[ordinal]) {
    // A message of an earlier run that was not read again keeps its file.
    return emlWritten_[ordinal] ? IoResult::Success() : files_.Keep(file);
  }
  // Its parent came later in the run, or a late parent joined its thread.
  FileBytes bytes;
  if (emlWritten_[ordinal]) {
    if (IoResult read = files_.ReadStaged(file, bytes); !read.ok) return read;
  } else if (!files_.ReadPrevious(file, bytes)) {
    return IoResult::Failure(dir_ + "/" + file + ": missing from the archive");
  }
  std::string text(bytes.begin(), bytes.end());
  SetParentIdentifier(
      text,
      parent == kNoMessage ? std::string() : model_.Identifier(static_cast<std::uint32_t>(parent)),
      "\r\n");
  return files_.Write(file, std::move(text), emlWritten_[ordinal]);
}

void HtmlArchiveWriter::ReadBody(std::uint32_t ordinal, std::string& body) {
  const ArchiveMessage& message = model_.messages[ordinal];
  bodies_.Read(message.bodyOffset, message.bodyLength, body);
}

IoResult HtmlArchiveWriter::WriteMessages(const ArchivePages& pages, const ShownFields& shown,
                                          SearchIndexBuilder& search) {
  std::string page, body;
  for (std::uint32_t ordinal = 0; ordinal < model_.messages.size(); ++ordinal) {
    const ArchiveMessage& message = model_.messages[ordinal];
    ReadBody(ordinal, body);
    page.clear();
    pages.MessagePage(ordinal, body, page);
    if (IoResult written = files_.Write(MessageFile(ordinal, ".html"), page); !written.ok) {
      return written;
    }
    if (IoResult eml = SettleEml(ordinal); !eml.ok) return eml;
    const std::string date = SearchDate(message);
    const SearchEntry entry = {message.section,
                               message.stem(),
                               shown.Subject(ordinal, false),
                               shown.Name(ordinal, false),
                               shown.Id(ordinal),
                               date,
                               body};
    if (IoResult added = search.Add(entry); !added.ok) return added;
  }
  return bodies_.ok() ? IoResult::Success() : IoResult::Failure(bodies_.reason());
}

IoResult HtmlArchiveWriter::WriteThreads(std::uint32_t s, const ArchiveThreads& threads,
                                         const ArchivePages& pages) {
  ArchiveSection& section = model_.sections[s];
  const std::string folder = "f/" + section.tag + "/t/";
  std::set<std::string> stems(section.threadStems.begin(), section.threadStems.end());
  std::string page, body;
  for (const ThreadSummary& thread : threads.threads[s]) {
    page.clear();
    pages.ThreadPageStart(thread.root, thread, page);
    for (const std::uint32_t member : threads.ThreadOf(thread.root)) {
      ReadBody(member, body);
      pages.ThreadPageMessage(member, body, page);
    }
    pages.ThreadPageEnd(page);
    const std::string stem(model_.messages[thread.root].stem());
    if (IoResult written = files_.Write(folder + stem + ".html", page); !written.ok) {
      return written;
    }
    stems.insert(stem);
  }
  // A thread page whose first message has since been given a parent leads
  // to the thread it is in now.
  for (const std::string& stem : section.threadStems) {
    const std::int32_t former = model_.Find(s, stem);
    if (former == kNoMessage ||
        model_.messages[static_cast<std::uint32_t>(former)].parent == kNoMessage) {
      continue;
    }
    page.clear();
    pages.MovedThreadPage(static_cast<std::uint32_t>(former), page);
    if (IoResult written = files_.Write(folder + stem + ".html", page); !written.ok) {
      return written;
    }
  }
  section.threadStems.assign(stems.begin(), stems.end());
  return bodies_.ok() ? IoResult::Success() : IoResult::Failure(bodies_.reason());
}

IoResult HtmlArchiveWriter::WriteIndexes(std::uint32_t s, const ArchiveThreads& threads,
                                         const ArchivePages& pages) {
  const std::size_t messages = threads.byNumber[s].size();
  const std::pair<IndexKind, std::size_t> kinds[] = {
      {IndexKind::Threads, threads.threads[s].size()},
      {IndexKind::ByNumber, messages},
      {IndexKind::ByDate, messages},
      {IndexKind::BySender, messages}};
  std::string page;
  for (const auto& [kind, entries] : kinds) {
    const std::size_t total =
        std::max<std::size_t>(1, (entries + kIndexPageSize - 1) / kIndexPageSize);
    for (std::size_t p = 1; p <= total; ++p) {
      page.clear();
      pages.IndexPage(s, kind, p, total, page);
      const std::string file = "f/" + model_.sections[s].tag + "/" + IndexFile(kind, p);
      if (IoResult written = files_.Write(file, page); !written.ok) return written;
    }
  }
  return IoResult::Success();
}

IoResult HtmlArchiveWriter::WritePages() {
  model_.ResolveParents();
  const ArchiveThreads threads(model_);
  const ShownFields shown(model_);
  const ArchivePages pages(model_, threads, shown);

  ScratchFile postings;
  if (IoResult opened = postings.Open(files_.ScratchPath("postings.tmp")); !opened.ok) {
    return opened;
  }
  SearchIndexBuilder search(files_, postings, static_cast<std::uint32_t>(model_.messages.size()));
  if (IoResult written = WriteMessages(pages, shown, search); !written.ok) return written;
  for (std::uint32_t s = 0; s < model_.sections.size(); ++s) {
    if (IoResult written = WriteThreads(s, threads, pages); !written.ok) return written;
    if (IoResult written = WriteIndexes(s, threads, pages); !written.ok) return written;
  }
  std::vector<std::pair<std::string, std::string>> sections;
  for (const ArchiveSection& section : model_.sections) {
    sections.emplace_back(section.tag, VisibleUtf8(section.folderName));
  }
  if (IoResult finished = search.Finish(sections); !finished.ok) return finished;
  postings.Close();

  std::string page;
  pages.StartPage(page);
  if (IoResult written = files_.Write("index.html", page); !written.ok) return written;
  page.clear();
  pages.SearchPage(page);
  const std::pair<std::string_view, std::string> shared[] = {
      {"search.html", page},
      {"archive.css", std::string(kArchiveCss)},
      {"search.js", std::string(kSearchJs)},
      {ArchiveFiles::kManifest, ManifestText(model_)}};
  for (const auto& [file, bytes] : shared) {
    if (IoResult written = files_.Write(file, bytes); !written.ok) return written;
  }
  return IoResult::Success();
}

IoResult HtmlArchiveWriter::Finish() {
  if (failure_.ok) {
    try {
      failure_ = WritePages();
    } catch (const std::exception& error) {
      failure_ = IoResult::Failure(dir_ + ": " + error.what());
    }
  }
  bodies_.Close();
  if (failure_.ok) failure_ = files_.Commit();
  if (!failure_.ok) files_.Abandon();
  return failure_;
}

}  // namespace tav
