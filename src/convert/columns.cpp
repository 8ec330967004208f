#include "convert/columns.h"

#include <algorithm>

#include "platform/cp932.h"

namespace tav {

void Columns::Assign(std::string_view line) {
  line_ = line;
  // At most one entry per byte and one for the end; sized once and cut
  // back, so the loop stores without checking the capacity.
  starts_.resize(line.size() + 1);
  std::size_t* out = starts_.data();
  for (std::size_t i = 0; i < line.size(); i += CharSizeAt(line, i)) *out++ = i;
  *out++ = line.size();
  starts_.resize(static_cast<std::size_t>(out - starts_.data()));
}

std::string_view Columns::Mid(Col c, Col n) const {
  Col first = std::max<Col>(c, 1);
  Col last = std::min<Col>(c + n - 1, Count());  // inclusive
  if (n <= 0 || first > last) return {};
  const std::size_t begin = Offset(first);
  return line_.substr(begin, Offset(last + 1) - begin);
}

}  // namespace tav
