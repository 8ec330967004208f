// The sample logs convert to exactly the files recorded in tests/golden.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/native_file_system.h"
#include "support/temp_dir.h"
#include "tavconv.h"

namespace tav {
namespace {

const std::filesystem::path kSource = TAV_SOURCE_DIR;

TEST(Golden, SampleLogsConvertToTheRecordedFiles) {
  test::TempDir dir;
  std::vector<std::filesystem::path> args;
  for (const char* log : {"mail0412.log", "fbbs0412.log", "frpg0413.log"}) {
    std::filesystem::copy_file(kSource / "samples" / log, dir.path() / log);
    args.push_back(dir.path() / log);
  }
  std::ostringstream out, errors;
  NativeFileSystem files;
  ASSERT_EQ(RunTavconv(args, out, errors, files), kExitOk) << errors.str();

  const std::filesystem::path golden = kSource / "tests" / "golden" / "samples";
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(golden)) {
    if (!entry.is_regular_file()) continue;
    const auto relative = std::filesystem::relative(entry.path(), golden);
    EXPECT_EQ(test::ReadFile(dir.path() / relative), test::ReadFile(entry.path())) << relative;
    ++compared;
  }
  EXPECT_EQ(compared, 15);
  for (const char* folder : {"mai", "fbb", "frp"}) {
    int written = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(dir.path() / folder)) {
      ++written;
    }
    EXPECT_EQ(written, std::distance(std::filesystem::directory_iterator(golden / folder),
                                     std::filesystem::directory_iterator()))
        << folder;
  }
}

}  // namespace
}  // namespace tav
