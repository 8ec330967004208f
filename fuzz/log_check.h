// Converts arbitrary bytes as a log, in memory, and checks what the run
// wrote. Shared by the log fuzz target and the tests that replay its corpus.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tav::fuzz {

// `input` is two option bytes followed by the log:
//   byte 0, bits 0-3: the folder-name length (1 to 15, or 32767 for 15);
//           bits 4-7: the log's file name, from a table of awkward names;
//   byte 1, bit 0: Full Auto; bits 1-2: what stands at the output folder's
//           path before the run (nothing, a folder holding an earlier .eml
//           and another file, or a file); bit 3: a second log, cut from the
//           first at its first form feed (0x0C); bits 4-7: answers to the
//           first four message boxes (1 turns back: Cancel or No).
// When the run is in Full Auto mode and goes on at every box, the
// command-line converter must write exactly the same files.
// Returns one text per broken rule; empty when all held. Shorter inputs
// check nothing.
std::vector<std::string> ConvertLogAndCheck(std::string_view input);

}  // namespace tav::fuzz
