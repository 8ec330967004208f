// Generates large session logs like the ones the terminal program captured:
// login noise, menus and prompts around mail or forum messages, in code
// page 932. The same recipe gives the same bytes on every system and with
// every standard library, so logs can be made again instead of stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tav::bench {

enum class LogKind {
  Mail,   // mail sessions: width-3 header lines ("001/003"), replies "001へのコメント"
  Forum,  // forum sessions: width-5 header lines ("00231/00234"), title listings, re-reads
};

struct LogRecipe {
  LogKind kind = LogKind::Forum;
  std::uint64_t seed = 1;
  // Sessions are added until the log holds at least this many lines and
  // bytes; the log always ends with a whole session.
  std::size_t minLines = 0;
  std::size_t minBytes = 0;
  // Also the rare and broken shapes a converter must survive: lone CR and LF
  // line ends, bytes that are no code page 932 character, very long lines,
  // "eof" lines, message numbers that cannot name a file, odd dates, header
  // lines without fields or without date lines, and a last line without a
  // line end.
  bool awkward = false;
};

// The log for `recipe`, in code page 932.
std::string GenerateLog(const LogRecipe& recipe);

// Lines of `log` as the converter counts them (CR LF, CR and LF each end a
// line; a line end at the very end adds no empty line).
std::size_t CountLines(const std::string& log);

}  // namespace tav::bench
