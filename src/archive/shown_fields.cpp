#include "archive/shown_fields.h"

#include "archive/display_text.h"

namespace tav {

ShownFields::ShownFields(const ArchiveModel& model) {
  using Field = ArchiveMessage::Field;
  ends_.reserve(model.messages.size() * kParts);
  for (const ArchiveMessage& message : model.messages) {
    AppendDisplayText(message.field(Field::Subject), text_);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    AppendDisplayText(TrimBlanks(message.field(Field::SenderName)), text_);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    AppendDisplayText(TrimBlanks(message.field(Field::SenderId)), text_);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    AppendDisplayText(message.field(Field::Number), text_);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
  }
}

std::string_view ShownFields::Subject(std::uint32_t message, bool standIn) const {
  const std::string_view text = Part(message, kSubject);
  return text.empty() && standIn ? "（件名なし）" : text;
}

std::string_view ShownFields::Name(std::uint32_t message, bool standIn) const {
  const std::string_view text = Part(message, kName);
  return text.empty() && standIn ? "（名前なし）" : text;
}

}  // namespace tav
