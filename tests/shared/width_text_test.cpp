// The width file's text: what the reader accepts as an integer, and what the writer produces.

#include "shared/width_text.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using jotbird::parseWidthText;
using jotbird::widthText;

TEST(WidthText, ParsesASignedDecimalIntegerAndNothingElse) {
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    struct Case {
        std::string text;
        std::optional<std::int64_t> expected;
    };
    const std::vector<Case> cases{
        {"300", 300},
        {"+300", 300},
        {"0300", 300},
        {"-300", -300},
        {"0", 0},
        {"-0", 0},
        {"+0", 0},
        {"000000000000000000000000000364", 364},
        {"9223372036854775807", max},
        {"-9223372036854775808", min},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-300", std::nullopt},
        {"--300", std::nullopt},
        {" 300", std::nullopt},
        {"300 ", std::nullopt},
        {"300\n", std::nullopt},
        {"\t300", std::nullopt},
        {"3e2", std::nullopt},
        {"300.0", std::nullopt},
        {"0x12C", std::nullopt},
        {"3_00", std::nullopt},
        {std::string("300\0", 4), std::nullopt},
        {"\uFF13\uFF10\uFF10", std::nullopt},  // fullwidth digits
        {"\u0663\u0660\u0660", std::nullopt},  // Arabic-Indic digits
        {"\uFEFF300", std::nullopt},           // byte order mark
        {"300\xFF", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(parseWidthText(c.text), c.expected);
    }
}

TEST(WidthText, WritesEveryStorableWidthAsThreeDigitsThatReadBack) {
    for (std::int64_t width = 280; width <= 480; ++width) {
        const std::string text = widthText(width);
        ASSERT_EQ(text.size(), 3u) << width;
        EXPECT_EQ(parseWidthText(text), width);
    }
}

}  // namespace
