#include "convert/line_ends.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tav {

std::uint64_t LineEndBits(const char* bytes, std::size_t count) {
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

std::vector<std::string_view> FirstLines(std::string_view text, std::size_t count) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < text.size() && lines.size() < count) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + LineEndSize(text, end);
  }
  return lines;
}

}  // namespace tav
