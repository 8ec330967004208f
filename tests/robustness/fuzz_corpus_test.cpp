// Every seed of the fuzz targets and every input they ever found, replayed
// through the same checks in each build.
#include <gtest/gtest.h>

#include <filesystem>

#include "log_check.h"
#include "settings_check.h"
#include "support/temp_dir.h"

namespace tav {
namespace {

using Check = std::vector<std::string> (*)(std::string_view);

// Replays the files of fuzz/<folder>/<target>/; returns how many there were.
std::size_t Replay(const char* folder, const char* target, Check check) {
  const std::filesystem::path dir = std::filesystem::path(TAV_FUZZ_DIR) / folder / target;
  std::size_t count = 0;
  if (!std::filesystem::exists(dir)) return 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    ++count;
    for (const std::string& finding : check(test::ReadFile(entry.path()))) {
      ADD_FAILURE() << entry.path().filename() << ": " << finding;
    }
  }
  return count;
}

TEST(FuzzCorpus, LogSeedsAndFindingsKeepEveryRule) {
  EXPECT_GE(Replay("corpus", "log", fuzz::ConvertLogAndCheck), 30u);
  Replay("regressions", "log", fuzz::ConvertLogAndCheck);
}

TEST(FuzzCorpus, SettingsSeedsAndFindingsSurviveARoundTrip) {
  EXPECT_GE(Replay("corpus", "settings", fuzz::RoundTripSettingsAndCheck), 10u);
  Replay("regressions", "settings", fuzz::RoundTripSettingsAndCheck);
}

}  // namespace
}  // namespace tav
