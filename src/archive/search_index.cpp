#include "archive/search_index.h"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <utility>

namespace tav {

namespace {

using Json = nlohmann::json;

// Spilled a shard at a time once its postings take this much memory.
constexpr std::size_t kBufferSize = 4096;
// About this many postings per shard.
constexpr std::uint32_t kPostingsPerShard = 40000;
constexpr std::uint32_t kPairsPerMessage = 250;  // measured on generated forum logs

// Six bits per character, JSON-safe: five of value, one for "more follows".
constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

void AppendVarint(std::uint32_t value, std::string& out) {
  for (; value >= 0x80; value >>= 7) out += static_cast<char>((value & 0x7F) | 0x80);
  out += static_cast<char>(value);
}

void AppendNumber(std::uint32_t value, std::string& out) {
  do {
    const std::uint32_t low = value & 0x1F;
    value >>= 5;
    out += kDigits[low | (value != 0 ? 0x20 : 0)];
  } while (value != 0);
}

// Appends `utf8` as a JSON string. The texts of the archive are valid UTF-8
// whose only control characters are line feeds and tabs; written here
// rather than through a json value, which would copy every body first.
void AppendJsonString(std::string_view utf8, std::string& out) {
  out += '"';
  std::size_t plain = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(utf8, plain, i - plain);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
      }
    }
    plain = i + 1;
  }
  out.append(utf8, plain, utf8.size() - plain);
  out += '"';
}

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// UTF-8 to UTF-16 units.
void ToUnits(std::string_view utf8, std::u16string& out) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = size == 1 ? lead : size == 2 ? lead & 0x1F : size == 3 ? lead & 0x0F : lead & 0x07;
    for (std::size_t k = 1; k < size && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += size;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
}

void AppendUnitAsUtf8(char16_t unit, std::string& out) {
  // Halves of a surrogate pair are never both in a key; a lone half stands as U+FFFD.
  const char32_t c = unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Sorts by pair (the upper half), keeping the order of each pair's messages,
// which come in ascending: two passes of a radix sort, 16 bits each.
void SortByPair(std::vector<std::uint64_t>& postings, std::vector<std::uint64_t>& scratch) {
  scratch.resize(postings.size());
  std::vector<std::uint32_t> counts(std::size_t{1} << 16);
  for (const int shift : {32, 48}) {
    std::fill(counts.begin(), counts.end(), 0);
    for (const std::uint64_t p : postings) ++counts[(p >> shift) & 0xFFFF];
    std::uint32_t at = 0;
    for (std::uint32_t& count : counts) at += std::exchange(count, at);
    for (const std::uint64_t p : postings) scratch[counts[(p >> shift) & 0xFFFF]++] = p;
    postings.swap(scratch);
  }
}

int ShardBits(std::uint32_t messages) {
  const std::uint64_t postings = std::uint64_t{messages} * kPairsPerMessage;
  int bits = 4;
  while (bits < 12 && (std::uint64_t{1} << bits) * kPostingsPerShard < postings) ++bits;
  return bits;
}

std::string ShardPath(std::string_view kind, std::uint32_t shard) {
  return "search/" + std::string(kind) + "/" + std::to_string(shard) + ".js";
}

}  // namespace

std::uint32_t SearchIndexBuilder::ShardOf(std::uint16_t first, int bits) {
  return (std::uint32_t{first} * 0x9E3779B1u) >> (32 - bits);
}

SearchIndexBuilder::SearchIndexBuilder(ArchiveFiles& files, ScratchFile& scratch,
                                       std::uint32_t messages)
    : files_(files),
      scratch_(scratch),
      bits_(ShardBits(messages)),
      buffers_(std::size_t{1} << bits_),
      lastMessage_(std::size_t{1} << bits_),
      chunks_(std::size_t{1} << bits_) {}

IoResult SearchIndexBuilder::Add(const SearchEntry& entry) {
  texts_ += texts_.empty() ? "tavSearch.texts(" + std::to_string(added_ / kTextsPerShard) + ",[\n"
                           : ",\n";
  texts_ += '[';
  texts_ += std::to_string(entry.section);
  for (const std::string_view text :
       {entry.stem, entry.subject, entry.name, entry.senderId, entry.date, entry.body}) {
    texts_ += ',';
    AppendJsonString(text, texts_);
  }
  texts_ += ']';
  // Every pair of adjacent units of subject, name, ID and body, each field
  // and line ended by a line feed, which no query holds.
  units_.clear();
  for (const std::string_view field : {entry.subject, entry.name, entry.senderId}) {
    ToUnits(field, units_);
    units_ += u'\n';
  }
  ToUnits(entry.body, units_);
  if (units_.back() != u'\n') units_ += u'\n';
  std::size_t tableSize = 64;
  while (tableSize < 2 * units_.size()) tableSize *= 2;
  if (seenKeys_.size() < tableSize) {
    seenKeys_.assign(tableSize, 0);
    seenStamps_.assign(tableSize, 0);
  }
  const std::uint32_t stamp = added_ + 1;
  const std::size_t mask = seenKeys_.size() - 1;
  for (std::size_t i = 0; i + 1 < units_.size(); ++i) {
    if (units_[i] == u'\n') continue;
    const std::uint32_t key = std::uint32_t{units_[i]} << 16 | units_[i + 1];
    std::size_t slot = (key * 0x9E3779B1u) & mask;
    while (seenStamps_[slot] == stamp && seenKeys_[slot] != key) slot = (slot + 1) & mask;
    if (seenStamps_[slot] == stamp) continue;  // this pair is in the message already
    seenStamps_[slot] = stamp;
    seenKeys_[slot] = key;
    const std::uint32_t shard = ShardOf(units_[i], bits_);
    // The pair, then how many messages on from the shard's previous posting:
    // five bytes for most postings instead of eight.
    std::string& buffer = buffers_[shard];
    buffer.append(reinterpret_cast<const char*>(&key), 4);
    AppendVarint(added_ - lastMessage_[shard], buffer);
    lastMessage_[shard] = added_;
    if (buffer.size() >= kBufferSize) SpillShard(shard);
  }
  ++added_;
  if (added_ % kTextsPerShard == 0) return FlushTexts();
  return IoResult::Success();
}

