#include "shared/snapshot_coding.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>

#include "shared/exact_integer.hpp"

namespace jotbird {
namespace {

using Json = nlohmann::json;

// A JSON value as the decoder sees it, before it is put into a field.
struct Scalar {
    enum class Kind { null, boolean, integer, unsignedInteger, floating, string } kind;
    std::int64_t integer = 0;
    std::uint64_t unsignedInteger = 0;
    double floating = 0;
    std::string_view text;  // a floating number as written
    std::string* string = nullptr;
    bool negativeZero = false;  // an integer written "-0"
};

std::optional<std::int64_t> asInteger(const Scalar& v) {
    switch (v.kind) {
        case Scalar::Kind::integer:
            return v.integer;
        case Scalar::Kind::unsignedInteger:
            if (v.unsignedInteger > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
                return std::nullopt;
            return std::int64_t(v.unsignedInteger);
        case Scalar::Kind::floating:
            // Judged from the text, never from the rounded double: 1.0 and 1e3 are integers,
            // 1.0000000000000001 is not, and 9007199254740993.0 keeps its last digit.
            return exactInteger(v.text);
        default:
            return std::nullopt;
    }
}

std::optional<double> asDouble(const Scalar& v) {
    switch (v.kind) {
        case Scalar::Kind::integer:
            return v.negativeZero ? -0.0 : double(v.integer);
        case Scalar::Kind::unsignedInteger:
            return double(v.unsignedInteger);
        case Scalar::Kind::floating:
            // A literal too large for a double would come back as infinity, which no
            // writer can put back: refuse it here rather than store it.
            if (!std::isfinite(v.floating)) return std::nullopt;
            return v.floating;
        default:
            return std::nullopt;
    }
}

// The decoder's input, as an iterator that leaves behind where the JSON reader last looked:
// the reader hands over an integer by value alone, and only its text tells "-0" from "0".
struct TrackedInput {
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    const char* at = nullptr;
    const char** lastRead = nullptr;

    const char& operator*() const {
        *lastRead = at;
        return *at;
    }
    TrackedInput& operator++() {
        ++at;
        return *this;
    }
    TrackedInput operator++(int) {
        TrackedInput before = *this;
        ++at;
        return before;
    }
    bool operator==(const TrackedInput& other) const { return at == other.at; }
};

// Streams parser events straight into a snapshot. Any value under a key that is not ours is
// skipped by counting brackets, so nothing of it is built or kept.
struct SnapshotReader {
    enum class Place { top, snapshot, notes, note, done };

    Place place = Place::top;
    std::size_t skipping = 0;  // depth inside an ignored value
    std::optional<WidgetSnapshot::CodingKeys> snapshotField;
    std::optional<NotePreview::CodingKeys> noteField;
    bool ignoringValue = false;  // the current key is not one of ours

    WidgetSnapshot snapshot;
    bool hasSchema = false, hasUpdatedAt = false, hasAccount = false, hasTotal = false,
         hasNotes = false;
    NotePreview note;
    bool hasId = false, hasTitle = false;

    const char* inputBegin = nullptr;
    const char* lastRead = nullptr;  // kept up to date by TrackedInput

    // Whether the zero just reported was written "-0". The reader has read its text and
    // perhaps the one character after it, never more.
    bool zeroWrittenNegative() const {
        const char* zero = *lastRead == '0' ? lastRead : lastRead - 1;
        return zero > inputBegin && zero[-1] == '-';
    }

    bool scalar(const Scalar& v) {
        if (skipping > 0) return true;
        switch (place) {
            case Place::snapshot:
                return ignoringValue || snapshotValue(v);
            case Place::note:
                return ignoringValue || noteValue(v);
            default:
                return false;  // a bare top-level value, or a note that is not an object
        }
    }

    bool snapshotValue(const Scalar& v) {
        using K = WidgetSnapshot::CodingKeys;
        switch (*snapshotField) {
            case K::schema:
                return assign(snapshot.schema, asInteger(v), hasSchema);
            case K::updatedAt:
                return assign(snapshot.updatedAt, asDouble(v), hasUpdatedAt);
            case K::account:
                return assignText(snapshot.account, v, hasAccount);
            case K::total:
                return assign(snapshot.total, asInteger(v), hasTotal);
            case K::notes:
                return false;  // only an array will do
            case K::folded:
                return assignOptional(snapshot.folded, v, asInteger(v));
            case K::theme:
                if (v.kind == Scalar::Kind::null) return snapshot.theme.reset(), true;
                if (v.kind != Scalar::Kind::string) return false;
                snapshot.theme = std::move(*v.string);
                return true;
        }
        return false;
    }

    bool noteValue(const Scalar& v) {
        using K = NotePreview::CodingKeys;
        switch (*noteField) {
            case K::id:
                return assignText(note.id, v, hasId);
            case K::title:
                return assignText(note.title, v, hasTitle);
            case K::remindAt:
                return assignOptional(note.remindAt, v, asDouble(v));
        }
        return false;
    }

    template <class T>
    static bool assign(T& field, std::optional<T> value, bool& present) {
        if (!value) return false;
        field = *value;
        present = true;
        return true;
    }

    static bool assignText(std::string& field, const Scalar& v, bool& present) {
        if (v.kind != Scalar::Kind::string) return false;
        field = std::move(*v.string);
        present = true;
        return true;
    }

    template <class T>
    static bool assignOptional(std::optional<T>& field, const Scalar& v, std::optional<T> value) {
        if (v.kind == Scalar::Kind::null) return field.reset(), true;
        if (!value) return false;
        field = value;
        return true;
    }

    bool open(bool isObject) {
        if (skipping > 0) return ++skipping, true;
        switch (place) {
            case Place::top:
                if (!isObject) return false;
                place = Place::snapshot;
                return true;
            case Place::snapshot:
                if (ignoringValue) return skipping = 1, true;
                if (isObject || snapshotField != WidgetSnapshot::CodingKeys::notes) return false;
                snapshot.notes.clear();  // a repeated "notes" key replaces the earlier list
                hasNotes = false;
                place = Place::notes;
                return true;
            case Place::notes:
                if (!isObject) return false;
                note = NotePreview{};
                hasId = hasTitle = false;
                place = Place::note;
                return true;
            case Place::note:
                if (ignoringValue) return skipping = 1, true;
                return false;  // no note field holds a container
            case Place::done:
                return false;
        }
        return false;
    }

    bool close() {
        if (skipping > 0) return --skipping, true;
        switch (place) {
            case Place::note:
                if (!hasId || !hasTitle) return false;
                snapshot.notes.push_back(std::move(note));
                place = Place::notes;
                return true;
            case Place::notes:
                hasNotes = true;
                place = Place::snapshot;
                return true;
            case Place::snapshot:
                if (!hasSchema || !hasUpdatedAt || !hasAccount || !hasTotal || !hasNotes)
                    return false;
                place = Place::done;
                return true;
            default:
                return false;
        }
    }

    // The SAX interface of the JSON reader.
    bool null() { return scalar({Scalar::Kind::null}); }
    bool boolean(bool) { return scalar({Scalar::Kind::boolean}); }
    bool number_integer(Json::number_integer_t v) {
        return scalar({.kind = Scalar::Kind::integer,
                       .integer = v,
                       .negativeZero = v == 0 && zeroWrittenNegative()});
    }
    bool number_unsigned(Json::number_unsigned_t v) {
        return scalar({.kind = Scalar::Kind::unsignedInteger, .unsignedInteger = v});
    }
    bool number_float(Json::number_float_t v, const Json::string_t& text) {
        return scalar({.kind = Scalar::Kind::floating, .floating = v, .text = text});
    }
    bool string(Json::string_t& v) { return scalar({.kind = Scalar::Kind::string, .string = &v}); }
    bool binary(Json::binary_t&) { return false; }
    bool start_object(std::size_t) { return open(true); }
    bool start_array(std::size_t) { return open(false); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool key(Json::string_t& text) {
        if (skipping > 0) return true;
        if (place == Place::snapshot) {
            snapshotField = snapshotKey(text);
            ignoringValue = !snapshotField;
        } else {
            noteField = noteKey(text);
            ignoringValue = !noteField;
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        return false;
    }
};

void put(nlohmann::ordered_json& object, WidgetSnapshot::CodingKeys key, auto&& value) {
    object[std::string(stringValue(key))] = std::forward<decltype(value)>(value);
}
void put(nlohmann::ordered_json& object, NotePreview::CodingKeys key, auto&& value) {
    object[std::string(stringValue(key))] = std::forward<decltype(value)>(value);
}

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isJsonWhitespace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// JSON whitespace around the value means nothing, yet the reader's lexer spends as long on a
// byte of it as on a byte of text; padding is dropped here, a run of eight spaces at a time.
std::string_view trimWhitespace(std::string_view text) {
    constexpr std::string_view eightSpaces = "        ";
    while (text.size() >= 8 && text.substr(0, 8) == eightSpaces)
        text.remove_prefix(8);
    while (!text.empty() && isJsonWhitespace(text.front()))
        text.remove_prefix(1);
    while (text.size() >= 8 && text.substr(text.size() - 8) == eightSpaces)
        text.remove_suffix(8);
    while (!text.empty() && isJsonWhitespace(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<WidgetSnapshot> decode(std::string_view utf8Json) {
    // The reader takes a NUL byte for the end of the input, so "{...}\0garbage" would pass;
    // no JSON text holds one raw.
    if (utf8Json.find('\0') != std::string_view::npos) return std::nullopt;
    // A byte-order mark is accepted at the very start only. The reader skips one wherever its
    // input begins, so after the whitespace is dropped, one left in front is refused here.
    if (utf8Json.starts_with(byteOrderMark)) utf8Json.remove_prefix(byteOrderMark.size());
    utf8Json = trimWhitespace(utf8Json);
    if (utf8Json.starts_with(byteOrderMark)) return std::nullopt;
    SnapshotReader reader;
    reader.inputBegin = utf8Json.data();
    const TrackedInput begin{utf8Json.data(), &reader.lastRead};
    const TrackedInput end{utf8Json.data() + utf8Json.size(), &reader.lastRead};
    const bool parsed =
        Json::sax_parse(begin, end, &reader, Json::input_format_t::json, /*strict=*/true);
    if (!parsed || reader.place != SnapshotReader::Place::done) return std::nullopt;
    return std::move(reader.snapshot);
}

std::optional<std::string> encode(const WidgetSnapshot& snapshot) {
    using S = WidgetSnapshot::CodingKeys;
    using N = NotePreview::CodingKeys;
    if (!std::isfinite(snapshot.updatedAt)) return std::nullopt;

    auto notes = nlohmann::ordered_json::array();
    for (const NotePreview& note : snapshot.notes) {
        if (note.remindAt && !std::isfinite(*note.remindAt)) return std::nullopt;
        nlohmann::ordered_json object;
        put(object, N::id, note.id);
        put(object, N::title, note.title);
        if (note.remindAt) put(object, N::remindAt, *note.remindAt);
        notes.push_back(std::move(object));
    }

    nlohmann::ordered_json object;
    put(object, S::schema, snapshot.schema);
    put(object, S::updatedAt, snapshot.updatedAt);
    put(object, S::account, snapshot.account);
    put(object, S::total, snapshot.total);
    put(object, S::notes, std::move(notes));
    if (snapshot.folded) put(object, S::folded, *snapshot.folded);
    if (snapshot.theme) put(object, S::theme, *snapshot.theme);
    // Strings came through a strict reader or from our own code; refuse rather than
    // throw should invalid UTF-8 ever get here.
    try {
        return object.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

}  // namespace jotbird
