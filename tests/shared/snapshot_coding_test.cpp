// Decoding is strict about every field it knows and blind to everything else; encoding writes
// back exactly what decoding accepts.

#include "shared/snapshot_coding.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/samples.hpp"

namespace {

using jotbird::decode;
using jotbird::encode;
using jotbird::NotePreview;
using jotbird::WidgetSnapshot;

// A JSON object written member by member, so that a case can put any raw text in a value.
struct Member {
    std::string key;
    std::string raw;
};
using Members = std::vector<Member>;

std::string objectText(const Members& members) {
    std::string text = "{";
    for (const Member& member : members) {
        if (text.size() > 1) text += ',';
        text += '"' + member.key + "\":" + member.raw;
    }
    return text + "}";
}

// Replaces a member's value, or removes the member when `raw` is nullopt.
Members changed(Members members, const std::string& key, const std::optional<std::string>& raw) {
    std::erase_if(members, [&](const Member& m) { return m.key == key && !raw; });
    for (Member& member : members)
        if (member.key == key) member.raw = *raw;
    return members;
}

Members baseNote() {
    return {{"id", R"("note-1")"}, {"title", R"("Buy milk")"}, {"remindAt", "1700000360000"}};
}
const std::string secondNote = R"({"id":"note-2","title":""})";

Members baseTop(const std::string& firstNote = objectText(baseNote())) {
    return {{"schema", "1"},
            {"updatedAt", "1700000000123.5"},
            {"account", R"("me@example.com")"},
            {"total", "7"},
            {"notes", "[" + firstNote + "," + secondNote + "]"},
            {"folded", "3"},
            {"theme", R"("dark")"}};
}

// The base document with one top-level member changed.
std::string withTop(const std::string& key, const std::optional<std::string>& raw) {
    return objectText(changed(baseTop(), key, raw));
}

// The base document with one member of the first note changed.
std::string withNote(const std::string& key, const std::optional<std::string>& raw) {
    return objectText(baseTop(objectText(changed(baseNote(), key, raw))));
}

WidgetSnapshot baseSnapshot() {
    return {.schema = 1,
            .updatedAt = 1700000000123.5,
            .account = "me@example.com",
            .total = 7,
            .notes = {{"note-1", "Buy milk", 1700000360000.0}, {"note-2", "", std::nullopt}},
            .folded = 3,
            .theme = "dark"};
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

std::set<std::string> keysOf(const nlohmann::json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items())
        keys.insert(item.key());
    return keys;
}

const std::set<std::string> allTopKeys{"schema", "updatedAt", "account", "total",
                                       "notes",  "folded",    "theme"};
const std::set<std::string> requiredTopKeys{"schema", "updatedAt", "account", "total", "notes"};

TEST(SnapshotDecode, ReadsEveryFieldOfAFullDocument) {
    const auto decoded = decode(objectText(baseTop()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, baseSnapshot());
}

TEST(SnapshotDecode, RejectsRequiredKeysThatAreMissingNullOrOfTheWrongType) {
    struct Case {
        bool inNote;
        std::string key;
        std::vector<std::optional<std::string>> values;  // nullopt: the key is missing
    };
    const std::vector<Case> cases{
        {false, "schema", {std::nullopt, "null", R"("1")", "true", "[1]", "{}"}},
        {false, "updatedAt", {std::nullopt, "null", R"("1700000000000")", "false", "[]", "{}"}},
        {false, "account", {std::nullopt, "null", "1", "true", R"(["me"])", "{}"}},
        {false, "total", {std::nullopt, "null", R"("7")", "true", "[7]", "{}"}},
        {false,
         "notes",
         {std::nullopt, "null", R"("[]")", "{}", "1", "true", "[1]", "[null]", R"(["note-1"])",
          "[[]]", "[true]", "[{}]"}},
        {true, "id", {std::nullopt, "null", "1", "true", "[]", "{}"}},
        {true, "title", {std::nullopt, "null", "1", "false", R"(["Buy milk"])", "{}"}},
    };
    for (const Case& c : cases) {
        for (const auto& value : c.values) {
            const std::string text = c.inNote ? withNote(c.key, value) : withTop(c.key, value);
            SCOPED_TRACE(text);
            EXPECT_FALSE(decode(text));
        }
    }
}

TEST(SnapshotDecode, RejectsOptionalKeysOfTheWrongType) {
    struct Case {
        bool inNote;
        std::string key;
        std::vector<std::string> values;
    };
    const std::vector<Case> cases{
        {false, "folded", {R"("3")", "3.5", "true", "[3]", "{}"}},
        {false, "theme", {"1", "true", R"(["dark"])", "{}"}},
        {true, "remindAt", {R"("1700000360000")", "true", "[1]", "{}"}},
    };
    for (const Case& c : cases) {
        for (const auto& value : c.values) {
            const std::string text = c.inNote ? withNote(c.key, value) : withTop(c.key, value);
            SCOPED_TRACE(text);
            EXPECT_FALSE(decode(text));
        }
    }
}

TEST(SnapshotDecode, ChecksEveryNoteNotOnlyTheFirst) {
    const std::string text = objectText(
        changed(baseTop(), "notes", "[" + objectText(baseNote()) + R"(,{"id":"x","title":3}])"));
    EXPECT_FALSE(decode(text));
}

TEST(SnapshotDecode, IntegerFieldsTakeExactlyTheSigned64BitIntegers) {
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    struct Case {
        std::string raw;
        std::optional<std::int64_t> expected;
    };
    const std::vector<Case> cases{
        {"0", 0},
        {"-1", -1},
        {"9223372036854775807", max},
        {"-9223372036854775808", min},
        // Integral values written with a fraction or an exponent are integers too.
        {"1.0", 1},
        {"1e0", 1},
        {"1E2", 100},
        {"-0.0", 0},
        {"2.5e1", 25},
        {"9007199254740992.0", 9007199254740992},
        {"-9.007199254740992e15", -9007199254740992},
        {"1e3", 1000},
        {"1E+2", 100},
        {"100e-2", 1},
        {"12.30e1", 123},
        {"-0", 0},
        {"0e999999999999999999999", 0},
        {"0.000e-5", 0},
        // Judged from the text: past 2^53 a double no longer tells neighbours apart, the text
        // still does.
        {"9007199254740993.0", 9007199254740993},
        {"9007199254740994.0", 9007199254740994},
        {"9.2e18", 9200000000000000000},
        {"9.223372036854775807e18", max},
        {"-9.223372036854775808e18", min},
        {"922337203685477580.7e1", max},
        {"9.223372036854775808e18", std::nullopt},
        {"-9.223372036854775809e18", std::nullopt},
        // Fractions that round to a whole double are still fractions.
        {"1.0000000000000001", std::nullopt},
        {"0.99999999999999999999", std::nullopt},
        {"4503599627370497.5", std::nullopt},
        {"1e-400", std::nullopt},
        {"1.5e0", std::nullopt},
        {"1e-999999999999999999999", std::nullopt},
        {"3.5", std::nullopt},
        {"-0.5", std::nullopt},
        {"1e-1", std::nullopt},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"18446744073709551615", std::nullopt},
        {"18446744073709551616", std::nullopt},
        {"-18446744073709551616", std::nullopt},
        {"1e19", std::nullopt},
        {"9.3e18", std::nullopt},
        {"-9.3e18", std::nullopt},
        {"1e400", std::nullopt},
    };
    for (const char* key : {"schema", "total", "folded"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(key) + ": " + c.raw);
            const auto decoded = decode(withTop(key, c.raw));
            ASSERT_EQ(decoded.has_value(), c.expected.has_value());
            if (!decoded) continue;
            const std::int64_t value = std::string(key) == "schema"  ? decoded->schema
                                       : std::string(key) == "total" ? decoded->total
                                                                     : decoded->folded.value();
            EXPECT_EQ(value, *c.expected);
        }
    }
}

