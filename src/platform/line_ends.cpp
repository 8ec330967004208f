#include "platform/line_ends.h"

namespace tav {

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
