#include "platform/foundation/url_encoding.hpp"

namespace foundation {
namespace {

bool isPathAllowed(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("-._~!$&'()*+,;=:@/").find(char(c)) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> addingPercentEncoding(std::string_view text, URLCharacterSet) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (unsigned char c : text) {
        if (isPathAllowed(c)) {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0xF];
        }
    }
    return encoded;
}

}  // namespace foundation
