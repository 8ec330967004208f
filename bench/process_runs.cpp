#include "process_runs.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace tav::bench {

namespace {

using Clock = std::chrono::steady_clock;

void WriteExactly(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t done = ::write(fd, bytes, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) throw std::runtime_error("benchmark helper: write failed");
    bytes += done;
    size -= static_cast<std::size_t>(done);
  }
}

// False at the end of the stream before anything was read.
bool ReadExactly(int fd, void* data, std::size_t size) {
  char* bytes = static_cast<char*>(data);
  std::size_t got = 0;
  while (got < size) {
    const ssize_t done = ::read(fd, bytes + got, size - got);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) throw std::runtime_error("benchmark helper: read failed");
    if (done == 0) {
      if (got == 0) return false;
      throw std::runtime_error("benchmark helper: stream cut short");
    }
    got += static_cast<std::size_t>(done);
  }
  return true;
}

void WriteString(int fd, const std::string& text) {
  const std::uint32_t size = static_cast<std::uint32_t>(text.size());
  WriteExactly(fd, &size, sizeof size);
  WriteExactly(fd, text.data(), text.size());
}

bool ReadString(int fd, std::string& text) {
  std::uint32_t size = 0;
  if (!ReadExactly(fd, &size, sizeof size)) return false;
  text.resize(size);
  return ReadExactly(fd, text.data(), size);
}

RunResult Finish(pid_t pid, Clock::time_point start) {
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::runtime_error("benchmark: wait4 failed");
  }
  RunResult result;
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  result.peakRssKb = usage.ru_maxrss;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The helper's loop: one request (argv and log file) in, one RunResult out.
[[noreturn]] void ServeRequests(int requests, int replies) {
  for (;;) {
    std::uint32_t count = 0;
    if (!ReadExactly(requests, &count, sizeof count)) ::_exit(0);
    std::vector<std::string> args(count);
    for (std::string& arg : args) ReadString(requests, arg);
    std::string log;
    ReadString(requests, log);

    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      if (out >= 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
      }
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    RunResult result;
    if (pid > 0) result = Finish(pid, start);
    WriteExactly(replies, &result, sizeof result);
  }
}

}  // namespace

Spawner::Spawner() {
  int toHelper[2];
  int fromHelper[2];
  if (::pipe2(toHelper, O_CLOEXEC) != 0 || ::pipe2(fromHelper, O_CLOEXEC) != 0) {
    throw std::runtime_error("benchmark: cannot create pipes");
  }
  helper_ = ::fork();
  if (helper_ < 0) throw std::runtime_error("benchmark: cannot fork the helper");
  if (helper_ == 0) {
    ::close(toHelper[1]);
    ::close(fromHelper[0]);
    ServeRequests(toHelper[0], fromHelper[1]);
  }
  ::close(toHelper[0]);
  ::close(fromHelper[1]);
  requests_ = toHelper[1];
  replies_ = fromHelper[0];
}

Spawner::~Spawner() {
  ::close(requests_);
  ::close(replies_);
  int status = 0;
  ::waitpid(helper_, &status, 0);
}

RunResult Spawner::Run(const std::vector<std::string>& argv, const std::filesystem::path& log) {
  const std::uint32_t count = static_cast<std::uint32_t>(argv.size());
  WriteExactly(requests_, &count, sizeof count);
  for (const std::string& arg : argv) WriteString(requests_, arg);
  WriteString(requests_, log.string());
  RunResult result;
  if (!ReadExactly(replies_, &result, sizeof result)) {
    throw std::runtime_error("benchmark helper ended unexpectedly");
  }
  return result;
}

RunResult RunBaseline(const BaselinePlan& plan) {
  const Clock::time_point start = Clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("benchmark: cannot fork the baseline");
  if (pid > 0) return Finish(pid, start);

  // The child: nothing here allocates but the log's buffer, and every
  // failure ends it with status 1.
  const int in = ::open(plan.log.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (in < 0 || ::fstat(in, &info) != 0) ::_exit(1);
  const std::size_t size = static_cast<std::size_t>(info.st_size);
  char* buffer = static_cast<char*>(std::malloc(size + 1));
  std::size_t filled = 0;
  for (;;) {
    const ssize_t got = ::read(in, buffer + filled, size + 1 - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ::_exit(1);
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled == size + 1) break;  // the log grew: its listed size is all the baseline reads
  }
  ::close(in);

  if (::mkdir(plan.outDir.c_str(), 0777) != 0 && errno != EEXIST) ::_exit(1);
  for (const PlannedWrite& write : plan.writes) {
    const int out =
        ::open(write.temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) ::_exit(1);
    std::size_t done = 0;
    while (done < write.bytes.size()) {
      const ssize_t put = ::write(out, write.bytes.data() + done, write.bytes.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) ::_exit(1);
      done += static_cast<std::size_t>(put);
    }
    if (::close(out) != 0) ::_exit(1);
    if (::rename(write.temporaryPath.c_str(), write.path.c_str()) != 0) ::_exit(1);
  }
  std::free(buffer);
  ::_exit(0);
}

}  // namespace tav::bench
