// Feeds arbitrary bytes to the snapshot decoder. Surrounding whitespace must not change the
// result; whatever decodes must re-encode (decoded doubles are always finite), read back to
// an equal snapshot, and encode again to the same bytes; the publish limits must give the
// same answer whether counting stops early or not.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bridge/publish_limits.hpp"
#include "platform/foundation/text_segmentation.hpp"
#include "shared/snapshot_coding.hpp"

namespace {

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "decode_fuzzer: %s\n", what);
    std::abort();
}

bool hasNonFiniteDouble(const jotbird::WidgetSnapshot& snapshot) {
    if (!std::isfinite(snapshot.updatedAt)) return true;
    for (const auto& note : snapshot.notes)
        if (note.remindAt && !std::isfinite(*note.remindAt)) return true;
    return false;
}

// The early stop of the counter must not change whether a text is within its limit.
void checkCharacterLimit(const std::string& text, std::size_t limit) {
    const bool bounded = foundation::graphemeClusterCount(text, limit) <= limit;
    const bool full = foundation::graphemeClusterCount(text) <= limit;
    require(bounded == full, "early-stopping grapheme count disagrees with the full count");
    require(foundation::graphemeClusterCount(text) <= text.size(), "more clusters than bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto snapshot = jotbird::decode(input);
    // Whitespace around the value never changes the outcome (the decoder trims it itself).
    // Checked on small inputs only, where a second decode costs little.
    if (size <= 4096) {
        const std::string padded = " \n\t\r        " + std::string(input) + "\r\n         \t ";
        require(jotbird::decode(padded) == snapshot, "surrounding whitespace changed the result");
    }
    if (!snapshot) return 0;

    for (const auto& note : snapshot->notes) {
        checkCharacterLimit(note.id, jotbird::maxIdCharacters);
        checkCharacterLimit(note.title, jotbird::maxTitleCharacters);
    }
    (void)jotbird::withinPublishLimits(*snapshot);

    auto encoded = jotbird::encode(*snapshot);
    require(encoded.has_value() || hasNonFiniteDouble(*snapshot),
            "a decoded snapshot with finite doubles failed to encode");
    if (!encoded) return 0;

    auto again = jotbird::decode(*encoded);
    require(again.has_value(), "our own encoding does not decode");
    require(*again == *snapshot, "encode then decode changed the snapshot");
    // -0.0 == 0.0, so compare the sign bits too: the round trip must keep every value.
    require(std::signbit(again->updatedAt) == std::signbit(snapshot->updatedAt),
            "updatedAt lost its sign");
    for (std::size_t i = 0; i < snapshot->notes.size(); ++i) {
        const auto& a = snapshot->notes[i].remindAt;
        const auto& b = again->notes[i].remindAt;
        require(!a || std::signbit(*a) == std::signbit(*b), "remindAt lost its sign");
    }

    auto reencoded = jotbird::encode(*again);
    require(reencoded == encoded, "encoding is not stable across a round trip");
    return 0;
}
