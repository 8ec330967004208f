#include "golden.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "bench_logs.h"
#include "fake_file_system.h"
#include "tavconv.h"

namespace tav::bench {

BaselinePlan ConvertAndRecord(const std::filesystem::path& log, std::string& console,
                              Digest& output, const std::vector<std::string>& options) {
  test::FakeFileSystem files;
  files.keepWrittenBytes = true;
  // The log lies in the current folder and is named by its file name alone,
  // as a user in its folder would, so that the notices do not depend on
  // where the work folder is.
  files.folders.insert(std::filesystem::path());
  {
    std::ifstream in(log, std::ios::binary);
    files.files[log.filename()].assign(std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>());
  }
  std::ostringstream out;
  std::vector<std::filesystem::path> args(options.begin(), options.end());
  args.push_back(log.filename());
  RunTavconv(args, out, out, files);
  console = out.str();

  BaselinePlan plan;
  plan.log = log.string();
  const std::filesystem::path folder = log.parent_path();
  if (files.madeFolders.empty()) return plan;
  const std::filesystem::path made = files.madeFolders.front();
  plan.outDir = (folder / made).string();
  const std::string temporary = (folder / made / ".tav-baseline.tmp").string();
  for (std::size_t i = 0; i < files.writtenFiles.size(); ++i) {
    plan.writes.push_back(
        {(folder / files.writtenFiles[i]).string(), temporary, std::move(files.writtenBytes[i])});
  }
  std::map<std::filesystem::path, std::string_view> left;
  for (const auto& [path, bytes] : files.files) {
    if (path.parent_path() == made) left[path.lexically_relative(made)] = bytes;
  }
  output = DigestFiles(left);
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
