#include "archive/archive_manifest.h"

#include <nlohmann/json.hpp>

#include "archive/archive_names.h"

namespace tav {

namespace {

using Json = nlohmann::json;
constexpr int kFormat = 1;
constexpr char kHexDigits[] = "0123456789abcdef";

std::string Hex(std::string_view bytes) {
  std::string hex;
  hex.reserve(2 * bytes.size());
  for (const char c : bytes) {
    hex += kHexDigits[static_cast<unsigned char>(c) >> 4];
    hex += kHexDigits[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
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

std::string ManifestText(const ArchiveModel& model) {
  Json sections = Json::array();
  for (const ArchiveSection& section : model.sections) {
    sections.push_back({{"name", section.folderName}, {"threads", section.threadStems}});
  }
  Json messages = Json::array();
  for (const ArchiveMessage& message : model.messages) {
    messages.push_back(Json::array({message.section, message.stem, Hex(message.raw), message.ends,
                                    message.lastRead, message.parent}));
  }
  const Json manifest = {{"format", kFormat},
                         {"readings", model.readings},
                         {"sections", std::move(sections)},
                         {"messages", std::move(messages)}};
  return manifest.dump(0, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool ReadManifest(std::string_view text, ArchiveModel& model, std::string& why) {
  const Json manifest = Json::parse(text, nullptr, false);
  why = "not a manifest of this version";
  if (!manifest.is_object() || manifest.value("format", 0) != kFormat) return false;
  try {
    model.readings = manifest.at("readings").get<std::uint64_t>();
    for (const Json& section : manifest.at("sections")) {
      const std::string name = section.at("name").get<std::string>();
      model.sections.push_back(
          {name, SectionTag(name), section.at("threads").get<std::vector<std::string>>()});
    }
    for (const Json& entry : manifest.at("messages")) {
      ArchiveMessage message;
      message.section = entry.at(0).get<std::uint32_t>();
      message.stem = entry.at(1).get<std::string>();
      message.ends = entry.at(3).get<decltype(message.ends)>();
      message.lastRead = entry.at(4).get<std::uint64_t>();
      message.parent = entry.at(5).get<std::int32_t>();
      const bool sound = FromHex(entry.at(2).get<std::string>(), message.raw) &&
                         message.section < model.sections.size() &&
                         message.ends.back() == message.raw.size() && message.parent >= kNoMessage;
      for (std::size_t f = 1; f < message.ends.size() && sound; ++f) {
        if (message.ends[f] < message.ends[f - 1]) return false;
      }
      if (!sound) return false;
      model.AddPrevious(std::move(message));
    }
  } catch (const Json::exception& error) {
    why = std::string("damaged manifest: ") + error.what();
    return false;
  }
  for (const ArchiveMessage& message : model.messages) {
    if (message.parent >= static_cast<std::int64_t>(model.messages.size())) return false;
  }
  return true;
}

}  // namespace tav
