// User-perceived characters: our counting against Unicode's own conformance data, and the
// publish limits that rest on it.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/publish_limits.hpp"
#include "platform/foundation/text_segmentation.hpp"
#include "support/samples.hpp"

namespace {

using foundation::graphemeClusterCount;
using jotbird::NotePreview;
using jotbird::WidgetSnapshot;
using jotbird::withinPublishLimits;
using testsupport::repeated;

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// One line of GraphemeBreakTest.txt: "÷ 0020 × 0308 ÷ 0020 ÷  # comment".
struct BreakTestLine {
    std::string text;
    std::size_t clusters = 0;
    bool surrogate = false;  // not expressible as UTF-8
};

std::optional<BreakTestLine> parseBreakTestLine(const std::string& line) {
    std::istringstream tokens(line.substr(0, line.find('#')));
    BreakTestLine parsed;
    std::size_t codePoints = 0, breaks = 0;
    std::string token;
    bool pendingBreak = false;
    while (tokens >> token) {
        if (token == "\u00F7") {
            pendingBreak = true;
        } else if (token == "\u00D7") {
            pendingBreak = false;
        } else {
            // A break between two code points starts a new cluster; the ones at the
            // ends do not.
            if (codePoints > 0 && pendingBreak) ++breaks;
            pendingBreak = false;
            const std::uint32_t cp = std::stoul(token, nullptr, 16);
            parsed.surrogate |= cp >= 0xD800 && cp <= 0xDFFF;
            appendUtf8(parsed.text, cp);
            ++codePoints;
        }
    }
    if (codePoints == 0) return std::nullopt;
    parsed.clusters = breaks + 1;
    return parsed;
}

TEST(GraphemeClusterCount, AgreesWithEveryLineOfUnicodeBreakTests) {
    std::ifstream file(GRAPHEME_BREAK_TEST_FILE);
    ASSERT_TRUE(file) << "cannot open " << GRAPHEME_BREAK_TEST_FILE
                      << " (Debian package unicode-data)";
    std::string line;
    std::size_t number = 0, checked = 0;
    while (std::getline(file, line)) {
        ++number;
        const auto parsed = parseBreakTestLine(line);
        // Lone surrogates cannot be written in UTF-8, which is all the counter takes.
        if (!parsed || parsed->surrogate) continue;
        ++checked;
        const std::size_t count = graphemeClusterCount(parsed->text);
        EXPECT_EQ(count, parsed->clusters) << "line " << number << ": " << line;
        // Counting may stop early past a limit, but never before it.
        EXPECT_EQ(graphemeClusterCount(parsed->text, parsed->clusters), parsed->clusters)
            << "line " << number;
        EXPECT_GT(graphemeClusterCount(parsed->text, parsed->clusters - 1), parsed->clusters - 1)
            << "line " << number;
    }
    EXPECT_GT(checked, 0u) << "no test lines in " << GRAPHEME_BREAK_TEST_FILE;
}

WidgetSnapshot withinLimits() {
    return {.schema = 1,
            .updatedAt = 0,
            .account = "",
            .total = 0,
            .notes = {{"a", "b", std::nullopt}}};
}

TEST(PublishLimits, CountIdsAndTitlesInUserPerceivedCharacters) {
    // Each unit is one character of many bytes; a byte count would refuse all of these.
    struct Unit {
        std::string name;
        std::string text;
    };
    const std::vector<Unit> units{
        {"flag", std::string(testsupport::flag)},
        {"family", std::string(testsupport::family)},
        {"letter with marks", std::string(testsupport::markedLetter)},
        {"CR LF", "\r\n"},
        {"hangul jamo syllable", "\u1100\u1161\u11A8"},
        {"CJK", "\u4E2D"},
        {"ascii", "x"},
    };
    struct Field {
        std::string name;
        std::size_t limit;
        std::string NotePreview::*member;
    };
    const std::vector<Field> fields{{"id", 100, &NotePreview::id},
                                    {"title", 200, &NotePreview::title}};
    for (const Field& field : fields) {
        for (const Unit& unit : units) {
            for (const std::size_t count : {field.limit, field.limit + 1}) {
                SCOPED_TRACE(field.name + " of " + std::to_string(count) + " x " + unit.name);
                WidgetSnapshot snapshot = withinLimits();
                snapshot.notes[0].*field.member = repeated(unit.text, count);
                EXPECT_EQ(withinPublishLimits(snapshot), count <= field.limit);
            }
        }
    }
}

TEST(PublishLimits, PairRegionalIndicatorsIntoFlags) {
    // 2n indicators make n flags; one more starts another character.
    const std::string indicator = "\U0001F1E6";
    struct Case {
        std::size_t indicators;
        bool passes;
    };
    for (const Case c : {Case{200, true}, Case{201, false}, Case{400, true}, Case{401, false}}) {
        SCOPED_TRACE(std::to_string(c.indicators) + " regional indicators");
        WidgetSnapshot snapshot = withinLimits();
        std::string& target = c.indicators <= 201 ? snapshot.notes[0].id : snapshot.notes[0].title;
        target = repeated(indicator, c.indicators);
        EXPECT_EQ(withinPublishLimits(snapshot), c.passes);
    }
}

TEST(PublishLimits, CheckTheSnapshotAsAWhole) {
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    auto notes = [](std::size_t count) {
        return std::vector<NotePreview>(count, NotePreview{"id", "title", 1.0});
    };
    struct Case {
        std::string name;
        std::int64_t schema;
        std::int64_t total;
        std::vector<NotePreview> notes;
        bool passes;
    };
    std::vector<Case> cases{
        {"schema 1", 1, 0, notes(1), true},
        {"schema 0", 0, 0, notes(1), false},
        {"schema 2", 2, 0, notes(1), false},
        {"schema -1", -1, 0, notes(1), false},
        {"schema max", max, 0, notes(1), false},
        {"no notes", 1, 0, notes(0), true},
        {"12 notes", 1, 12, notes(12), true},
        {"13 notes", 1, 13, notes(13), false},
        {"total -1", 1, -1, notes(0), false},
        {"total min", 1, min, notes(0), false},
        {"total 0 beside five notes", 1, 0, notes(5), true},
        {"total max", 1, max, notes(1), true},
        {"empty id and title", 1, 0, {NotePreview{"", "", std::nullopt}}, true},
    };
    // The last of 12 notes is checked as closely as the first.
    std::vector<NotePreview> lateBreach = notes(12);
    lateBreach.back().title = repeated(testsupport::flag, 201);
    cases.push_back({"title of the 12th note too long", 1, 0, lateBreach, false});
    lateBreach.back().title = "ok";
    lateBreach.back().id = repeated(testsupport::family, 101);
    cases.push_back({"id of the 12th note too long", 1, 0, lateBreach, false});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WidgetSnapshot snapshot{
            .schema = c.schema, .updatedAt = 0, .account = "", .total = c.total, .notes = c.notes};
        EXPECT_EQ(withinPublishLimits(snapshot), c.passes);
    }
}

}  // namespace