TEST(SnapshotDecode, DoubleFieldsTakeAnyFiniteNumber) {
    struct Case {
        std::string raw;
        std::optional<double> expected;
    };
    const std::vector<Case> cases{
        {"0", 0.0},
        {"-0.0", -0.0},
        // Written as an integer, a negative zero keeps its sign all the same.
        {"-0", -0.0},
        {"-0 ", -0.0},
        {"-0e0", -0.0},
        {"0e0", 0.0},
        {"0.1", 0.1},
        {"1700000000123.5", 1700000000123.5},
        {"-1", -1.0},
        {"1e300", 1e300},
        {"-1.7976931348623157e308", -std::numeric_limits<double>::max()},
        {"5e-324", std::numeric_limits<double>::denorm_min()},
        {"9223372036854775807", 9223372036854775807.0},
        {"18446744073709551615", 18446744073709551615.0},
        {"100000000000000000000", 1e20},
        // Too large for a double: it would come back as infinity, which cannot be stored.
        {"1e400", std::nullopt},
        {"-1e400", std::nullopt},
    };
    for (const bool inNote : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE((inNote ? "remindAt: " : "updatedAt: ") + c.raw);
            const auto decoded =
                decode(inNote ? withNote("remindAt", c.raw) : withTop("updatedAt", c.raw));
            ASSERT_EQ(decoded.has_value(), c.expected.has_value());
            if (!decoded) continue;
            const double value =
                inNote ? decoded->notes.at(0).remindAt.value() : decoded->updatedAt;
            EXPECT_TRUE(sameBits(value, *c.expected)) << value;
        }
    }
}

