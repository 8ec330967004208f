#include "convert/mbox_writer.h"

#include <algorithm>

#include "platform/fresh_names.h"
#include "platform/paths.h"

namespace tav {

namespace {

// A rewrite copies runs of messages up to a megabyte at a time.
constexpr std::size_t kCopyAt = std::size_t{1} << 20;

}  // namespace

void RemoveAbandonedFreshFiles(FileSystem& files, const std::filesystem::path& folder) {
  std::vector<FolderEntry> entries;
  if (!files.ListFolder(folder.empty() ? std::filesystem::path(".") : folder, entries).ok) return;
  for (const FolderEntry& entry : entries) {
    if (entry.isFile && FreshNames::IsFreshName(entry.name.string())) {
      files.RemoveAbandoned(JoinPath(folder, entry.name));
    }
  }
}

IoResult MboxWriter::Open(const std::filesystem::path& file) {
  target_ = file;
  if (files_.Exists(file)) return IoResult::Failure("exists already");
  RemoveAbandonedFreshFiles(files_, file.parent_path());
  fresh_ = files_.CreateFreshFile(file.parent_path(), failure_);
  if (fresh_) filler_ = std::make_unique<MboxFiller>(*fresh_);
  return failure_;
}

WriteResult MboxWriter::Write(const MessageRecord& message) {
  if (!failure_.ok || !fresh_) {
    return {WriteResult::Status::Failed, target_, failure_.reason, 0, false};
  }
  if (message.TitleListEntry) return {WriteResult::Status::PassedOver, {}, {}, 0, false};
  const PlacedMessage& placed = registry_.Place(message);
  // A message read again: its later reading stands in for the earlier one.
  if (placed.readBefore) kept_[placed.earlierSequence - 1] = false;
  kept_.push_back(true);
  if (!placed.parentSettled) unsettled_.push_back(placed);
  // What the message holds that does not decode is told now; its text is
  // built and written by the filler's thread.
  std::size_t replaced = 0;
  failure_ = filler_->Add(message, placed, replaced);
  replaced += MimeMessageBuilder::ReplacedFieldBytes(message);
  if (!failure_.ok) return {WriteResult::Status::Failed, target_, failure_.reason, replaced, false};
  return {WriteResult::Status::Written, target_, {}, replaced, false};
}

IoResult MboxWriter::Finish() {
  if (!fresh_) return failure_;
  if (const IoResult filled = filler_->Finish(); failure_.ok) failure_ = filled;
  if (!failure_.ok) return failure_;
  // The parents that came later in the run, by the message's sequence.
  std::vector<std::string> parents(kept_.size());
  bool rewrite = std::find(kept_.begin(), kept_.end(), false) != kept_.end();
  for (const PlacedMessage& placed : unsettled_) {
    std::string parent = registry_.FinalParent(placed);
    if (parent != placed.parent && kept_[placed.sequence - 1]) {
      parents[placed.sequence - 1] = std::move(parent);
      rewrite = true;
    }
  }
  if (rewrite) failure_ = Rewrite(parents);
  filler_.reset();
  if (failure_.ok) failure_ = fresh_->Sync();
  if (failure_.ok) failure_ = fresh_->Commit(target_, false);
  fresh_.reset();  // removes the fresh file unless it was committed
  if (failure_.ok) failure_ = files_.SyncFolder(target_.parent_path().empty() ? "." : target_.parent_path());
  return failure_;
}

IoResult MboxWriter::Rewrite(const std::vector<std::string>& parents) {
  IoResult result;
  std::unique_ptr<FreshFile> rewritten = files_.CreateFreshFile(target_.parent_path(), result);
  if (!rewritten) return result;
  const std::vector<MboxFiller::Span>& spans = filler_->Spans();
  // Runs of kept messages whose parents stay are copied a few megabytes at a time.
  std::string text;
  for (std::size_t k = 0; k < spans.size() && result.ok;) {
    if (!kept_[k]) {
      ++k;
      continue;
    }
    const std::uint64_t offset = spans[k].offset;
    std::uint64_t size = spans[k].size;
    const bool patched = !parents[k].empty();
    for (++k; !patched && k < spans.size() && kept_[k] && parents[k].empty() && size < kCopyAt;
         ++k) {
      size += spans[k].size;
    }
    result = fresh_->Read(offset, static_cast<std::size_t>(size), text);
    if (result.ok && patched) SetParentIdentifier(text, parents[k - 1], "\n");
    if (result.ok) result = rewritten->Write(text);
  }
  if (result.ok) fresh_ = std::move(rewritten);  // the first fresh file goes with the old pointer
  return result;
}

}  // namespace tav
