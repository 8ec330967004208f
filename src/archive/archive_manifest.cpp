#include "archive/archive_manifest.h"

#include <nlohmann/json.hpp>

#include "archive/archive_names.h"

namespace tav {

namespace {

using Json = nlohmann::json;
constexpr int kFormat = 1;
constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string_view bytes, std::string& out) {
  for (const char c : bytes) {
    out += kHexDigits[static_cast<unsigned char>(c) >> 4];
    out += kHexDigits[static_cast<unsigned char>(c) & 0xF];
  }
}

bool FromHex(std::string_view hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  auto value = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  };
  bytes.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = value(hex[i]), low = value(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high << 4 | low);
  }
  return true;
}

}  // namespace

// Written line by line rather than as a document: a document of a large
// archive's messages would take several times the memory of its text.
std::string ManifestText(const ArchiveModel& model) {
  std::string text = "{\"format\":" + std::to_string(kFormat) + ",\n\"sections\":[";
  for (std::size_t s = 0; s < model.sections.size(); ++s) {
    const ArchiveSection& section = model.sections[s];
    text += s == 0 ? "\n" : ",\n";
    text += Json({{"name", section.folderName}, {"threads", section.threadStems}})
                .dump(-1, ' ', false, Json::error_handler_t::replace);
  }
  text += "],\n\"messages\":[";
  for (std::size_t m = 0; m < model.messages.size(); ++m) {
    const ArchiveMessage& message = model.messages[m];
    text += m == 0 ? "\n[" : ",\n[";
    text += std::to_string(message.section);
    text += ",\"";
    AppendHex(message.stored(), text);
    text += "\",[";
    for (std::size_t f = 0; f < message.ends.size(); ++f) {
      if (f > 0) text += ',';
      text += std::to_string(message.ends[f]);
    }
    text += "],";
    text += std::to_string(message.parent);
    text += ']';
  }
  text += "]}\n";
  return text;
}

bool ReadManifest(std::string_view text, ArchiveModel& model, std::string& why) {
  const Json manifest = Json::parse(text, nullptr, false);
  why = "not a manifest of this version";
  if (!manifest.is_object() || manifest.value("format", 0) != kFormat) return false;
  try {
    for (const Json& section : manifest.at("sections")) {
      const std::string name = section.at("name").get<std::string>();
      model.sections.push_back(
          {name, SectionTag(name), section.at("threads").get<std::vector<std::string>>()});
    }
    const Json& messages = manifest.at("messages");
    std::string stored;
    for (const Json& entry : messages) {
      const auto section = entry.at(0).get<std::uint32_t>();
      const auto ends = entry.at(2).get<std::array<std::uint32_t, ArchiveMessage::kFields + 1>>();
      const auto parent = entry.at(3).get<std::int64_t>();
      bool sound = FromHex(entry.at(1).get<std::string>(), stored) &&
                   section < model.sections.size() && ends.back() == stored.size() &&
                   parent >= kNoMessage && parent < static_cast<std::int64_t>(messages.size());
      for (std::size_t f = 1; f < ends.size() && sound; ++f) sound = ends[f] >= ends[f - 1];
      if (!sound) return false;
      model.AddPrevious(section, stored, ends, static_cast<std::int32_t>(parent));
    }
  } catch (const Json::exception& error) {
    why = std::string("damaged: ") + error.what();
    return false;
  }
  return true;
}

}  // namespace tav
