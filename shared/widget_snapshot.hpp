#pragma once
// The snapshot record that travels from the notes app, through the bridge, to the widget.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jotbird {

// One row of the widget: a pinned note with an optional reminder.
struct NotePreview {
    // Closed set of JSON keys, in field order; the text of each is the field name.
    enum class CodingKeys { id, title, remindAt };

    std::string id;                  // identity of the row and target of its deep link
    std::string title;               // shown verbatim; may be empty
    std::optional<double> remindAt;  // milliseconds since 1970-01-01 00:00 UTC

    bool operator==(const NotePreview&) const = default;
};

// The whole widget content as published by the notes app.
struct WidgetSnapshot {
    enum class CodingKeys { schema, updatedAt, account, total, notes, folded, theme };

    std::int64_t schema = 1;
    double updatedAt = 0;  // milliseconds since the epoch; nobody interprets it
    std::string account;
    std::int64_t total = 0;  // the count shown in the header, not tied to notes.size()
    std::vector<NotePreview> notes;
    std::optional<std::int64_t> folded;  // only values >= 1 mean anything
    std::optional<std::string> theme;    // "dark" or "light" force a scheme

    // A new empty snapshot stamped with the current time; reads the clock on every call.
    static WidgetSnapshot empty();

    bool operator==(const WidgetSnapshot&) const = default;
};

// A note's identity in the widget's list.
inline const std::string& identity(const NotePreview& note) {
    return note.id;
}

// Key texts, and text to key by exact, case-sensitive comparison.
std::string_view stringValue(NotePreview::CodingKeys key);
std::string_view stringValue(WidgetSnapshot::CodingKeys key);
std::optional<NotePreview::CodingKeys> noteKey(std::string_view text);
std::optional<WidgetSnapshot::CodingKeys> snapshotKey(std::string_view text);

}  // namespace jotbird
