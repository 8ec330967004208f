#include "settings_check.h"

#include "fake_file_system.h"
#include "scripted_ui.h"
#include "platform/paths.h"
#include "global/program.h"

namespace tav::fuzz {

namespace {

const std::filesystem::path kProgramDir = "/prog";

struct Values {
  std::string defaultDir;
  std::int16_t dirNameLen = 0;
  std::string editorCommand;
  OutputForm output = OutputForm::Log;
  bool outputLineKept = false;
  bool operator==(const Values&) const = default;
};

Values ValuesOf(const Global& g) {
  return {g.DefaultDir, g.DirNameLen, g.EditorCommand, g.Output, g.OutputLineKept};
}

std::size_t Count(std::string_view text, char c) {
  std::size_t count = 0;
  for (const char x : text) count += x == c ? 1 : 0;
  return count;
}

}  // namespace

std::vector<std::string> RoundTripSettingsAndCheck(std::string_view input) {
  std::vector<std::string> findings;
  test::FakeFileSystem files;
  files.AddFolder(kProgramDir);
  test::ScriptedUi ui;
  ui.goOnUnanswered = true;
  Program program(ui, files);
  Global& g = program.global;
  g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
  g.ProgramDir = kProgramDir;
  g.SettingsPath = kProgramDir / "tav.ini";
  files.files[g.SettingsPath] = std::string(input);

  g.ReadSettings();
  const Values first = ValuesOf(g);
  if (!g.WriteSettings()) findings.push_back("the first write failed");
  const std::string written = files.files[g.SettingsPath];
  // Values never hold a line end, so the file is exactly three lines, or
  // four where the input had a fourth.
  const std::size_t lines = first.outputLineKept ? 4 : 3;
  if (Count(written, '\r') != lines || Count(written, '\n') != lines ||
      !written.ends_with("\r\n")) {
    findings.push_back("the written file is not three (or four) CR LF lines");
  }

  g.ReadSettings();
  if (!(ValuesOf(g) == first)) findings.push_back("values read back differ from the first read");
  if (!g.WriteSettings()) findings.push_back("the second write failed");
  if (files.files[g.SettingsPath] != written) findings.push_back("a second write changed the file");

  g.ResetSettings();
  if (files.files[g.SettingsPath] != "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n") {
    findings.push_back("a reset did not write the reset file");
  }
  if (!(ValuesOf(g) ==
        Values{"C:\\WINDOWS", 3, "C:\\WINDOWS\\write.exe ", OutputForm::Log, false})) {
    findings.push_back("a reset did not give the reset values");
  }
  if (!ui.boxes.empty()) findings.push_back("a message box was shown: " + ui.boxes[0].title);
  return findings;
}

}  // namespace tav::fuzz