TEST(SnapshotDecode, NullOrMissingOptionalsAreAbsentAndLeftOutWhenEncoded) {
    struct Case {
        bool inNote;
        std::string key;
        std::optional<std::string> raw;
    };
    const std::vector<Case> cases{
        {false, "folded", "null"},  {false, "folded", std::nullopt},
        {false, "theme", "null"},   {false, "theme", std::nullopt},
        {true, "remindAt", "null"}, {true, "remindAt", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string text = c.inNote ? withNote(c.key, c.raw) : withTop(c.key, c.raw);
        SCOPED_TRACE(text);
        const auto decoded = decode(text);
        ASSERT_TRUE(decoded);
        WidgetSnapshot expected = baseSnapshot();
        if (c.key == "folded") expected.folded.reset();
        if (c.key == "theme") expected.theme.reset();
        if (c.key == "remindAt") expected.notes[0].remindAt.reset();
        EXPECT_EQ(*decoded, expected);

        const auto encoded = encode(*decoded);
        ASSERT_TRUE(encoded);
        const auto json = nlohmann::json::parse(*encoded);
        const auto& object = c.inNote ? json.at("notes").at(0) : json;
        EXPECT_FALSE(object.contains(c.key)) << *encoded;
    }
}

TEST(SnapshotDecode, DropsUnknownKeysAtBothLevels) {
    // Values that a naive skipper could trip over: brackets inside strings, deep values,
    // keys that look like ours.
    const std::vector<std::string> unknownValues{
        "null",
        "true",
        "-12.5e3",
        R"("}]{[\"")",
        R"({"schema":2,"notes":"x","total":"no"})",
        R"([[{"id":1}],[],{"a":[null,{"b":[]}]}])",
    };
    for (const std::string& value : unknownValues) {
        SCOPED_TRACE(value);
        Members note = baseNote();
        note.push_back({"color", value});
        note.insert(note.begin(), {"pinned", value});
        Members top = baseTop(objectText(note));
        top.push_back({"extra", value});
        top.insert(top.begin() + 2, {"version", value});

        const auto decoded = decode(objectText(top));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, baseSnapshot());
        const auto encoded = encode(*decoded);
        ASSERT_TRUE(encoded);
        const auto json = nlohmann::json::parse(*encoded);
        EXPECT_EQ(keysOf(json), allTopKeys);
        EXPECT_EQ(keysOf(json.at("notes").at(0)),
                  (std::set<std::string>{"id", "title", "remindAt"}));
    }
}

