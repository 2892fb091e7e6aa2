#pragma once
// What a snapshot must keep to before the bridge publishes it.

#include <cstddef>

#include "shared/widget_snapshot.hpp"

namespace jotbird {

inline constexpr std::size_t maxPublishedNotes = 12;
inline constexpr std::size_t maxIdCharacters = 100;
inline constexpr std::size_t maxTitleCharacters = 200;

// Schema 1, at most 12 notes, total not negative, then each note's id and title within their
// lengths in user-perceived characters; checked in that order.
bool withinPublishLimits(const WidgetSnapshot& snapshot);

}  // namespace jotbird
