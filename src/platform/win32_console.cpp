#include "platform/win32_console.h"

#include <string_view>

namespace tav {

namespace {

// The length of the longest start of `text` that ends between characters:
// a lead byte near the end whose sequence is not complete yet is left out.
std::size_t CompletePart(std::string_view text) {
  const std::size_t size = text.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(text[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF8   ? 1
                               : byte >= 0xF0 ? 4
                               : byte >= 0xE0 ? 3
                               : byte >= 0xC0 ? 2
                                              : 1;
    return length > back ? size - back : size;
  }
  return size;
}

}  // namespace

Win32ConsoleBuffer::Win32ConsoleBuffer(HANDLE console) : console_(console) {
  setp(buffer_, buffer_ + sizeof buffer_);
}

Win32ConsoleBuffer::~Win32ConsoleBuffer() {
  // A character still cut now will never be whole: its bytes show as U+FFFD.
  WriteOut(true);
}

Win32ConsoleBuffer::int_type Win32ConsoleBuffer::overflow(int_type c) {
  if (!WriteOut()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int Win32ConsoleBuffer::sync() {
  return WriteOut() ? 0 : -1;
}

bool Win32ConsoleBuffer::WriteOut(bool last) {
  cut_.append(pbase(), pptr());
  setp(buffer_, buffer_ + sizeof buffer_);
  const std::size_t complete = last ? cut_.size() : CompletePart(cut_);
  if (complete == 0) return true;
  const int bytes = static_cast<int>(complete);
  const int length = MultiByteToWideChar(CP_UTF8, 0, cut_.data(), bytes, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, cut_.data(), bytes, text.data(), length);
  cut_.erase(0, complete);
  std::wstring_view rest = text;
  while (!rest.empty()) {
    DWORD written = 0;
    if (!WriteConsoleW(console_, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    rest.remove_prefix(written);
  }
  return true;
}

ConsoleStream::ConsoleStream(std::ostream& stream, DWORD which) : stream_(stream) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return;
  stream_.flush();
  console_ = std::make_unique<Win32ConsoleBuffer>(handle);
  before_ = stream_.rdbuf(console_.get());
}

ConsoleStream::~ConsoleStream() {
  if (console_ == nullptr) return;
  stream_.flush();
  stream_.rdbuf(before_);
}

}  // namespace tav
