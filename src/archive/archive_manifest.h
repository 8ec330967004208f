// The archive's record of itself (.tav-archive/manifest.json), which the
// next run reads: the sections with every thread page they have had, and
// every message's fields as the log gave them, stem, last reading and
// parent. The bodies are read back from the search texts.
#pragma once

#include <string>
#include <string_view>

#include "archive/archive_model.h"

namespace tav {

std::string ManifestText(const ArchiveModel& model);

// Fills an empty `model`; false (with `why`) when `text` is no manifest of
// this format.
bool ReadManifest(std::string_view text, ArchiveModel& model, std::string& why);

}  // namespace tav
