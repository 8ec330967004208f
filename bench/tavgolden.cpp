// tavgolden: checks that the converter still writes, byte for byte, what
// the golden figures recorded from an earlier build say, over the generated
// logs; or records those figures.
//
// The check converts each log in-process (every write is seen, also a file
// that a later message of the same number replaces), then runs the tavconv
// program on it and compares the folder it leaves with the in-process one.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_logs.h"
#include "digest.h"
#include "golden.h"
#include "process_runs.h"

namespace fs = std::filesystem;
using namespace tav::bench;

namespace {

constexpr const char* kUsage =
    "usage: tavgolden [--record] [--logs a,b,...] [--golden FILE] [--work DIR] [--tavconv PATH]\n"
    "\n"
    "Compares what the converter writes for each generated log with the golden\n"
    "figures (default logs: small, oddmail, oddforum, smokemail, smokeforum; all\n"
    "logs with --record, which writes the figures instead). With --tavconv, also\n"
    "runs that program on each log and compares the folder it leaves.\n";

}  // namespace

int main(int argc, char** argv) {
  bool record = false;
  std::vector<std::string> logs;
  fs::path golden = TAV_GOLDEN_PATH;
  fs::path work = "/dev/shm/tavgolden";
  std::string tavconv;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--record") {
      record = true;
    } else if (arg == "--logs" && hasValue) {
      std::stringstream list(argv[++i]);
      std::string name;
      while (std::getline(list, name, ',')) logs.push_back(name);
    } else if (arg == "--golden" && hasValue) {
      golden = fs::absolute(argv[++i]);
    } else if (arg == "--work" && hasValue) {
      work = fs::absolute(argv[++i]);
    } else if (arg == "--tavconv" && hasValue) {
      tavconv = fs::absolute(argv[++i]).string();
    } else {
      std::cerr << (arg == "--help" ? "" : "tavgolden: unexpected argument " + arg + "\n")
                << kUsage;
      return arg == "--help" ? 0 : 2;
    }
  }
  if (logs.empty()) {
    for (const NamedLog& log : NamedLogs()) {
      if (record || (log.name != "medium" && log.name != "large")) logs.emplace_back(log.name);
    }
  }

  try {
    Spawner spawner;  // forked while this process is small
    GoldenFigures figures = ReadGolden(golden);
    int failures = 0;
    for (const std::string& name : logs) {
      const auto named = FindLog(name);
      if (!named) throw std::runtime_error("no log named " + name);
      const fs::path folder = work / name;
      fs::remove_all(folder);
      fs::create_directories(folder);
      const fs::path log = folder / (name + ".log");
      {
        const std::string text = GenerateLog(named->recipe);
        std::ofstream(log, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
      }
      std::string printed;
      Digest inProcess;
      BaselinePlan plan = ConvertAndRecord(log, printed, inProcess);
      const std::string digest = ToText(DigestWrites(plan, printed), "writes");

      if (record) {
        figures[name] = digest;
        std::printf("%-10s recorded %s\n", name.c_str(), digest.c_str());
      } else {
        const auto found = figures.find(name);
        if (found == figures.end()) {
          std::printf("%-10s FAILED: no golden figures\n", name.c_str());
          ++failures;
        } else if (found->second != digest) {
          std::printf("%-10s FAILED: %s, golden %s\n", name.c_str(), digest.c_str(),
                      found->second.c_str());
          ++failures;
        } else {
          std::printf("%-10s ok: %s\n", name.c_str(), digest.c_str());
        }
      }

      if (!tavconv.empty() && !plan.outDir.empty()) {
        fs::remove_all(plan.outDir);
        const RunResult run = spawner.Run({tavconv, log.string()}, folder / "tavconv-output.txt");
        const Digest program = DigestFolder(plan.outDir);
        if (run.exitStatus < 0 || !(program == inProcess)) {
          std::printf("%-10s FAILED: tavconv left %s, in-process %s\n", name.c_str(),
                      ToText(program).c_str(), ToText(inProcess).c_str());
          ++failures;
        } else {
          std::printf("%-10s ok: tavconv left the same %s\n", name.c_str(),
                      ToText(program).c_str());
        }
      }
      fs::remove_all(folder);
    }
    if (record) WriteGolden(golden, figures);
    std::printf("%zu passed, %d failed\n", logs.size() - static_cast<std::size_t>(failures),
                failures);
    return failures == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "tavgolden: " << e.what() << "\n";
    return 1;
  }
}
