#pragma once
// Percent-encoding for URL components.

#include <optional>
#include <string>
#include <string_view>

namespace foundation {

enum class URLCharacterSet { urlPathAllowed };

// Every byte of the UTF-8 text outside the allowed set becomes "%" and two upper-case hex
// digits. The path set keeps ASCII letters and digits and - . _ ~ ! $ & ' ( ) * + , ; = : @ /.
std::optional<std::string> addingPercentEncoding(std::string_view text, URLCharacterSet allowed);

}  // namespace foundation
