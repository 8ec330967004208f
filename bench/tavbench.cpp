// tavbench: measures tavconv against the least work a conversion needs, and
// checks that its output is still what the golden figures say.
//
// For each log: generate it; convert it once in-process with a file system
// that records every file written (the baseline's plan and the reference
// output); then alternately run tavconv and the baseline, several times
// each; then time loading and screening alone, --mime against its baseline,
// and --mbox and --maildir, each with and without its syncs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "bench_logs.h"
#include "convert/log_converter.h"
#include "digest.h"
#include "golden.h"
#include "log_generator.h"
#include "platform/posix_file_system.h"
#include "process_runs.h"
#include "tavconv.h"

namespace fs = std::filesystem;
using namespace tav;
using namespace tav::bench;

namespace {

constexpr const char* kUsage =
    "usage: tavbench [options]\n"
    "\n"
    "  --tavconv PATH      the converter to measure (default: the one built with tavbench)\n"
    "  --unsynced PATH     the same converter without its syncs (default: tavconv_unsynced,\n"
    "                      built with tavbench)\n"
    "  --logs a,b,...      logs to use (default small,medium,large; also oddmail, oddforum,\n"
    "                      smokemail, smokeforum)\n"
    "  --reps N            timed runs of each program per log (default 5)\n"
    "  --work DIR          folder for logs and output, on tmpfs (default /dev/shm/tavbench)\n"
    "  --disk DIR          also measure in DIR, on disk, for information\n"
    "  --disk-logs a,b,... logs to measure on disk (default small: creating files on\n"
    "                      these machines' disks is slow and varies widely)\n"
    "  --disk-reps N       timed runs per program on disk (default 3)\n"
    "  --golden FILE       recorded output figures to compare with (default: the source's)\n"
    "  --smoke             tiny logs, two runs each: shows that the benchmark works\n"
    "  --no-browser        leave out the timing of the web archive's search in Chromium\n";

struct Options {
  std::string tavconv = TAV_TAVCONV_PATH;
  std::string unsynced = TAV_UNSYNCED_PATH;
  std::vector<std::string> logs = {"small", "medium", "large"};
  int reps = 5;
  fs::path work = "/dev/shm/tavbench";
  fs::path disk;
  std::vector<std::string> diskLogs = {"small"};
  int diskReps = 3;
  fs::path golden = TAV_GOLDEN_PATH;
  bool browser = true;
};

// --- Figures ---

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
double Min(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

constexpr double kMB = 1e6;

// Seconds for ScanLog (reading, splitting, screening and the confirmation
// pass), in this process. Run in a process of its own (--scan-once), so that
// every run pays for its memory as a real conversion does.
struct ScanTimes {
  double seconds = 0;
  double cpuSeconds = 0;
};

double CpuSecondsSoFar() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

ScanTimes TimeScan(const fs::path& log) {
  PosixFileSystem files;
  LogConverter converter(files);
  const double cpuStart = CpuSecondsSoFar();
  const auto start = std::chrono::steady_clock::now();
  const LogScan scan = converter.ScanLog(log);
  ScanTimes times;
  times.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  times.cpuSeconds = CpuSecondsSoFar() - cpuStart;
  if (!scan.read.ok) {
    throw std::runtime_error("cannot read " + log.string() + ": " + scan.read.reason);
  }
  if (scan.headerWidth != 3 && scan.headerWidth != 5) {
    throw std::runtime_error("scan found no header line in " + log.string());
  }
  return times;
}

struct LogFigures {
  std::string name;
  std::string place;  // "tmpfs" or "disk"
  std::uint64_t bytes = 0;
  std::size_t lines = 0;
  std::size_t messages = 0;
  // Wall times, and the processes' own CPU times: on a shared machine the
  // wall time also holds the time other programs had the processor.
  std::vector<double> tavconv, baseline, ratios, scan;
  std::vector<double> tavconvCpu, baselineCpu, cpuRatios, scanCpu;
  long peakRssKb = 0;
  // The standard forms: --mime against a baseline that writes its files;
  // --mbox and --maildir against the default output of the same log, and
  // each against itself without its syncs (tavconv_unsynced), run by run.
  std::vector<double> mime, mimeBaseline, mimeRatios;
  std::vector<double> mbox, mboxUnsynced, mboxSyncCosts;
  std::vector<double> maildir, maildirUnsynced, maildirSyncCosts;
  // The web archive (--html) against the default output, and its search in
  // headless Chromium: milliseconds from the last key to the first result.
  std::vector<double> html;
  long htmlPeakRssKb = 0;
  std::vector<std::pair<std::string, double>> searchMs;  // -1: not found
};

constexpr double kRatioLimit = 1.05;
constexpr double kMimeRatioLimit = 1.25;
constexpr double kMboxShareLimit = 0.2;
constexpr double kMboxSpeedLimit = 300;  // MB of log a second
constexpr double kMaildirShareLimit = 1.3;
// The mailboxes are judged on logs of a million lines and more, on tmpfs:
// on a small log the start of the program weighs as much as the messages.
constexpr std::size_t kStoresJudgedFrom = 1'000'000;  // lines

const char* Verdict(const LogFigures& f, bool met) {
  if (f.lines < kStoresJudgedFrom || f.place != "tmpfs") return "for information";
  return met ? "met" : "NOT MET";
}

// "+12.3 ms (+4%)": what the syncs add, run by run, to the time without them.
std::string SyncCost(const std::vector<double>& costs, const std::vector<double>& unsynced) {
  char text[64];
  std::snprintf(text, sizeof text, "%+.1f ms (%+.0f%%)", Median(costs) * 1e3,
                100 * Median(costs) / Median(unsynced));
  return text;
}
constexpr double kHtmlRatioLimit = 3.0;
constexpr double kHtmlBytesPerMessage = 512;  // memory beyond the default output's
constexpr double kSearchLimitMs = 1000;

// Phrases of the generated logs' text, typed into the archive's search.
const std::vector<std::string> kSearchPhrases = {"はじめまして", "ケーブルは新品です", "ＳＩＭＭの向き"};

void PrintFigures(const LogFigures& f) {
  const double mb = static_cast<double>(f.bytes) / kMB;
  const double medianT = Median(f.tavconv);
  const double limitMb = 1.5 * mb + 16;
  const double peakMb = static_cast<double>(f.peakRssKb) * 1024 / kMB;
  std::printf(
      "  tavconv   min %8.1f ms  median %8.1f ms  %7.1f MB/s  %9.0f msg/s  peak %6.1f MB"
      " (limit %.1f MB: %s)\n",
      Min(f.tavconv) * 1e3, medianT * 1e3, mb / medianT, static_cast<double>(f.messages) / medianT,
      peakMb, limitMb, peakMb <= limitMb ? "met" : "NOT MET");
  std::printf("  baseline  min %8.1f ms  median %8.1f ms  %7.1f MB/s  %9.0f msg/s\n",
              Min(f.baseline) * 1e3, Median(f.baseline) * 1e3, mb / Median(f.baseline),
              static_cast<double>(f.messages) / Median(f.baseline));
  const double ratio = Median(f.ratios);
  std::printf("  ratio     median of run-by-run ratios %.3f  (min-to-min %.3f; limit %.2f: %s)\n",
              ratio, Min(f.tavconv) / Min(f.baseline), kRatioLimit,
              ratio <= kRatioLimit ? "met" : "NOT MET");
  std::printf("  CPU time  tavconv median %.1f ms, baseline median %.1f ms, ratio %.3f\n",
              Median(f.tavconvCpu) * 1e3, Median(f.baselineCpu) * 1e3, Median(f.cpuRatios));
  if (!f.scan.empty()) {
    const double scanMbs = mb / Median(f.scan);
    std::printf(
        "  scan      median %7.1f ms  %7.1f MB/s  (best %.1f MB/s; limit 500 MB/s: %s);"
        " on CPU time %.1f MB/s\n",
        Median(f.scan) * 1e3, scanMbs, mb / Min(f.scan), scanMbs >= 500 ? "met" : "NOT MET",
        mb / Median(f.scanCpu));
  }
  if (!f.mime.empty()) {
    const double mimeRatio = Median(f.mimeRatios);
    std::printf("  --mime    median %8.1f ms, its baseline %8.1f ms, ratio %.3f (limit %.2f: %s)\n",
                Median(f.mime) * 1e3, Median(f.mimeBaseline) * 1e3, mimeRatio, kMimeRatioLimit,
                mimeRatio <= kMimeRatioLimit ? "met" : "NOT MET");
  }
  if (!f.mbox.empty()) {
    const double speed = mb / Median(f.mbox);
    const double share = Median(f.mbox) / medianT;
    std::printf(
        "  --mbox    median %8.1f ms, %7.1f MB/s (limit %.0f: %s), %.2f of the default"
        " output's time (limit %.2f: %s)\n",
        Median(f.mbox) * 1e3, speed, kMboxSpeedLimit, Verdict(f, speed >= kMboxSpeedLimit), share,
        kMboxShareLimit, Verdict(f, share <= kMboxShareLimit));
    const double maildirShare = Median(f.maildir) / medianT;
    std::printf("  --maildir median %8.1f ms, %.2f of the default output's time (limit %.2f: %s)\n",
                Median(f.maildir) * 1e3, maildirShare, kMaildirShareLimit,
                Verdict(f, maildirShare <= kMaildirShareLimit));
    std::printf(
        "  syncs     --maildir %s, --mbox %s (with syncs less without, run by run;"
        " without: %.1f ms and %.1f ms)\n",
        SyncCost(f.maildirSyncCosts, f.maildirUnsynced).c_str(),
        SyncCost(f.mboxSyncCosts, f.mboxUnsynced).c_str(), Median(f.maildirUnsynced) * 1e3,
        Median(f.mboxUnsynced) * 1e3);
  }
  if (!f.html.empty()) {
    const double htmlRatio = Median(f.html) / medianT;
    const double limitKb = static_cast<double>(f.peakRssKb) +
                           kHtmlBytesPerMessage * static_cast<double>(f.messages) / 1024;
    const char* verdict = f.lines < kStoresJudgedFrom     ? "for information"
                          : htmlRatio <= kHtmlRatioLimit ? "met"
                                                     : "NOT MET";
    std::printf("  --html    median %8.1f ms, %.2f times the default output's (limit %.1f: %s);"
                " peak %.1f MB (limit %.1f MB: %s)\n",
                Median(f.html) * 1e3, htmlRatio, kHtmlRatioLimit, verdict,
                static_cast<double>(f.htmlPeakRssKb) / 1024, limitKb / 1024,
                f.lines < kStoresJudgedFrom                        ? "for information"
                : static_cast<double>(f.htmlPeakRssKb) <= limitKb ? "met"
                                                                  : "NOT MET");
  }
  for (const auto& [phrase, ms] : f.searchMs) {
    std::printf("  search    \"%s\": %s\n", phrase.c_str(),
                ms < 0 ? "NOT FOUND"
                       : (std::to_string(static_cast<long>(ms)) + " ms to the first result (limit " +
                          std::to_string(static_cast<long>(kSearchLimitMs)) + " ms: " +
                          (ms <= kSearchLimitMs ? "met)" : "NOT MET)"))
                             .c_str());
  }
}

class Bench {
 public:
  Bench(const Options& options, std::string self) : options_(options), self_(std::move(self)) {}

  // Returns false when an output differs from the reference or the golden figures.
  bool Run() {
    golden_ = ReadGolden(options_.golden);
    for (const std::string& name : options_.logs) {
      const auto named = FindLog(name);
      if (!named) throw std::runtime_error("no log named " + name);
      Measure(*named, options_.work, "tmpfs", options_.reps, true);
      const auto& diskLogs = options_.diskLogs;
      if (!options_.disk.empty() &&
          std::find(diskLogs.begin(), diskLogs.end(), name) != diskLogs.end()) {
        Measure(*named, options_.disk, "disk", options_.diskReps, false);
      }
    }
    PrintSummary();
    return ok_;
  }

 private:
  void Measure(const NamedLog& named, const fs::path& root, const std::string& place, int reps,
               bool scan) {
    const std::string name(named.name);
    const fs::path folder = root / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path log = folder / (name + ".log");
    LogFigures f;
    f.name = name;
    f.place = place;
    {
      const std::string text = GenerateLog(named.recipe);
      std::ofstream(log, std::ios::binary)
          .write(text.data(), static_cast<std::streamsize>(text.size()));
      f.bytes = text.size();
      f.lines = CountLines(text);
    }
    const fs::path console = folder / "tavconv-output.txt";

    std::printf("\n%s (%s): %.1f MB, %zu lines\n", name.c_str(), place.c_str(),
                static_cast<double>(f.bytes) / kMB, f.lines);
    std::fflush(stdout);

    // The reference: the files the converter writes, recorded in order.
    std::string printed;
    Digest reference;
    BaselinePlan plan = ConvertAndRecord(log, printed, reference);
    if (plan.outDir.empty()) throw std::runtime_error(name + ": no output folder");
    const fs::path outDir = plan.outDir;
    f.messages = plan.writes.size();
    std::printf("  %zu messages written into %zu files; output %s\n", f.messages, reference.files,
                CompareWithGolden(name, ToText(DigestWrites(plan, printed), "writes")).c_str());

    for (int rep = 0; rep < reps; ++rep) {
      double tavconvSeconds = 0, baselineSeconds = 0, tavconvCpu = 0, baselineCpu = 0;
      // Alternate which program goes first, so neither always runs on a
      // warmer or a colder machine.
      for (int turn = 0; turn < 2; ++turn) {
        fs::remove_all(outDir);
        if (place == "disk") ::sync();
        if ((turn == 0) == (rep % 2 == 0)) {
          const RunResult run = spawner_.Run({options_.tavconv, log.string()}, console);
          if (run.exitStatus < 0) throw std::runtime_error("tavconv did not finish on " + name);
          tavconvSeconds = run.seconds;
          tavconvCpu = run.cpuSeconds;
          f.peakRssKb = std::max(f.peakRssKb, run.peakRssKb);
          if (rep == 0) {
            // The program under test must write exactly the reference.
            const Digest written = DigestFolder(outDir);
            if (!(written == reference)) {
              std::printf("  tavconv's output DIFFERS from the in-process reference: %s\n",
                          ToText(written).c_str());
              ok_ = false;
            }
          }
        } else {
          const RunResult run = RunBaseline(plan);
          if (run.exitStatus != 0) throw std::runtime_error("the baseline failed on " + name);
          baselineSeconds = run.seconds;
          baselineCpu = run.cpuSeconds;
        }
      }
      f.tavconv.push_back(tavconvSeconds);
      f.baseline.push_back(baselineSeconds);
      f.ratios.push_back(tavconvSeconds / baselineSeconds);
      f.tavconvCpu.push_back(tavconvCpu);
      f.baselineCpu.push_back(baselineCpu);
      f.cpuRatios.push_back(tavconvCpu / baselineCpu);
    }
    fs::remove_all(outDir);
    plan = {};
    if (scan) {
      const fs::path timing = folder / "scan-seconds.txt";
      for (int rep = 0; rep < std::max(reps, 5); ++rep) {
        const RunResult run = spawner_.Run({self_, "--scan-once", log.string()}, timing);
        double seconds = 0, cpuSeconds = 0;
        if (run.exitStatus != 0 || !(std::ifstream(timing) >> seconds >> cpuSeconds)) {
          throw std::runtime_error("the scan failed on " + name);
        }
        f.scan.push_back(seconds);
        f.scanCpu.push_back(cpuSeconds);
      }
      MeasureForms(log, folder, reps, f);
      MeasureHtml(log, folder, reps, f);
    }
    MeasureStores(log, folder, place, reps, f);
    PrintFigures(f);
    std::fflush(stdout);
    fs::remove_all(folder);
    figures_.push_back(f);
  }

  // `tavconv --mime` against a baseline that writes the same files.
  void MeasureForms(const fs::path& log, const fs::path& folder, int reps, LogFigures& f) {
    std::string printed;
    Digest reference;
    const BaselinePlan plan = ConvertAndRecord(log, printed, reference, {"--mime"});
    const fs::path outDir = plan.outDir;
    const fs::path console = folder / "tavconv-output.txt";
    for (int rep = 0; rep < reps; ++rep) {
      double mimeSeconds = 0, baselineSeconds = 0;
      for (int turn = 0; turn < 2; ++turn) {
        fs::remove_all(outDir);
        if ((turn == 0) == (rep % 2 == 0)) {
          const RunResult run = spawner_.Run({options_.tavconv, "--mime", log.string()}, console);
          if (run.exitStatus < 0) throw std::runtime_error("tavconv --mime did not finish");
          mimeSeconds = run.seconds;
          if (rep == 0 && !(DigestFolder(outDir) == reference)) {
            std::printf("  tavconv --mime's output DIFFERS from the in-process reference\n");
            ok_ = false;
          }
        } else {
          const RunResult run = RunBaseline(plan);
          if (run.exitStatus != 0) throw std::runtime_error("the --mime baseline failed");
          baselineSeconds = run.seconds;
        }
      }
      f.mime.push_back(mimeSeconds);
      f.mimeBaseline.push_back(baselineSeconds);
      f.mimeRatios.push_back(mimeSeconds / baselineSeconds);
    }
    fs::remove_all(outDir);
  }

  // `tavconv --mbox` and `tavconv --maildir`, whose times are compared with
  // the default output's, each run alternately with tavconv_unsynced: the
  // difference is what putting the messages on the disk costs.
  void MeasureStores(const fs::path& log, const fs::path& folder, const std::string& place,
                     int reps, LogFigures& f) {
    const fs::path console = folder / "tavconv-output.txt";
    const fs::path mbox = folder / "all.mbox";
    const fs::path maildir = folder / "Maildir";
    // Runs `option target log` with syncs and without, in turns; returns the
    // seconds of each.
    auto synced = [&](int rep, const char* option, const fs::path& target) {
      double seconds[2] = {0, 0};
      for (int turn = 0; turn < 2; ++turn) {
        const bool withSyncs = (turn == 0) == (rep % 2 == 0);
        fs::remove_all(target);
        if (place == "disk") ::sync();
        const std::string& program = withSyncs ? options_.tavconv : options_.unsynced;
        const RunResult run =
            spawner_.Run({program, option, target.string(), log.string()}, console);
        if (run.exitStatus != 0) {
          throw std::runtime_error(fs::path(program).filename().string() + " " + option +
                                   " failed on " + log.string());
        }
        seconds[withSyncs ? 0 : 1] = run.seconds;
      }
      fs::remove_all(target);
      return std::pair{seconds[0], seconds[1]};
    };
    for (int rep = 0; rep < reps; ++rep) {
      const auto [mboxSynced, mboxUnsynced] = synced(rep, "--mbox", mbox);
      f.mbox.push_back(mboxSynced);
      f.mboxUnsynced.push_back(mboxUnsynced);
      f.mboxSyncCosts.push_back(mboxSynced - mboxUnsynced);
      const auto [maildirSynced, maildirUnsynced] = synced(rep, "--maildir", maildir);
      f.maildir.push_back(maildirSynced);
      f.maildirUnsynced.push_back(maildirUnsynced);
      f.maildirSyncCosts.push_back(maildirSynced - maildirUnsynced);
    }
  }

  // `tavconv --html` from no archive, then its search in headless Chromium
  // (when the browser checks' tools are installed).
  void MeasureHtml(const fs::path& log, const fs::path& folder, int reps, LogFigures& f) {
    const fs::path archive = folder / "web";
    const fs::path console = folder / "tavconv-output.txt";
    for (int rep = 0; rep < reps; ++rep) {
      fs::remove_all(archive);
      const RunResult run = spawner_.Run({options_.tavconv, "--html", archive.string(), log.string()},
                                         console);
      if (run.exitStatus != 0) throw std::runtime_error("tavconv --html failed");
      f.html.push_back(run.seconds);
      f.htmlPeakRssKb = std::max(f.htmlPeakRssKb, run.peakRssKb);
    }
    if (!options_.browser || access(TAV_BROWSER_CHECKS, R_OK) != 0) return;
    std::vector<std::string> command = {"/usr/bin/env", "node", TAV_BROWSER_CHECKS, archive.string(),
                                        "--only-search"};
    for (const std::string& phrase : kSearchPhrases) {
      command.push_back("--search");
      command.push_back(phrase + "=*");
    }
    const fs::path output = folder / "search-output.txt";
    spawner_.Run(command, output);
    std::ifstream lines(output);
    for (std::string line; std::getline(lines, line);) {
      // "ok   search "PHRASE" finds * in N ms after the last key"
      const std::size_t open = line.find("search \""), close = line.find("\" finds");
      if (open == std::string::npos || close == std::string::npos) continue;
      const std::string phrase = line.substr(open + 8, close - open - 8);
      const std::size_t in = line.find(" in ", close);
      f.searchMs.emplace_back(phrase, in == std::string::npos ? -1 : std::atof(line.c_str() + in + 4));
    }
    fs::remove_all(archive);
  }

  // "matches the golden figures", "has no golden figures", or a difference (then ok_ is false).
  std::string CompareWithGolden(const std::string& name, const std::string& digest) {
    const auto found = golden_.find(name);
    std::string verdict;
    if (found == golden_.end()) {
      verdict = "has no golden figures";
    } else if (found->second == digest) {
      verdict = "matches the golden figures";
    } else {
      verdict = "DIFFERS from the golden figures (" + digest + ", recorded " + found->second + ")";
      ok_ = false;
    }
    return verdict;
  }

  void PrintSummary() const {
    std::printf(
        "\n| log | place | size | lines | messages | tavconv median | baseline median |"
        " ratio (<= 1.05) | CPU-time ratio | scan (>= 500 MB/s) | peak memory (limit) |"
        " --mime ratio (<= 1.25) | --mbox / default (<= 0.2) | --mbox MB/s (>= 300) |"
        " --maildir / default (<= 1.3) | syncs: --maildir | syncs: --mbox |"
        " --html / default (<= 3) | --html peak (limit) | search, slowest first result (<= 1 s) |\n"
        "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const LogFigures& f : figures_) {
      const double mb = static_cast<double>(f.bytes) / kMB;
      char scan[32] = "-";
      if (!f.scan.empty()) std::snprintf(scan, sizeof scan, "%.0f MB/s", mb / Median(f.scan));
      char mime[32] = "-";
      if (!f.mime.empty()) std::snprintf(mime, sizeof mime, "%.3f", Median(f.mimeRatios));
      char mbox[32] = "-", mboxSpeed[32] = "-", maildir[32] = "-";
      std::string maildirSyncs = "-", mboxSyncs = "-";
      if (!f.mbox.empty()) {
        std::snprintf(mbox, sizeof mbox, "%.2f", Median(f.mbox) / Median(f.tavconv));
        std::snprintf(mboxSpeed, sizeof mboxSpeed, "%.0f", mb / Median(f.mbox));
        std::snprintf(maildir, sizeof maildir, "%.2f", Median(f.maildir) / Median(f.tavconv));
        maildirSyncs = SyncCost(f.maildirSyncCosts, f.maildirUnsynced);
        mboxSyncs = SyncCost(f.mboxSyncCosts, f.mboxUnsynced);
      }
      char html[32] = "-", htmlPeak[48] = "-", search[32] = "-";
      if (!f.html.empty()) {
        std::snprintf(html, sizeof html, "%.2f", Median(f.html) / Median(f.tavconv));
        std::snprintf(htmlPeak, sizeof htmlPeak, "%.1f MB (%.1f MB)",
                      static_cast<double>(f.htmlPeakRssKb) / 1024,
                      (static_cast<double>(f.peakRssKb) +
                       kHtmlBytesPerMessage * static_cast<double>(f.messages) / 1024) / 1024);
      }
      if (!f.searchMs.empty()) {
        double slowest = 0;
        for (const auto& [phrase, ms] : f.searchMs) slowest = ms < 0 ? 1e9 : std::max(slowest, ms);
        std::snprintf(search, sizeof search, slowest >= 1e9 ? "not found" : "%.0f ms", slowest);
      }
      std::printf(
          "| %s | %s | %.1f MB | %zu | %zu | %.0f ms | %.0f ms | %.3f | %.3f | %s |"
          " %.1f MB (%.1f MB) | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n",
          f.name.c_str(), f.place.c_str(), mb, f.lines, f.messages, Median(f.tavconv) * 1e3,
          Median(f.baseline) * 1e3, Median(f.ratios), Median(f.cpuRatios), scan,
          static_cast<double>(f.peakRssKb) * 1024 / kMB, 1.5 * mb + 16, mime, mbox, mboxSpeed,
          maildir, maildirSyncs.c_str(), mboxSyncs.c_str(), html, htmlPeak, search);
    }
  }

  const Options& options_;
  std::string self_;  // this program, for --scan-once
  // Forked first, while the benchmark is small (see Spawner).
  Spawner spawner_;
  GoldenFigures golden_;
  std::vector<LogFigures> figures_;
  bool ok_ = true;
};

// The machine the figures come from: processors, model, date, and how busy
// it was (other programs on a shared machine slow both programs down).
void PrintMachine() {
  std::string model = "unknown";
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.starts_with("model name")) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  double load1 = 0, load5 = 0, load15 = 0;
  std::ifstream("/proc/loadavg") >> load1 >> load5 >> load15;
  const std::time_t now = std::time(nullptr);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
  std::printf("machine: %ld processors, %s; %s; load average %.2f %.2f %.2f\n",
              ::sysconf(_SC_NPROCESSORS_ONLN), model.c_str(), date, load1, load5, load15);
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--scan-once") {
    try {
      const ScanTimes times = TimeScan(argv[2]);
      std::printf("%.9f %.9f\n", times.seconds, times.cpuSeconds);
      return 0;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tavbench: %s\n", e.what());
      return 1;
    }
  }

