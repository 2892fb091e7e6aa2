#include "platform/foundation/text_segmentation.hpp"

#include <utf8proc.h>

#include <cstdint>

namespace foundation {

std::size_t graphemeClusterCount(std::string_view utf8, std::size_t stopAfter) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(utf8.data());
    std::size_t remaining = utf8.size();
    std::size_t count = 0;
    utf8proc_int32_t state = 0;
    utf8proc_int32_t previous = -1;
    while (remaining > 0) {
        utf8proc_int32_t codepoint = -1;
        utf8proc_ssize_t length = utf8proc_iterate(bytes, utf8proc_ssize_t(remaining), &codepoint);
        if (length <= 0) {
            // An invalid byte is a cluster by itself and breaks whatever surrounds it.
            length = 1;
            codepoint = -1;
        }
        if (codepoint < 0 || previous < 0 ||
            utf8proc_grapheme_break_stateful(previous, codepoint, &state))
            ++count;
        if (codepoint < 0) state = 0;
        previous = codepoint;
        if (count > stopAfter) return count;
        bytes += length;
        remaining -= std::size_t(length);
    }
    return count;
}

std::size_t codePointCount(std::string_view utf8) {
    std::size_t count = 0;
    for (unsigned char byte : utf8)
        count += (byte & 0xC0) != 0x80;
    return count;
}

}  // namespace foundation
