// tavgen: writes a generated session log, by name or from explicit figures.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "bench_logs.h"
#include "log_generator.h"

namespace {

constexpr const char* kUsage =
    "usage: tavgen NAME OUT\n"
    "       tavgen [--mail|--forum] [--seed N] [--lines N] [--bytes N] [--awkward] OUT\n"
    "\n"
    "Writes a generated session log (code page 932) to OUT. NAME is one of the\n"
    "benchmark's logs: small, medium, large, oddmail, oddforum, smokemail, smokeforum.\n";

bool ParseNumber(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return *text != '\0' && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tav::bench;
  LogRecipe recipe;
  recipe.minLines = 70'000;
  std::string out;
  bool named = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::uint64_t value = 0;
    auto number = [&](std::uint64_t& target) {
      if (i + 1 >= argc || !ParseNumber(argv[i + 1], value)) return false;
      target = value;
      ++i;
      return true;
    };
    std::uint64_t lines = recipe.minLines, bytes = recipe.minBytes;
    if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--mail") {
      recipe.kind = LogKind::Mail;
    } else if (arg == "--forum") {
      recipe.kind = LogKind::Forum;
    } else if (arg == "--awkward") {
      recipe.awkward = true;
    } else if (arg == "--seed") {
      if (!number(recipe.seed)) break;
    } else if (arg == "--lines") {
      if (!number(lines)) break;
      recipe.minLines = lines;
    } else if (arg == "--bytes") {
      if (!number(bytes)) break;
      recipe.minBytes = bytes;
    } else if (!arg.starts_with("--") && i + 2 == argc && !named) {
      const auto log = FindLog(arg);
      if (!log) {
        std::cerr << "tavgen: no log named " << arg << "\n" << kUsage;
        return 2;
      }
      recipe = log->recipe;
      named = true;
    } else if (!arg.starts_with("--") && i + 1 == argc) {
      out = arg;
    } else {
      std::cerr << "tavgen: unexpected argument " << arg << "\n" << kUsage;
      return 2;
    }
  }
  if (out.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string log = GenerateLog(recipe);
  std::ofstream file(out, std::ios::binary);
  file.write(log.data(), static_cast<std::streamsize>(log.size()));
  file.close();
  if (!file) {
    std::cerr << "tavgen: cannot write " << out << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::cout << out << ": " << CountLines(log) << " lines, " << log.size() << " bytes\n";
  return 0;
}
