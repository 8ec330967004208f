// The search index of the archive, as scripts a page loads when a query
// needs them (browsers load nothing else from file://):
//   search/meta.js    the shard counts and the sections
//   search/p/N.js     for each pair of adjacent characters, the messages
//                     holding it; a pair lives in the shard of its first
//                     character, so one character is answered from one shard
//   search/t/N.js     the text of kTextsPerShard messages, to confirm a phrase
// The postings go through a scratch file, not memory: a large archive has
// tens of millions of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_files.h"
#include "archive/scratch_file.h"

namespace tav {

inline constexpr std::uint32_t kTextsPerShard = 256;

// What the search shows and looks through, for one message.
struct SearchEntry {
  std::uint32_t section = 0;
  std::string_view stem;
  std::string_view subject;
  std::string_view name;
  std::string_view senderId;
  std::string_view date;
  std::string_view body;
};

class SearchIndexBuilder {
 public:
  // `messages`: how many will be added, which sets the number of shards.
  SearchIndexBuilder(ArchiveFiles& files, ScratchFile& scratch, std::uint32_t messages);

  // Adds the next message (in the archive's order).
  IoResult Add(const SearchEntry& entry);
  // Writes the postings and meta.js. `sections`: (tag, folder name) pairs.
  IoResult Finish(const std::vector<std::pair<std::string, std::string>>& sections);

  // The shard of a pair whose first character (a UTF-16 unit) is `first`.
  static std::uint32_t ShardOf(std::uint16_t first, int bits);

 private:
  IoResult FlushTexts();
  void SpillShard(std::uint32_t shard);

  ArchiveFiles& files_;
  ScratchFile& scratch_;
  int bits_;
  std::uint32_t added_ = 0;
  std::string texts_;                       // the text shard being filled
  std::vector<std::string> buffers_;        // postings not yet spilled, per shard
  std::vector<std::uint32_t> lastMessage_;  // per shard: the message of its last posting
  struct Chunk {
    std::uint64_t offset;
    std::uint32_t size;
  };
  std::vector<std::vector<Chunk>> chunks_;            // spilled postings, per shard
  std::vector<std::uint32_t> seenKeys_, seenStamps_;  // the pairs of the message in hand
  std::u16string units_;
};

// The bodies of a text shard written by SearchIndexBuilder (in order), for
// the next run; false when it cannot be read as one.
bool ReadTextShardBodies(std::string_view script, std::vector<std::string>& bodies);

}  // namespace tav
