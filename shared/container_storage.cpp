#include "shared/container_storage.hpp"

#include <cmath>

#include "platform/foundation/atomic_file.hpp"
#include "platform/foundation/bounded_read.hpp"
#include "platform/foundation/container_lookup.hpp"
#include "shared/snapshot_coding.hpp"
#include "shared/width_text.hpp"

namespace jotbird {
namespace {

// A width text we wrote is three bytes; leading zeros from elsewhere may make it longer, but
// nothing near this long is a width.
constexpr std::size_t maxWidthFileBytes = 4096;

}  // namespace

std::optional<std::filesystem::path> snapshotURL() {
    auto container = foundation::containerURLForSecurityApplicationGroupIdentifier(jotbirdGroup);
    if (!container) return std::nullopt;
    return *container / snapshotFileName;
}

WidgetSnapshot readSnapshot() {
    auto url = snapshotURL();
    if (!url) return WidgetSnapshot::empty();
    // One byte more than a usable file may hold tells an oversized file apart, without
    // reading the rest of it.
    auto bytes = foundation::readFilePrefix(*url, maxSnapshotBytes + 1);
    if (!bytes || bytes->size() > maxSnapshotBytes) return WidgetSnapshot::empty();
    auto snapshot = decode(*bytes);
    if (!snapshot || snapshot->schema != 1) return WidgetSnapshot::empty();
    return std::move(*snapshot);
}

std::optional<std::filesystem::path> widthURL() {
    auto url = snapshotURL();
    if (!url) return std::nullopt;
    return url->replace_filename(widthFileName);
}

std::optional<std::int64_t> mediumWidth() {
    auto url = widthURL();
    if (!url) return std::nullopt;
    auto text = foundation::readFilePrefix(*url, maxWidthFileBytes + 1);
    // Anything but ASCII digits and a sign is refused by the parser, so invalid UTF-8 is too.
    if (!text || text->empty() || text->size() > maxWidthFileBytes) return std::nullopt;
    auto value = parseWidthText(*text);
    if (!value || *value < minMediumWidth || *value > maxMediumWidth) return std::nullopt;
    return value;
}

void rememberMediumWidth(double width) {
    if (!std::isfinite(width) || width < double(minMediumWidth) || width > double(maxMediumWidth))
        return;
    auto url = widthURL();
    if (!url) return;
    const auto rounded = std::int64_t(std::round(width));
    if (mediumWidth() == rounded) return;
    // A failed write is ignored: the next timeline request tries again.
    (void)foundation::writeFileAtomically(*url, widthText(rounded));
}

}  // namespace jotbird
