#include "shared/widget_snapshot.hpp"

#include <array>
#include <utility>

#include "platform/foundation/clock.hpp"

namespace jotbird {
namespace {

constexpr std::array<std::pair<std::string_view, NotePreview::CodingKeys>, 3> noteKeys{{
    {"id", NotePreview::CodingKeys::id},
    {"title", NotePreview::CodingKeys::title},
    {"remindAt", NotePreview::CodingKeys::remindAt},
}};

constexpr std::array<std::pair<std::string_view, WidgetSnapshot::CodingKeys>, 7> snapshotKeys{{
    {"schema", WidgetSnapshot::CodingKeys::schema},
    {"updatedAt", WidgetSnapshot::CodingKeys::updatedAt},
    {"account", WidgetSnapshot::CodingKeys::account},
    {"total", WidgetSnapshot::CodingKeys::total},
    {"notes", WidgetSnapshot::CodingKeys::notes},
    {"folded", WidgetSnapshot::CodingKeys::folded},
    {"theme", WidgetSnapshot::CodingKeys::theme},
}};

template <class Table, class Key>
std::string_view textOf(const Table& table, Key key) {
    for (const auto& [text, k] : table)
        if (k == key) return text;
    return {};
}

template <class Table>
auto keyOf(const Table& table, std::string_view text)
    -> std::optional<typename Table::value_type::second_type> {
    for (const auto& [t, key] : table)
        if (t == text) return key;
    return std::nullopt;
}

}  // namespace

WidgetSnapshot WidgetSnapshot::empty() {
    WidgetSnapshot snapshot;
    snapshot.updatedAt = foundation::secondsSince1970(foundation::now()) * 1000.0;
    return snapshot;
}

std::string_view stringValue(NotePreview::CodingKeys key) {
    return textOf(noteKeys, key);
}
std::string_view stringValue(WidgetSnapshot::CodingKeys key) {
    return textOf(snapshotKeys, key);
}

std::optional<NotePreview::CodingKeys> noteKey(std::string_view text) {
    return keyOf(noteKeys, text);
}
std::optional<WidgetSnapshot::CodingKeys> snapshotKey(std::string_view text) {
    return keyOf(snapshotKeys, text);
}

}  // namespace jotbird
