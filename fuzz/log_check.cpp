#include "log_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>

#include "fake_file_system.h"
#include "mail/mime_message.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "global/program.h"
#include "scripted_ui.h"
#include "tavconv.h"

namespace tav::fuzz {

namespace {

// Log names that make awkward folder names: shorter than the folder-name
// length, with blanks, with an emoji, Japanese, a device name, names whose
// folder would be "." or ".." or end in a dot or a blank, characters that
// Windows forbids, bytes that are not UTF-8.
constexpr std::array<std::string_view, 16> kLogNames = {
    "mail0412.log",   "fbbs0412.log", "ab",          "a b c.log", "😀mail.log", "ログ0412.log",
    "con.log",        "..log",        ".x.log",      "xy .log",   "COM1.txt",  "a\\b:c*.log",
    "\xFF\xFEzz.log", "nul",          "a.b.c.d.log", "ab."};

const std::filesystem::path kLogDir = "/logs";
constexpr std::string_view kDomainEnd = "@tav.example.jp>";

// The lines of a log, split at CR LF, CR and LF, each also with its
// full-width spaces made ASCII (as a header line that failed confirmation
// keeps them).
std::set<std::string> LinesOf(std::string_view text) {
  std::set<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = text.substr(pos, end - pos);
    lines.emplace(line);
    std::string narrowed;
    for (std::size_t i = 0; i < line.size(); i += CharSizeAt(line, i)) {
      if (CharSizeAt(line, i) == 2 && line.substr(i, 2) == "\x81\x40") {
        narrowed += ' ';
      } else {
        narrowed += line.substr(i, CharSizeAt(line, i));
      }
    }
    lines.insert(narrowed);
    if (end == text.size()) break;
    pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += CharSizeAt(text, i)) ++count;
  return count;
}

// A name that stays inside the folder it is joined to.
bool IsPlainName(const std::filesystem::path& name) {
  const std::string text = name.native();
  return !text.empty() && text != "." && text != ".." && text.find('/') == std::string::npos &&
         text.back() != '.' && text.back() != ' ';
}

bool HasForbiddenChar(std::string_view msgNo) {
  for (std::size_t i = 0; i < msgNo.size(); i += CharSizeAt(msgNo, i)) {
    const auto b = static_cast<unsigned char>(msgNo[i]);
    if (CharSizeAt(msgNo, i) == 2) continue;
    if (b < 0x20 || b == 0x7F ||
        std::string_view("\\/:*?\"<>|").find(static_cast<char>(b)) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

class Checker {
 public:
  void Fail(const std::string& what) { findings.push_back(what); }

  // One written .eml file: five header lines in order, an empty line, body
  // lines taken from the logs, one more line end.
  void CheckEml(const std::filesystem::path& path, std::string_view text,
                const std::set<std::string>& logLines) {
    const std::string where = Utf8FromPath(path) + ": ";
    if (!text.starts_with("From: ")) Fail(where + "does not begin with \"From: \"");
    if (!text.ends_with("\r\n")) Fail(where + "does not end with CR LF");
    const std::size_t headerEnd = text.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos) {
      Fail(where + "no empty line after the header");
      return;
    }
    std::vector<std::string_view> header;
    for (std::size_t pos = 0; pos <= headerEnd;) {
      const std::size_t end = text.find("\r\n", pos);
      header.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    if (header.size() != 5) {
      Fail(where + "has " + std::to_string(header.size()) + " header lines");
      return;
    }
    for (const std::string_view line : header) {
      if (line.find_first_of("\r\n") != std::string_view::npos) Fail(where + "CR or LF in header");
    }
    if (!header[0].ends_with(kDomainEnd) || header[0].find(" <") == std::string_view::npos) {
      Fail(where + "From line without its address");
    }
    if (!header[1].starts_with("Subject: ")) Fail(where + "second line is not Subject");
    if (!header[2].starts_with("Date: ") || !header[2].ends_with(":00 +0900")) {
      Fail(where + "third line is not Date");
    }
    if (!header[3].starts_with("Message-Id: <") || !header[3].ends_with(">")) {
      Fail(where + "fourth line is not Message-Id");
    } else {
      const std::string_view id = header[3].substr(13, header[3].size() - 14);
      if (CharCount(id) != 5) Fail(where + "Message-Id is not five characters");
      if (HasForbiddenChar(id)) Fail(where + "written although its number cannot be a name");
      const auto decoded = Cp932ToUtf8(id);
      if (!decoded || Utf8FromPath(path.filename()) != *decoded + ".eml") {
        Fail(where + "file name is not the decoded Message-Id");
      }
    }
    if (!header[4].starts_with("References: <") || !header[4].ends_with(">")) {
      Fail(where + "fifth line is not References");
    } else {
      const std::string_view ref = header[4].substr(13, header[4].size() - 14);
      if (!ref.empty() && CharCount(ref) != 5) Fail(where + "References is not 0 or 5 characters");
    }

    std::string_view body = text.substr(headerEnd + 4);
    if (body.size() < 2) return;
    body.remove_suffix(2);
    if (!body.empty() && !body.ends_with("\r\n")) Fail(where + "body does not end with CR LF");
    for (std::size_t pos = 0; pos < body.size();) {
      const std::size_t end = std::min(body.find("\r\n", pos), body.size());
      if (!logLines.contains(std::string(body.substr(pos, end - pos)))) {
        Fail(where + "body line not from the log");
      }
      pos = end + 2;
    }
  }

  // One message in the standard form: ASCII header lines of at most 998
  // characters (folded lines begin with a blank), the fields in order, an
  // empty line, a body of CR LF lines without NUL unless quoted-printable.
  void CheckMime(const std::string& where, std::string_view text) {
    const std::size_t headerEnd = text.find("\r\n\r\n");
    // "From:" may be folded right after the colon when the name is long.
    if (!text.starts_with("From:") || headerEnd == std::string_view::npos) {
      Fail(where + "no From line or no end of the header");
      return;
    }
    const std::string_view header = text.substr(0, headerEnd + 2);
    for (const char c : header) {
      if (static_cast<unsigned char>(c) >= 0x80 || c == '\0')
        Fail(where + "a header byte not ASCII");
    }
    std::size_t field = 0;
    constexpr std::string_view kOrder[] = {"From:",
                                           "Subject:",
                                           "Date: ",
                                           "Message-Id:",
                                           "In-Reply-To:",
                                           "References:",
                                           "X-TAV-Digest: ",
                                           "MIME-Version: 1.0",
                                           "Content-Type: text/plain; charset=UTF-8",
                                           "Content-Transfer-Encoding: "};
    for (std::size_t pos = 0; pos < header.size();) {
      const std::size_t end = header.find("\r\n", pos);
      const std::string_view line = header.substr(pos, end - pos);
      if (line.size() > 998) Fail(where + "a header line over 998 characters");
      if (line.find_first_of("\r\n") != std::string_view::npos) Fail(where + "a lone CR or LF");
      if (!line.starts_with(' ')) {
        while (field < std::size(kOrder) && !line.starts_with(kOrder[field])) ++field;
        if (field == std::size(kOrder)) Fail(where + "a header field out of order");
      }
      pos = end + 2;
    }
    const std::string_view body = text.substr(headerEnd + 4);
    const bool quoted =
        header.find("Content-Transfer-Encoding: quoted-printable") != std::string_view::npos;
    if (!body.ends_with("\r\n")) Fail(where + "the body does not end with CR LF");
    if (!quoted && body.find('\0') != std::string_view::npos) Fail(where + "NUL in an 8bit body");
  }

  // An mboxrd file of at most `messages` messages (a message read twice is
  // there once): each begins with a From_ line after an empty line, no other
  // line begins with "From ", LF line ends, no two share a Message-Id.
  void CheckMbox(std::string_view mbox, std::size_t messages) {
    if (mbox.find('\r') != std::string_view::npos) Fail("mbox: a CR");
    std::size_t separators = 0;
    std::set<std::string> identifiers;
    for (std::size_t pos = 0; pos < mbox.size();) {
      const std::size_t end = mbox.find('\n', pos);
      if (mbox.substr(pos).starts_with("From ")) {
        ++separators;
        if (pos != 0 && mbox.substr(0, pos).ends_with("\n\n") == false) {
          Fail("mbox: a From_ line without an empty line before it");
        }
        const std::string_view message = mbox.substr(end == std::string_view::npos ? pos : end + 1);
        identifiers.insert(HeaderField(message, "Message-Id").value_or(""));
      }
      pos = end == std::string_view::npos ? mbox.size() : end + 1;
    }
    if (separators > messages || (messages > 0 && separators == 0)) {
      Fail("mbox: " + std::to_string(separators) + " messages for " + std::to_string(messages));
    }
    if (identifiers.size() != separators) Fail("mbox: two messages share a Message-Id");
  }

  std::vector<std::string> findings;
};

}  // namespace

std::vector<std::string> ConvertLogAndCheck(std::string_view input) {
  if (input.size() < 2) return {};
  const auto options = static_cast<unsigned char>(input[0]);
  const auto more = static_cast<unsigned char>(input[1]);
  const std::string_view text = input.substr(2);
  const int dirNameLen = (options & 15) == 15 ? 32767 : (options & 15) + 1;
  const std::filesystem::path name = PathFromUtf8(kLogNames[options >> 4]);
  const bool twoLogs = (more & 8) != 0;
  const std::size_t cut = twoLogs ? text.find('\f') : std::string_view::npos;

  test::FakeFileSystem files;
  files.AddFolder(kLogDir);
  test::ScriptedUi ui;
  ui.numberBox = std::to_string(dirNameLen);
  // The first four boxes go on or turn back as the option bits say; later
  // ones go on.
  const bool turnsBack = (more >> 4) != 0;
  for (int box = 0; box < 4; ++box) {
    ui.answers.push_back(((more >> (4 + box)) & 1) != 0 ? test::ScriptedUi::kTurnBack
                                                        : test::ScriptedUi::kGoOn);
  }
  ui.goOnUnanswered = true;
  std::vector<std::filesystem::path> entries = {name};
  files.files[kLogDir / name] = std::string(text.substr(0, cut));
  if (twoLogs) {
    std::filesystem::path second = name;
    second += "2";
    entries.push_back(second);
    files.files[kLogDir / second] =
        cut == std::string_view::npos ? std::string() : std::string(text.substr(cut + 1));
  }

  // What stands at the first log's output folder before the run.
  const std::filesystem::path outDir = kLogDir / LeadingChars(name, dirNameLen);
  if (!files.files.contains(outDir) && IsPlainName(outDir.filename())) {
    switch ((more >> 1) & 3) {
      case 1:
        files.folders.insert(outDir);
        files.files[outDir / "00001.eml"] = "an earlier message";
        files.files[outDir / "notes.txt"] = "kept";
        break;
      case 2:
        files.files[outDir] = "a file";
        break;
      case 3:  // a folder where an .eml file would go: its write fails
        files.folders.insert(outDir);
        files.folders.insert(outDir / "00001.eml");
        break;
    }
  }
  const std::map<std::filesystem::path, std::string> before = files.files;
  const std::set<std::filesystem::path> foldersBefore = files.folders;
  ui.ShowDirectory(kLogDir, entries);
  for (auto& entry : ui.files) entry.selected = true;

  Program program(ui, files);
  program.global.FullAuto = (more & 1) != 0 ? 1 : 0;
  program.run.RunConversion();

  Checker check;
  if (ui.panel1 != "end") check.Fail("the run did not end with \"end\"");

  const std::set<std::filesystem::path> written(files.writtenFiles.begin(),
                                                files.writtenFiles.end());
  for (const auto& [path, bytes] : before) {
    if (written.contains(path)) continue;
    const auto now = files.files.find(path);
    if (now == files.files.end() || now->second != bytes) {
      check.Fail(Utf8FromPath(path) + ": an existing file was changed");
    }
  }
  for (const auto& folder : files.madeFolders) {
    if (folder.parent_path() != kLogDir || !IsPlainName(folder.filename())) {
      check.Fail(Utf8FromPath(folder) + ": folder made outside the log's folder");
    }
  }
  std::set<std::string> logLines;
  for (const std::filesystem::path& entry : entries) {
    logLines.merge(LinesOf(before.at(kLogDir / entry)));
  }
  for (const std::filesystem::path& path : written) {
    const std::filesystem::path folder = path.parent_path();
    if (folder.parent_path() != kLogDir || !IsPlainName(folder.filename()) ||
        !IsPlainName(path.filename()) || path.extension() != ".eml") {
      check.Fail(Utf8FromPath(path) + ": file written outside an output folder");
      continue;
    }
    check.CheckEml(path, files.files.at(path), logLines);
  }

  // Every failure names its file or folder.
  for (const MsgBox& box : ui.boxes) {
    switch (box.kind) {
      case MsgKind::LogUnreadable:
      case MsgKind::FolderUnusable:
      case MsgKind::FolderNameUnsafe:
      case MsgKind::EmlUnwritable:
      case MsgKind::BadMessageNumbers:
        if (box.subject.empty() || box.text.find(Utf8FromPath(box.subject)) == std::string::npos) {
          check.Fail(box.title + ": the message does not name its file");
        }
        break;
      default:
        break;
    }
  }

  // A Full Auto run that goes on at every box writes what the command-line
  // converter writes for the same logs and folder-name length.
  if (program.global.FullAuto == 1 && !turnsBack) {
    test::FakeFileSystem cliFiles;
    cliFiles.files = before;
    cliFiles.folders = foldersBefore;
    std::vector<std::filesystem::path> args = {"--dir-name-len", std::to_string(dirNameLen)};
    for (const std::filesystem::path& entry : entries) args.push_back(kLogDir / entry);
    std::ostringstream out;
    std::ostringstream errors;
    RunTavconv(args, out, errors, cliFiles);
    if (cliFiles.files != files.files || cliFiles.folders != files.folders) {
      check.Fail("tavconv wrote other files than the Full Auto run");
    }

    // The standard form: the same folders and file names, each file a
    // well-formed message; and an mbox of as many messages as were written.
    test::FakeFileSystem mimeFiles;
    mimeFiles.files = before;
    mimeFiles.folders = foldersBefore;
    std::vector<std::filesystem::path> mimeArgs = args;
    mimeArgs.insert(mimeArgs.begin(), "--mime");
    RunTavconv(mimeArgs, out, errors, mimeFiles);
    std::set<std::filesystem::path> mimeWritten(mimeFiles.writtenFiles.begin(),
                                                mimeFiles.writtenFiles.end());
    // Title-list entries are no messages in the standard form.
    if (!std::includes(written.begin(), written.end(), mimeWritten.begin(), mimeWritten.end()) ||
        mimeFiles.folders != files.folders) {
      check.Fail("tavconv --mime wrote other files than the default form");
    }
    for (const std::filesystem::path& path : mimeWritten) {
      check.CheckMime(Utf8FromPath(path) + ": ", mimeFiles.files.at(path));
    }
    test::FakeFileSystem mboxFiles;
    mboxFiles.files = before;
    mboxFiles.folders = foldersBefore;
    std::vector<std::filesystem::path> mboxArgs = {"--mbox", kLogDir / "all.mbox"};
    mboxArgs.insert(mboxArgs.end(), args.begin(), args.end());
    // Every message goes into the mailbox, also where a folder or a file
    // name could not be made: as many as tavconv says it wrote.
    std::ostringstream mboxOut;
    RunTavconv(mboxArgs, mboxOut, errors, mboxFiles);
    std::size_t told = 0;
    std::istringstream lines(mboxOut.str());
    for (std::string line; std::getline(lines, line);) {
      const std::size_t at = line.rfind(": ", line.find(" message"));
      if (at != std::string::npos) told += std::stoul(line.substr(at + 2));
    }
    check.CheckMbox(mboxFiles.files[kLogDir / "all.mbox"], told);
  }
  return check.findings;
}

}  // namespace tav::fuzz
