// The main window's conversion run: every selected log of `File1`, in list
// order, with its confirmations, status texts, beeps and message boxes, on
// the per-log conversion that the command-line converter shares.
#pragma once

#include <functional>
#include <vector>

#include "convert/log_converter.h"
#include "convert/log_report.h"
#include "global/global.h"
#include "global/run_writer.h"

namespace tav {

class ConversionRun {
 public:
  explicit ConversionRun(Global& global)
      : g(global), converter(global.files) {}
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // Every selected log of `File1`, in list order, in the form `Output` names.
  void RunConversion();

  // Makes the run's writer (MakeRunWriter); a test may put its own in place.
  std::function<RunWriter(OutputForm, FileSystem&, const std::filesystem::path&)> makeWriter =
      MakeRunWriter;

 private:
  // The folder-name length from the number box; false (after telling the
  // user) when the box holds no whole number from 1 to 32767.
  bool TakeDirNameLen();
  // Tells the user what went wrong with the log in hand, if anything;
  // false when the user chose to stop the run. In the standard forms the
  // log's notices are kept for the end of the run.
  bool ReportLog(const LogResult& result);

  Global& g;
  LogConverter converter;
  std::vector<LogEvent> notices_;
};

}  // namespace tav
