// The composed form through utf8proc, which also refuses bytes that are not
// UTF-8 (and UTF-8 forms of surrogates) instead of guessing.
#include <utf8proc.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "platform/name_form.h"

namespace tav {

std::filesystem::path ComposedName(const std::filesystem::path& name) {
  const std::string& text = name.native();
  utf8proc_uint8_t* mapped = nullptr;
  const utf8proc_ssize_t size =
      utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                   static_cast<utf8proc_ssize_t>(text.size()), &mapped,
                   static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
  const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(mapped, &std::free);
  if (size == UTF8PROC_ERROR_NOMEM) throw std::bad_alloc();
  if (size < 0) return name;  // not UTF-8
  return std::filesystem::path(std::string(reinterpret_cast<const char*>(mapped),
                                           static_cast<std::size_t>(size)));
}

}  // namespace tav
