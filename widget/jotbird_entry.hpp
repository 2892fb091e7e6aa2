#pragma once
// One timeline entry: a snapshot and the instant from which the host shows it.

#include <string>

#include "platform/foundation/clock.hpp"
#include "shared/widget_snapshot.hpp"

namespace jotbird {

struct JotbirdEntry {
    foundation::Date date;
    WidgetSnapshot snapshot;
};

// {"date": milliseconds since the epoch, "snapshot": the snapshot's JSON}.
std::string toJSON(const JotbirdEntry& entry);

}  // namespace jotbird