TEST(SnapshotDecode, MatchesKeysOnlyWithTheirExactSpelling) {
    // A near miss is an unknown key: ignored, so the real key counts as missing.
    struct Case {
        bool inNote;
        std::string key;
        std::vector<std::string> nearMisses;
    };
    const std::vector<Case> cases{
        {false, "updatedAt", {"UpdatedAt", "updated_at", "updatedat", "UPDATEDAT", "updatedAt "}},
        {false, "schema", {"Schema"}},
        {false, "account", {"Account"}},
        {false, "total", {"Total"}},
        {false, "notes", {"Notes"}},
        {true, "id", {"ID", "Id"}},
        {true, "title", {"Title"}},
    };
    for (const Case& c : cases) {
        for (const std::string& nearMiss : c.nearMisses) {
            Members members = c.inNote ? baseNote() : baseTop();
            for (Member& member : members)
                if (member.key == c.key) member.key = nearMiss;
            const std::string text =
                c.inNote ? objectText(baseTop(objectText(members))) : objectText(members);
            SCOPED_TRACE(text);
            EXPECT_FALSE(decode(text));
        }
    }

    // Beside the real key, a near miss changes nothing.
    Members top = baseTop();
    top.push_back({"UpdatedAt", R"("not a number")"});
    top.push_back({"Theme", "42"});
    const auto decoded = decode(objectText(top));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, baseSnapshot());
}

TEST(SnapshotDecode, RejectsInputThatIsNotExactlyOneObject) {
    const std::string valid = objectText(baseTop());
    const std::string nul(1, '\0');
    const std::string bom = "\xEF\xBB\xBF";
    const std::vector<std::string> inputs{
        "",
        " ",
        "{}",
        "[]",
        "null",
        "1",
        R"("{}")",
        "[" + valid + "]",
        valid + valid,
        valid + " x",
        valid + ",",
        valid.substr(0, valid.size() - 1),
        "/* note */" + valid,
        objectText(changed(baseTop(), "notes", R"("[]")")),
        // The reader stops at a NUL byte; what follows must still count.
        valid + nul,
        valid + nul + "garbage}}}\xff",
        valid + " " + nul + " ",
        nul + valid,
        valid + nul + valid,
        withTop("account", "\"a" + nul + "b\""),
        // A byte-order mark is no JSON whitespace: only one at the very start is taken.
        " " + bom + valid,
        "\t" + bom + valid,
        "\n" + bom + valid,
        bom + bom + valid,
        bom + " " + bom + valid,
        valid + bom,
        "\xEF\xBB" + valid,
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        EXPECT_FALSE(decode(input));
    }
    // Whitespace around the one object is fine, and so is one byte-order mark before all.
    for (const std::string& input : {" \n\t" + valid + "\r\n ", bom + valid, bom + " \n" + valid}) {
        SCOPED_TRACE(input);
        const auto decoded = decode(input);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, baseSnapshot());
    }
}

TEST(SnapshotDecode, RejectsInvalidUtf8Anywhere) {
    const std::vector<std::string> badText{
        "\x80",              // continuation byte alone
        "\xC0\xAF",          // overlong '/'
        "\xE0\x80\xAF",      // overlong, three bytes
        "\xED\xA0\x80",      // a surrogate, encoded directly
        "\xE4\xB8",          // cut short
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xFF",              // never valid
        "\\ud800",           // lone high surrogate, escaped
        "\\udc00",           // lone low surrogate, escaped
        "\\ud800\\u0041",    // high surrogate followed by no low one
    };
    for (const std::string& bad : badText) {
        const std::string value = "\"ok" + bad + "\"";
        const std::vector<std::string> documents{
            withTop("account", value),
            withTop("theme", value),
            withNote("title", value),
            withNote("id", value),
            objectText(changed(baseTop(), "schema", "1," + value + ":1")),  // as a key
            objectText(changed(baseTop(), "schema", R"(1,"extra":)" + value)),
            withNote("remindAt", R"(1,"extra":[)" + value + "]"),
        };
        for (const std::string& document : documents) {
            SCOPED_TRACE(document);
            EXPECT_FALSE(decode(document));
        }
    }
}

