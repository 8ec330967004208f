// The reference conversion: a log converted in-process exactly as tavconv
// converts it, with every file write recorded in order, and the golden
// figures that say what that sequence must be.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "digest.h"
#include "process_runs.h"

namespace tav::bench {

// Converts `log` as `tavconv [OPTIONS] LOG` does, in memory, and records
// every write (the baseline's plan); `output` is the digest of the folder the
// files leave behind. Errors and notices that tavconv would print go to
// `console`.
BaselinePlan ConvertAndRecord(const std::filesystem::path& log, std::string& console,
                              Digest& output, const std::vector<std::string>& options = {});

// Every write of `plan` in order (a message number written twice counts
// twice): paths relative to the log's folder, sizes and bytes, and what the
// converter printed.
Digest DigestWrites(const BaselinePlan& plan, const std::string& console);

// Golden figures, one "name files=N bytes=N fnv=H" line per log.
using GoldenFigures = std::map<std::string, std::string>;
GoldenFigures ReadGolden(const std::filesystem::path& file);
void WriteGolden(const std::filesystem::path& file, const GoldenFigures& golden);

}  // namespace tav::bench
