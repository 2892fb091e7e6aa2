// Feeds arbitrary bytes to the snapshot decoder. Surrounding whitespace must not change the
// result, and neither may a leading byte-order mark; a NUL byte after the input, or a mark
// after whitespace, must make it fail. Whatever decodes must re-encode (decoded doubles are
// always finite), read back to an equal snapshot, and encode again to the same bytes; the
// publish limits must give the same answer whether counting stops early or not; and whatever
// a publish would acknowledge, a reader of the stored file must accept as the same snapshot.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "bridge/publish_limits.hpp"
#include "platform/foundation/text_segmentation.hpp"
#include "shared/container_storage.hpp"
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

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Framing that must not change the outcome, and framing that must make it fail. Checked on
// small inputs only, where more decodes cost little.
void checkFraming(std::string_view input, const std::optional<jotbird::WidgetSnapshot>& result) {
    if (input.size() > 4096 || input.starts_with(byteOrderMark)) return;
    const std::string text(input);
    const std::string padded = " \n\t\r        " + text + "\r\n         \t ";
    require(jotbird::decode(padded) == result, "surrounding whitespace changed the result");
    require(jotbird::decode(std::string(byteOrderMark) + padded) == result,
            "a leading byte-order mark changed the result");
    require(!jotbird::decode(" " + std::string(byteOrderMark) + text),
            "a byte-order mark after whitespace was accepted");
    require(!jotbird::decode(text + std::string(1, '\0') + "}"),
            "input followed by a NUL byte was accepted");
}

// What "publish" stores after this input, as it decides: nothing when it would refuse.
std::optional<std::string> storedByPublish(std::size_t inputSize,
                                           const jotbird::WidgetSnapshot& snapshot) {
    if (inputSize > jotbird::maxSnapshotBytes || !jotbird::withinPublishLimits(snapshot))
        return std::nullopt;
    auto encoded = jotbird::encode(snapshot);
    if (!encoded || encoded->size() > jotbird::maxSnapshotBytes) return std::nullopt;
    return encoded;
}

// The reader's rules for a stored file: within the size limit, decodes, schema 1.
void checkReaderAccepts(const std::string& stored, const jotbird::WidgetSnapshot& published) {
    require(stored.size() <= jotbird::maxSnapshotBytes, "a stored file is past the limit");
    const auto read = jotbird::decode(stored);
    require(read.has_value() && read->schema == 1, "a reader refuses what a publish stored");
    require(*read == published, "a reader sees another snapshot than the one published");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto snapshot = jotbird::decode(input);
    checkFraming(input, snapshot);
    if (!snapshot) return 0;

    for (const auto& note : snapshot->notes) {
        checkCharacterLimit(note.id, jotbird::maxIdCharacters);
        checkCharacterLimit(note.title, jotbird::maxTitleCharacters);
    }
    if (const auto stored = storedByPublish(size, *snapshot))
        checkReaderAccepts(*stored, *snapshot);

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
