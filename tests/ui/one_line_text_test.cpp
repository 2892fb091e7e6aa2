// One-line texts: every character kept but controls, breaks and tabs set as spaces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/one_line_text.hpp"

namespace {

using namespace ui;

TEST(OneLineText, KeepsEveryCharacterButControlsAndSetsBreaksAndTabsAsSpaces) {
    struct Case {
        std::string text, shown;
    };
    for (const Case& c : std::vector<Case>{
             {"Buy milk", "Buy milk"},
             {"👨‍👩‍👧 🇯🇵 ❤️ ﷺ",
              "👨‍👩‍👧 🇯🇵 ❤️ ﷺ"},            // joiners and selectors stay
             {"a\u200Bb\u200Fc\u00ADd", "a\u200Bb\u200Fc\u00ADd"},  // format characters stay
             {std::string("a\0b\0", 4), "ab"},
             {"a\x01\x1f\x7f\u0080\u009fb", "ab"},
             {"a\tb", "a b"},
             {"a\nb\rc\r\nd", "a b c d"},
             {"a\n\nb", "a  b"},
             {"a\v\fb", "a  b"},
             {"a\u0085b\u2028c\u2029d", "a b c d"},
             {"a\xff"
              "b\xc3",
              "a\uFFFD"
              "b\uFFFD"},
             {"", ""},
         }) {
        EXPECT_EQ(oneLineText(c.text), c.shown) << testing::PrintToString(c.text);
    }
}

}  // namespace
