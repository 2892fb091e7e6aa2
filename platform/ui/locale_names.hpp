#pragma once
// Locale names as the C library takes them from the environment, and the language tags the
// text engine wants for them.

#include <string>
#include <string_view>

namespace ui {

// The first of LC_ALL, `category` and LANG that is set and not empty, as POSIX orders them.
std::string_view localeSetting(const char* category);

// "", "C", "POSIX" and "C.<code set>": no language.
bool isPlainC(std::string_view locale);

// "pt_BR.UTF-8@euro" without its code set: "pt_BR@euro".
std::string withoutCodeSet(std::string_view locale);

// "zh_TW.UTF-8" or "zh_TW" -> "zh-tw", as Pango and HarfBuzz name languages; empty for C.
std::string languageTag(std::string_view locale);

}  // namespace ui
