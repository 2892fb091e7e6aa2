#pragma once
// The shared container: where the snapshot and width files live, and how they are read and
// written. Nothing here reports an error: unusable data reads as the empty snapshot or as
// no width.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "shared/widget_snapshot.hpp"

namespace jotbird {

// The application-group identifier, the same in both programs.
inline constexpr std::string_view jotbirdGroup = "group.jotbird.notes";

inline constexpr std::string_view snapshotFileName = "widget-snapshot.json";
inline constexpr std::string_view widthFileName = "medium-width.txt";

// A serialized snapshot is at most this long; a stored file of more is unusable.
inline constexpr std::size_t maxSnapshotBytes = 65535;

inline constexpr std::int64_t minMediumWidth = 280;
inline constexpr std::int64_t maxMediumWidth = 480;

std::optional<std::filesystem::path> snapshotURL();

// The stored snapshot, or the empty snapshot made now when it cannot be used.
WidgetSnapshot readSnapshot();

std::optional<std::filesystem::path> widthURL();

// The stored medium width, always within 280...480, or nothing.
std::optional<std::int64_t> mediumWidth();

// Stores the width, rounded, when it is within 280...480 and differs from the stored one.
void rememberMediumWidth(double width);

}  // namespace jotbird
