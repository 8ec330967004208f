#include "convert/columns.h"

#include <algorithm>

#include "platform/cp932.h"

namespace tav {

void Columns::Assign(std::string_view line) {
  line_ = line;
  starts_.clear();
  for (std::size_t i = 0; i < line.size(); i += CharSizeAt(line, i)) starts_.push_back(i);
  starts_.push_back(line.size());
}

std::string_view Columns::Mid(Col c, Col n) const {
  Col first = std::max<Col>(c, 1);
  Col last = std::min<Col>(c + n - 1, Count());  // inclusive
  if (n <= 0 || first > last) return {};
  const std::size_t begin = Offset(first);
  return line_.substr(begin, Offset(last + 1) - begin);
}

}  // namespace tav
