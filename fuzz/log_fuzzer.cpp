// libFuzzer target: arbitrary bytes as a log, converted in memory; any broken
// rule stops the fuzzer with the rule it broke.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "log_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto findings = tav::fuzz::ConvertLogAndCheck({reinterpret_cast<const char*>(data), size});
  for (const std::string& finding : findings) std::fprintf(stderr, "broken: %s\n", finding.c_str());
  if (!findings.empty()) std::abort();
  return 0;
}