void SearchIndexBuilder::SpillShard(std::uint32_t shard) {
  std::string& buffer = buffers_[shard];
  chunks_[shard].push_back({scratch_.Append(buffer), static_cast<std::uint32_t>(buffer.size())});
  buffer.clear();
}

IoResult SearchIndexBuilder::FlushTexts() {
  if (texts_.empty()) return IoResult::Success();
  texts_ += "\n]);\n";
  const IoResult written = files_.Write(ShardPath("t", (added_ - 1) / kTextsPerShard), texts_);
  texts_.clear();
  return written;
}

IoResult SearchIndexBuilder::Finish(
    const std::vector<std::pair<std::string, std::string>>& sections) {
  if (IoResult flushed = FlushTexts(); !flushed.ok) return flushed;
  std::string bytes, script;
  std::vector<std::uint64_t> postings, sorted;  // pair << 32 | message
  for (std::uint32_t shard = 0; shard < buffers_.size(); ++shard) {
    postings.clear();
    std::uint32_t spilled = 0;  // the message of the posting read last
    auto take = [&postings, &spilled](std::string_view data) {
      for (std::size_t at = 0; at + 5 <= data.size();) {
        std::uint32_t key;
        std::memcpy(&key, data.data() + at, 4);
        at += 4;
        std::uint32_t step = 0;
        for (int shift = 0;; shift += 7) {
          const auto byte = static_cast<unsigned char>(data[at++]);
          step |= std::uint32_t{byte & 0x7Fu} << shift;
          if (byte < 0x80) break;
        }
        spilled += step;
        postings.push_back(std::uint64_t{key} << 32 | spilled);
      }
    };
    for (const Chunk& chunk : chunks_[shard]) {
      scratch_.Read(chunk.offset, chunk.size, bytes);
      take(bytes);
    }
    take(buffers_[shard]);
    std::string().swap(buffers_[shard]);
    if (!scratch_.ok()) return IoResult::Failure(scratch_.reason());
    SortByPair(postings, sorted);

    script = "tavSearch.pairs(" + std::to_string(shard) + ",{";
    std::string key;
    for (std::size_t i = 0; i < postings.size();) {
      const auto pair = static_cast<std::uint32_t>(postings[i] >> 32);
      key.clear();
      AppendUnitAsUtf8(static_cast<char16_t>(pair >> 16), key);
      AppendUnitAsUtf8(static_cast<char16_t>(pair & 0xFFFF), key);
      if (i > 0) script += ',';
      AppendJsonString(key, script);
      script += ":\"";
      std::uint32_t previous = 0;
      bool first = true;
      for (; i < postings.size() && postings[i] >> 32 == pair; ++i) {
        const auto message = static_cast<std::uint32_t>(postings[i]);
        // Differences, the first from -1, so every one is at least 1.
        AppendNumber(first ? message + 1 : message - previous, script);
        previous = message;
        first = false;
      }
      script += '"';
    }
    script += "});\n";
    if (IoResult written = files_.Write(ShardPath("p", shard), script); !written.ok) return written;
  }

  Json list = Json::array();
  for (const auto& [tag, name] : sections) list.push_back(Json::array({tag, name}));
  const Json meta = {{"pairBits", bits_},
                     {"texts", (added_ + kTextsPerShard - 1) / kTextsPerShard},
                     {"perText", kTextsPerShard},
                     {"messages", added_},
                     {"sections", list}};
  return files_.Write("search/meta.js", "tavSearch.meta(" + Dump(meta) + ");\n");
}

bool ReadTextShardBodies(std::string_view script, std::vector<std::string>& bodies) {
  const std::size_t open = script.find('[');
  const std::size_t close = script.rfind(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return false;
  }
  const Json entries = Json::parse(script.substr(open, close - open + 1), nullptr, false);
  if (!entries.is_array()) return false;
  for (const Json& entry : entries) {
    if (!entry.is_array() || entry.size() != 7 || !entry[6].is_string()) return false;
    bodies.push_back(entry[6].get<std::string>());
  }
  return true;
}

}  // namespace tav
