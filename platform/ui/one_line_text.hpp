#pragma once
// What a one-line text hands the shaper: every character of the text in order, except those
// that have no picture of their own on a single line.

#include <string>
#include <string_view>

namespace ui {

// Line and paragraph breaks (LF, CR, CR LF, VT, FF, NEL, U+2028, U+2029) and tabs become one
// space each, so words on either side stay apart; other control characters (NUL, the rest of
// C0 and C1, DEL) are left out, since they draw nothing. Bytes that are not UTF-8 become
// U+FFFD. Everything else stays as it is.
std::string oneLineText(std::string_view text);

}  // namespace ui