TEST(SnapshotDecode, KeepsValidUnicodeTextExactly) {
    const std::string text = "中文 \U0001F600 \u00E9\u0301 \u2028 \\ \" / \x01";
    const auto decoded =
        decode(withTop("account", nlohmann::json(text).dump()));  // the writer escapes it
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->account, text);
    // Escapes for characters outside the basic plane decode to their UTF-8 bytes.
    const auto escaped = decode(withNote("title", R"("\ud83d\ude00\u00e9\u0000!")"));
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->notes[0].title, std::string("\U0001F600\u00E9\0!", 8));
}

TEST(SnapshotDecode, TheLastOfRepeatedKeysWins) {
    struct Case {
        std::string name;
        std::string text;
        WidgetSnapshot expected;
    };
    auto expect = [](auto change) {
        WidgetSnapshot snapshot = baseSnapshot();
        change(snapshot);
        return snapshot;
    };
    const std::vector<Case> cases{
        {"total", objectText(changed(baseTop(), "total", R"(1,"total":2)")),
         expect([](WidgetSnapshot& s) { s.total = 2; })},
        {"schema", objectText(changed(baseTop(), "schema", R"(2,"schema":1)")),
         expect([](WidgetSnapshot&) {})},
        {"folded then null", objectText(changed(baseTop(), "folded", R"(3,"folded":null)")),
         expect([](WidgetSnapshot& s) { s.folded.reset(); })},
        {"null then theme", objectText(changed(baseTop(), "theme", R"(null,"theme":"light")")),
         expect([](WidgetSnapshot& s) { s.theme = "light"; })},
        {"notes", objectText(changed(baseTop(), "notes", R"([{"id":"x","title":"y"}],"notes":[])")),
         expect([](WidgetSnapshot& s) { s.notes.clear(); })},
        {"note id", withNote("id", R"("first","id":"second")"),
         expect([](WidgetSnapshot& s) { s.notes[0].id = "second"; })},
        {"note reminder then null", withNote("remindAt", R"(5,"remindAt":null)"),
         expect([](WidgetSnapshot& s) { s.notes[0].remindAt.reset(); })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + ": " + c.text);
        const auto decoded = decode(c.text);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, c.expected);
    }
    // Every value is judged as it comes, so one of the wrong type fails the decode even when a
    // later one would have replaced it.
    const std::vector<std::string> overriddenButWrong{
        objectText(changed(baseTop(), "total", R"("seven","total":7)")),
        objectText(changed(baseTop(), "schema", R"(1.5,"schema":1)")),
        objectText(changed(baseTop(), "notes", R"({},"notes":[])")),
        withNote("title", R"(3,"title":"ok")"),
    };
    for (const std::string& text : overriddenButWrong) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(decode(text));
    }
}

