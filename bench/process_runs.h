// Timed child processes: the converter, started from a small helper
// process, and the baseline, forked from the benchmark itself.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tav::bench {

struct RunResult {
  double seconds = 0;     // wall time from fork to the child's end
  double cpuSeconds = 0;  // the child's user and system time
  long peakRssKb = 0;     // the child's peak resident memory
  int exitStatus = -1;    // exit code, or -1 when it did not exit normally
};

// Starts programs and measures them. The programs are started by a helper
// process forked while the benchmark is still small: a child's peak
// resident memory counts what it inherited at fork, so a child of the
// benchmark itself (which holds whole logs and their output) would report
// the benchmark's memory instead of its own.
class Spawner {
 public:
  Spawner();
  ~Spawner();
  Spawner(const Spawner&) = delete;
  Spawner& operator=(const Spawner&) = delete;

  // Runs argv[0] with its arguments, its output and errors going to `log`.
  RunResult Run(const std::vector<std::string>& argv, const std::filesystem::path& log);

 private:
  pid_t helper_ = -1;
  int requests_ = -1;
  int replies_ = -1;
};

// One file the baseline writes: the bytes the converter wrote under that name.
struct PlannedWrite {
  std::string path;
  std::string temporaryPath;
  std::string bytes;
};

// What the baseline does, computed before it is timed.
struct BaselinePlan {
  std::string log;
  std::string outDir;
  std::vector<PlannedWrite> writes;
};

// The least a converter must do: read the log once, create the output
// folder, and write every file the safe way (a file of its own created
// exclusively in the folder, then a rename into place). Runs in a forked child, where the plan is
// already in memory.
RunResult RunBaseline(const BaselinePlan& plan);

}  // namespace tav::bench
