#pragma once
// PNG files to and from Cairo image surfaces: libpng encodes with settings chosen for speed,
// Cairo decodes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/ui/cairo_handles.hpp"

namespace ui {

// Encodes an ARGB32 or RGB24 image surface into `bytes`.
std::error_code encodePNG(cairo_surface_t* surface, std::string* bytes);

// Encodes an ARGB32 or RGB24 image surface in memory, then replaces `file` as a whole, so that
// a reader sees either the old picture or the new one, never part of a file.
std::error_code writePNGAtomically(cairo_surface_t* surface, const std::filesystem::path& file);

// The decoded picture; nothing when the file is missing or is not a PNG Cairo can read.
CairoSurfacePtr readPNG(const std::filesystem::path& file);

struct PNGSize {
    std::uint32_t width = 0, height = 0;
};

// The picture's size when `bytes` are a whole PNG: the signature, IHDR first, every chunk
// complete with its CRC right, image data present and IEND last. A file cut short or
// changed anywhere fails without the cost of decoding its pixels.
std::optional<PNGSize> wholePNGSize(std::string_view bytes);

}  // namespace ui
