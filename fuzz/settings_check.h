// Reads arbitrary bytes as tav.ini, writes the settings and reads them
// again, in memory, and checks that nothing changed on the way. Shared by
// the settings fuzz target and the tests that replay its corpus.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tav::fuzz {

// Returns one text per broken rule; empty when all held.
std::vector<std::string> RoundTripSettingsAndCheck(std::string_view input);

}  // namespace tav::fuzz
