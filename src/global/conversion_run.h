// The main window's conversion run: every selected log of `File1`, in list
// order, with its confirmations, status texts, beeps and message boxes, on
// the per-log conversion that the command-line converter shares.
#pragma once

#include "convert/eml_writer.h"
#include "convert/log_converter.h"
#include "global/global.h"

namespace tav {

class ConversionRun {
 public:
  explicit ConversionRun(Global& global)
      : g(global), converter(global.files) {}
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // Every selected log of `File1`, in list order.
  void RunConversion();

 private:
  // The folder-name length from the number box; false (after telling the
  // user) when the box holds no whole number from 1 to 32767.
  bool TakeDirNameLen();
  // Tells the user what went wrong with the log in hand, if anything;
  // false when the user chose to stop the run.
  bool ReportLog(const LogResult& result);

  Global& g;
  LogConverter converter;
};

}  // namespace tav
