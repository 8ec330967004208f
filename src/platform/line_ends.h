// Where lines end, for logs and for tav.ini alike: CR LF, a lone CR and a
// lone LF each end a line, and a line end at the very end of a text adds no
// empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tav {

// Bit k set when bytes[k] is a CR or an LF, for the `count` (at most 64)
// bytes at `bytes`: a log is scanned 64 bytes at a time. Inline, as it runs
// once for every 64 bytes of a log.
inline std::uint64_t LineEndBits(const char* bytes, std::size_t count) {
#ifdef __SSE2__
  if (count == 64) {
    // Sixteen bytes at a time where the processor has SSE2 (every x86-64).
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t bits = 0;
    for (int part = 0; part < 4; ++part) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
      const int hits =
          _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
      bits |= static_cast<std::uint64_t>(static_cast<unsigned>(hits)) << (16 * part);
    }
    return bits;
  }
#endif
  std::uint64_t bits = 0;
  for (std::size_t k = 0; k < count; ++k) {
    if (bytes[k] == '\r' || bytes[k] == '\n') bits |= std::uint64_t{1} << k;
  }
  return bits;
}

// The size of the line end that starts at text[end] (a CR or an LF): 2 for CR LF, else 1.
inline std::size_t LineEndSize(std::string_view text, std::size_t end) {
  return text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
}

// The first `count` lines of `text`, without their line ends.
std::vector<std::string_view> FirstLines(std::string_view text, std::size_t count);

}  // namespace tav
