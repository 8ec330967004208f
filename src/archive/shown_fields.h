// The fields of every message as the pages show them, decoded once: a
// message's subject and sender appear on its page, its thread's page, its
// neighbours' pages and four indexes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_model.h"

namespace tav {

class ShownFields {
 public:
  explicit ShownFields(const ArchiveModel& model);

  // The subject; with `standIn`, "（件名なし）" for none.
  std::string_view Subject(std::uint32_t message, bool standIn = true) const;
  // The sender's name without the blanks around it; with `standIn`,
  // "（名前なし）" for none.
  std::string_view Name(std::uint32_t message, bool standIn = true) const;
  // The sender's ID without the blanks after it; may be empty.
  std::string_view Id(std::uint32_t message) const { return Part(message, kId); }
  std::string_view Number(std::uint32_t message) const { return Part(message, kNumber); }

 private:
  enum { kSubject, kName, kId, kNumber, kParts };
  std::string_view Part(std::uint32_t message, int part) const {
    const std::size_t at = std::size_t{message} * kParts + part;
    const std::uint32_t begin = at == 0 ? 0 : ends_[at - 1];
    return std::string_view(text_).substr(begin, ends_[at] - begin);
  }

  std::string text_;
  std::vector<std::uint32_t> ends_;
};

}  // namespace tav
