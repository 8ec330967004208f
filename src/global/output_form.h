// What a run of the main window writes. The user chooses it in the window;
// tav.ini keeps it as its fourth line.
#pragma once

#include <string_view>

namespace tav {

enum class OutputForm {
  Log,      // beside each log a folder of .eml files in the log's own bytes (tavconv's default)
  Mime,     // the same folders, each message in standard mail form (tavconv --mime)
  Archive,  // one web archive for the folder the window shows (tavconv --html)
};

// The archive form writes into this folder of the folder the window shows,
// beside the logs; its start page is the folder's index.html.
inline constexpr std::string_view kArchiveFolderName = "tav-web";
inline constexpr std::string_view kArchiveStartPage = "index.html";

// The value of tav.ini's fourth line for a form, and the form of a value:
// a value that names no form is the log's own form.
std::string_view OutputFormValue(OutputForm form);
OutputForm OutputFormOfValue(std::string_view value);

}  // namespace tav