TEST(SnapshotDecode, SurvivesHostileNesting) {
    // Deep enough to overflow any recursive reader's stack, yet within a 64 KiB input.
    const std::string arrays = testsupport::nestedArrays(testsupport::hostileDepth);
    const std::string objects = testsupport::nestedObjects(testsupport::hostileDepth);
    ASSERT_LE(arrays.size(), 65535u);
    struct Case {
        std::string name;
        std::string text;
        bool decodes;
    };
    std::vector<Case> cases;
    for (const auto& [kind, nested] :
         {std::pair{"arrays", arrays}, std::pair{"objects", objects}}) {
        const std::string k = kind;
        Members top = baseTop();
        top.insert(top.begin() + 1, {"ignored", nested});
        cases.push_back({k + " under an unknown key", objectText(top), true});
        Members note = baseNote();
        note.push_back({"ignored", nested});
        cases.push_back(
            {k + " under an unknown note key", objectText(baseTop(objectText(note))), true});
        cases.push_back({k + " as the notes", withTop("notes", nested), false});
        cases.push_back({k + " inside the notes", withTop("notes", "[" + nested + "]"), false});
        cases.push_back({k + " as the schema", withTop("schema", nested), false});
        cases.push_back({k + " as the account", withTop("account", nested), false});
        cases.push_back({k + " as a note id", withNote("id", nested), false});
        cases.push_back({k + " at the top level", nested, false});
        cases.push_back(
            {k + " left open under an unknown key",
             objectText(changed(baseTop(), "theme",
                                R"("dark","ignored":)" + nested.substr(0, nested.size() / 2))),
             false});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = decode(c.text);
        EXPECT_EQ(decoded.has_value(), c.decodes);
        if (decoded) {
            EXPECT_EQ(*decoded, baseSnapshot());
        }
    }
}

TEST(SnapshotEncode, RoundTripsKeepEveryValue) {
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    auto note = [](std::string id, std::string title, std::optional<double> remindAt) {
        return NotePreview{std::move(id), std::move(title), remindAt};
    };
    std::vector<WidgetSnapshot> snapshots{
        baseSnapshot(),
        testsupport::sampleSnapshot(),
        WidgetSnapshot{.schema = min, .updatedAt = 0.1, .account = "", .total = max, .notes = {}},
        WidgetSnapshot{.schema = max,
                       .updatedAt = -0.0,
                       .account = "a",
                       .total = min,
                       .notes = {note("", "", 1e300), note("", "", -1e300)},
                       .folded = min,
                       .theme = ""},
        WidgetSnapshot{.schema = 1,
                       .updatedAt = std::numeric_limits<double>::max(),
                       .account = "x",
                       .total = 0,
                       .notes = {note("same", "a", std::numeric_limits<double>::denorm_min()),
                                 note("same", "b", -0.0), note("q", "c", 9007199254740993.0)},
                       .folded = max,
                       .theme = "light"},
        WidgetSnapshot{
            .schema = 1,
            .updatedAt = 1.0 / 3.0,
            .account = std::string("nul\0inside", 10),
            .total = -1,
            .notes = {note("\"quoted\" \\ /slash/ </script>", "\t\n\r\b\f\x01\x1F\x7F", 123.456),
                      note("中文", "\U0001F1EB\U0001F1F7\u200D\u2028\u2029\uFEFF", 1e-300)},
            .folded = 0,
            .theme = "dark"},
    };
    for (const WidgetSnapshot& snapshot : snapshots) {
        const auto encoded = encode(snapshot);
        ASSERT_TRUE(encoded);
        SCOPED_TRACE(*encoded);
        const auto decoded = decode(*encoded);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, snapshot);
        // operator== cannot tell -0.0 from 0.0.
        EXPECT_TRUE(sameBits(decoded->updatedAt, snapshot.updatedAt));
        for (std::size_t i = 0; i < snapshot.notes.size(); ++i) {
            if (snapshot.notes[i].remindAt && decoded->notes[i].remindAt) {
                EXPECT_TRUE(sameBits(*decoded->notes[i].remindAt, *snapshot.notes[i].remindAt));
            }
        }
        EXPECT_EQ(encode(*decoded), encoded);
    }
}

TEST(SnapshotEncode, WritesOneCompactObjectWithThePresentKeys) {
    WidgetSnapshot snapshot = baseSnapshot();
    const auto encoded = encode(snapshot);
    ASSERT_TRUE(encoded);
    // Compact: the writer's own compact form of the same object, with nothing after it.
    EXPECT_EQ(nlohmann::ordered_json::parse(*encoded).dump(), *encoded);
    const auto json = nlohmann::json::parse(*encoded);
    EXPECT_EQ(keysOf(json), allTopKeys);
    EXPECT_EQ(json.at("schema").get<std::int64_t>(), 1);
    EXPECT_TRUE(json.at("schema").is_number_integer());
    EXPECT_TRUE(json.at("total").is_number_integer());
    EXPECT_TRUE(json.at("folded").is_number_integer());
    EXPECT_EQ(json.at("updatedAt").get<double>(), 1700000000123.5);
    EXPECT_EQ(json.at("theme"), "dark");
    EXPECT_EQ(keysOf(json.at("notes").at(0)), (std::set<std::string>{"id", "title", "remindAt"}));
    EXPECT_EQ(keysOf(json.at("notes").at(1)), (std::set<std::string>{"id", "title"}));
}

