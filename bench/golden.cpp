#include "golden.h"

#include <fstream>
#include <sstream>

#include "bench_logs.h"
#include "platform/posix_file_system.h"
#include "tavconv.h"

namespace tav::bench {

namespace {

class RecordingFileSystem : public PosixFileSystem {
 public:
  explicit RecordingFileSystem(BaselinePlan& plan) : plan_(plan) {}
  DirResult MakeDirectory(const std::filesystem::path& path) override {
    plan_.outDir = path.string();
    return PosixFileSystem::MakeDirectory(path);
  }
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override {
    plan_.writes.push_back({path.string(), TemporarySibling(path).string(), std::string(bytes)});
    return PosixFileSystem::WriteWholeFile(path, bytes);
  }

 private:
  BaselinePlan& plan_;
};

}  // namespace

BaselinePlan ConvertAndRecord(const std::filesystem::path& log, std::string& console) {
  BaselinePlan plan;
  plan.log = log.string();
  RecordingFileSystem recording(plan);
  // The log is named by its file name alone, as a user in its folder would,
  // so that the notices do not depend on where the work folder is.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(log.parent_path());
  std::ostringstream out;
  RunTavconv({log.filename()}, out, out, recording);
  std::filesystem::current_path(previous);
  console = out.str();
  const std::filesystem::path folder = log.parent_path();
  if (!plan.outDir.empty()) plan.outDir = (folder / plan.outDir).string();
  for (PlannedWrite& write : plan.writes) {
    write.path = (folder / write.path).string();
    write.temporaryPath = (folder / write.temporaryPath).string();
  }
  return plan;
}

Digest DigestWrites(const BaselinePlan& plan, const std::string& console) {
  const std::filesystem::path folder = std::filesystem::path(plan.log).parent_path();
  Digest digest;
  Fnv1a fnv;
  for (const PlannedWrite& write : plan.writes) {
    fnv.Add(std::filesystem::path(write.path).lexically_relative(folder).generic_string());
    fnv.AddNumber(write.bytes.size());
    fnv.Add(write.bytes);
    ++digest.files;
    digest.bytes += write.bytes.size();
  }
  fnv.AddNumber(console.size());
  fnv.Add(console);
  digest.hash = fnv.value();
  return digest;
}

GoldenFigures ReadGolden(const std::filesystem::path& file) {
  GoldenFigures golden;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t space = line.find(' ');
    if (space != std::string::npos) golden[line.substr(0, space)] = line.substr(space + 1);
  }
  return golden;
}

void WriteGolden(const std::filesystem::path& file, const GoldenFigures& golden) {
  std::ofstream out(file);
  out << "# What tavconv writes for each generated log (see bench_logs.cpp): every file\n"
         "# write in order (a number written twice counts twice), the bytes written, and a\n"
         "# digest of the names, the bytes and what tavconv printed.\n"
         "# Recorded with: tavgolden --record\n";
  for (const NamedLog& log : NamedLogs()) {
    const auto found = golden.find(std::string(log.name));
    if (found != golden.end()) out << found->first << ' ' << found->second << '\n';
  }
}

}  // namespace tav::bench
