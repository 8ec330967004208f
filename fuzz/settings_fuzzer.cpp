// libFuzzer target: arbitrary bytes as tav.ini, read, written and read
// again in memory; any broken rule stops the fuzzer with the rule it broke.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "settings_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto findings =
      tav::fuzz::RoundTripSettingsAndCheck({reinterpret_cast<const char*>(data), size});
  for (const std::string& finding : findings) std::fprintf(stderr, "broken: %s\n", finding.c_str());
  if (!findings.empty()) std::abort();
  return 0;
}
