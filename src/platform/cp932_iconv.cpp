// Code page 932 through iconv's "CP932" (Microsoft's table; "SHIFT_JIS"
// maps some characters differently).
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "platform/cp932.h"

namespace tav {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; nullopt on the first sequence that does not convert.
  std::optional<std::string> Run(std::string_view in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
  if (HasUnassignedSingleByte(bytes)) return std::nullopt;
  thread_local Converter decoder("UTF-8", "CP932");
  return decoder.Run(bytes);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  thread_local Converter encoder("CP932", "UTF-8");
  auto encoded = encoder.Run(utf8);
  // Only exact round trips count: a character that comes back as another
  // one was a substitute, not a code page 932 character.
  if (!encoded || Cp932ToUtf8(*encoded) != std::optional<std::string>(std::string(utf8))) {
    return std::nullopt;
  }
  return encoded;
}

}  // namespace tav