  Options options;
  bool logsGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "tavbench: " << arg << " needs a value\n" << kUsage;
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--tavconv") {
      options.tavconv = fs::absolute(value()).string();
    } else if (arg == "--unsynced") {
      options.unsynced = fs::absolute(value()).string();
    } else if (arg == "--logs") {
      options.logs = SplitList(value());
      logsGiven = true;
    } else if (arg == "--reps") {
      options.reps = std::max(1, std::atoi(value().c_str()));
    } else if (arg == "--work") {
      options.work = fs::absolute(value());
    } else if (arg == "--disk") {
      options.disk = fs::absolute(value());
    } else if (arg == "--disk-logs") {
      options.diskLogs = SplitList(value());
    } else if (arg == "--disk-reps") {
      options.diskReps = std::max(1, std::atoi(value().c_str()));
    } else if (arg == "--golden") {
      options.golden = fs::absolute(value());
    } else if (arg == "--no-browser") {
      options.browser = false;
    } else if (arg == "--smoke") {
      if (!logsGiven) options.logs = {"smokemail", "smokeforum"};
      options.diskLogs = options.logs;
      options.reps = 2;
      options.diskReps = 1;
    } else {
      std::cerr << "tavbench: unknown argument " << arg << "\n" << kUsage;
      return 2;
    }
  }
  if (access(options.tavconv.c_str(), X_OK) != 0) {
    std::cerr << "tavbench: no converter at " << options.tavconv << " (use --tavconv)\n";
    return 2;
  }
  if (access(options.unsynced.c_str(), X_OK) != 0) {
    std::cerr << "tavbench: no converter at " << options.unsynced << " (use --unsynced)\n";
    return 2;
  }

  try {
    std::printf("tavbench: %s\nwork folder %s%s%s\n", options.tavconv.c_str(), options.work.c_str(),
                options.disk.empty() ? "" : ", disk folder ", options.disk.c_str());
    PrintMachine();
    Bench bench(options, fs::canonical("/proc/self/exe").string());
    const bool ok = bench.Run();
    if (!ok) std::printf("\nFAILED: an output differs (see above)\n");
    return ok ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "tavbench: " << e.what() << "\n";
    return 1;
  }
}
