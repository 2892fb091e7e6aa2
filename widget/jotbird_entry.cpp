#include "widget/jotbird_entry.hpp"

#include <nlohmann/json.hpp>

#include "shared/snapshot_coding.hpp"

namespace jotbird {

std::string toJSON(const JotbirdEntry& entry) {
    // Entries only hold decoded or built snapshots, whose doubles are finite.
    const std::string snapshot = encode(entry.snapshot).value_or("null");
    return "{\"date\":" + nlohmann::json(foundation::millisecondsSince1970(entry.date)).dump() +
           ",\"snapshot\":" + snapshot + "}";
}

}  // namespace jotbird
