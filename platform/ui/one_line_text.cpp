#include "platform/ui/one_line_text.hpp"

#include <glib.h>

#include <memory>

namespace ui {
namespace {

bool separatesLikeASpace(gunichar c) {
    switch (c) {
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
        case 0x85:    // NEXT LINE
        case 0x2028:  // LINE SEPARATOR
        case 0x2029:  // PARAGRAPH SEPARATOR
            return true;
        default:
            return false;
    }
}

// Nothing in the text needs changing: the common case, checked without decoding.
bool alreadyOneLine(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7f) return false;
        // C1 controls (C2 80..9F) and U+2028/U+2029 (E2 80 A8/A9).
        if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xa0)
            return false;
        if (byte == 0xe2 && text.substr(i, 3) == "\xe2\x80\xa8") return false;
        if (byte == 0xe2 && text.substr(i, 3) == "\xe2\x80\xa9") return false;
    }
    return g_utf8_validate(text.data(), gssize(text.size()), nullptr);
}

struct GFree {
    void operator()(gchar* text) const { g_free(text); }
};

}  // namespace

std::string oneLineText(std::string_view text) {
    if (alreadyOneLine(text)) return std::string(text);
    // A NUL byte is never part of a longer character, so it can go before decoding; then the
    // text is an ordinary C string for GLib.
    std::string withoutNul;
    withoutNul.reserve(text.size());
    for (char byte : text)
        if (byte != '\0') withoutNul += byte;
    const std::unique_ptr<gchar, GFree> valid(g_utf8_make_valid(withoutNul.c_str(), -1));
    std::string shown;
    shown.reserve(withoutNul.size());
    gunichar previous = 0;
    for (const gchar* p = valid.get(); *p != '\0'; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        const bool crlf = previous == '\r' && c == '\n';
        previous = c;
        if (crlf) continue;
        if (separatesLikeASpace(c))
            shown += ' ';
        else if (!g_unichar_iscntrl(c))
            shown.append(p, g_utf8_next_char(p) - p);
    }
    return shown;
}

}  // namespace ui