TEST(SnapshotEncode, WholeDoublesKeepTheWritersFractionAndReadBackExactly) {
    // The writer marks a double as such with ".0", so the stored form of a whole time may be
    // longer than the caller's text; the bridge measures the stored form.
    WidgetSnapshot snapshot = baseSnapshot();
    snapshot.updatedAt = 1765300000000;
    snapshot.notes[0].remindAt = 1e5;
    const auto encoded = encode(snapshot);
    ASSERT_TRUE(encoded);
    EXPECT_NE(encoded->find(R"("updatedAt":1765300000000.0,)"), std::string::npos) << *encoded;
    EXPECT_NE(encoded->find(R"("remindAt":100000.0})"), std::string::npos) << *encoded;
    const auto decoded = decode(*encoded);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, snapshot);
}

TEST(SnapshotEncode, TheEmptySnapshotHasExactlyFiveKeys) {
    const auto encoded = encode(WidgetSnapshot::empty());
    ASSERT_TRUE(encoded);
    const auto json = nlohmann::json::parse(*encoded);
    EXPECT_EQ(keysOf(json), requiredTopKeys);
    EXPECT_EQ(json.at("schema"), 1);
    EXPECT_EQ(json.at("account"), "");
    EXPECT_EQ(json.at("total"), 0);
    EXPECT_EQ(json.at("notes"), nlohmann::json::array());
    EXPECT_TRUE(json.at("updatedAt").is_number());
}

TEST(SnapshotEncode, GivesNothingForWhatJsonCannotHold) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::string name;
        WidgetSnapshot snapshot;
    };
    std::vector<Case> cases;
    for (const double bad : {inf, -inf, nan}) {
        WidgetSnapshot updated = baseSnapshot();
        updated.updatedAt = bad;
        cases.push_back({"updatedAt " + std::to_string(bad), updated});
        WidgetSnapshot reminded = baseSnapshot();
        reminded.notes.push_back({"late", "x", bad});
        cases.push_back({"remindAt of the last note " + std::to_string(bad), reminded});
    }
    WidgetSnapshot badText = baseSnapshot();
    badText.notes[1].title = "\xFF";
    cases.push_back({"invalid UTF-8 in a title", badText});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<std::string> encoded;
        EXPECT_NO_THROW(encoded = encode(c.snapshot));
        EXPECT_FALSE(encoded) << *encoded;
    }
}

double nowInMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

TEST(WidgetSnapshotEmpty, IsStampedWithTheTimeOfEachCallInMilliseconds) {
    // Bracketing the call by the clock shows milliseconds (seconds would be 1000 times
    // smaller), so two calls a second apart differ by about 1000 without waiting a second.
    const double before = nowInMilliseconds();
    const WidgetSnapshot first = WidgetSnapshot::empty();
    const double after = nowInMilliseconds();
    EXPECT_GE(first.updatedAt, std::floor(before));
    EXPECT_LE(first.updatedAt, std::ceil(after));
    EXPECT_EQ(first.schema, 1);
    EXPECT_EQ(first.account, "");
    EXPECT_EQ(first.total, 0);
    EXPECT_TRUE(first.notes.empty());
    EXPECT_FALSE(first.folded);
    EXPECT_FALSE(first.theme);

    // Each call reads the clock again.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const WidgetSnapshot second = WidgetSnapshot::empty();
    EXPECT_GE(second.updatedAt - first.updatedAt, 20.0);
}

}  // namespace
