#include "platform/ui/png_file.hpp"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/atomic_file.hpp"

namespace ui {
namespace {

// Straight (not premultiplied) 8-bit rows, RGB when every pixel is opaque, RGBA otherwise.
struct Rows {
    int width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<unsigned char> bytes;
    std::vector<png_bytep> pointers;
};

// Cairo keeps a pixel as one native-endian word: alpha in the top byte, then red, green, blue.
const std::uint32_t* rowOf(const unsigned char* data, int stride, int y) {
    return reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
}

// Whether every pixel's alpha is full; each row is folded whole, which vectorizes.
bool everyPixelOpaque(const unsigned char* data, int stride, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = rowOf(data, stride, y);
        std::uint32_t all = 0xffffffffu;
        for (int x = 0; x < width; ++x)
            all &= row[x];
        if ((all >> 24) != 0xff) return false;
    }
    return true;
}

Rows straightRows(cairo_surface_t* surface) {
    Rows rows;
    rows.width = cairo_image_surface_get_width(surface);
    rows.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const bool argb = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    rows.hasAlpha = argb && !everyPixelOpaque(data, stride, rows.width, rows.height);

    const std::size_t channels = rows.hasAlpha ? 4 : 3;
    rows.bytes.resize(std::size_t(rows.width) * rows.height * channels);
    unsigned char* out = rows.bytes.data();
    for (int y = 0; y < rows.height; ++y) {
        rows.pointers.push_back(out);
        const std::uint32_t* row = rowOf(data, stride, y);
        // Opaque pictures, nearly every widget, need neither alpha nor division.
        if (!rows.hasAlpha) {
            for (int x = 0; x < rows.width; ++x, out += 3) {
                out[0] = static_cast<unsigned char>(row[x] >> 16);
                out[1] = static_cast<unsigned char>(row[x] >> 8);
                out[2] = static_cast<unsigned char>(row[x]);
            }
            continue;
        }
        for (int x = 0; x < rows.width; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            unsigned r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            if (a != 0xff && a != 0) {
                r = (r * 255 + a / 2) / a;
                g = (g * 255 + a / 2) / a;
                b = (b * 255 + a / 2) / a;
            }
            *out++ = static_cast<unsigned char>(r);
            *out++ = static_cast<unsigned char>(g);
            *out++ = static_cast<unsigned char>(b);
            *out++ = static_cast<unsigned char>(a);
        }
    }
    return rows;
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    try {
        static_cast<std::string*>(png_get_io_ptr(png))
            ->append(reinterpret_cast<char*>(data), length);
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return std::uint32_t(std::uint8_t(bytes[at + i])); };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

constexpr std::string_view pngSignature{"\x89PNG\r\n\x1a\n", 8};

// libpng reports errors by jumping back here, so nothing in this frame needs destroying.
bool encode(const Rows& rows, std::string* bytes) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, bytes, appendBytes, flushNothing);
    // Widget pictures are mostly flat colour: the fastest settings compress them as well as
    // the defaults do, at a fraction of the time a redraw can spend.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(rows.width), png_uint_32(rows.height), 8,
                 rows.hasAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.pointers.data()));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::error_code encodePNG(cairo_surface_t* surface, std::string* bytes) {
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return std::make_error_code(std::errc::invalid_argument);
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        return std::make_error_code(std::errc::invalid_argument);
    cairo_surface_flush(surface);
    const Rows rows = straightRows(surface);
    bytes->clear();
    bytes->reserve(rows.bytes.size() / 8);
    if (!encode(rows, bytes)) return std::make_error_code(std::errc::not_enough_memory);
    return {};
}

std::error_code writePNGAtomically(cairo_surface_t* surface, const std::filesystem::path& file) {
    std::string bytes;
    if (auto error = encodePNG(surface, &bytes)) return error;
    return foundation::writeFileAtomically(file, bytes);
}

std::optional<PNGSize> wholePNGSize(std::string_view bytes) {
    if (!bytes.starts_with(pngSignature)) return std::nullopt;
    std::optional<PNGSize> size;
    bool imageData = false;
    // Each chunk: length, type, data, CRC of type and data.
    for (std::size_t at = pngSignature.size(); at + 12 <= bytes.size();) {
        const std::uint32_t length = bigEndian32(bytes, at);
        if (length > bytes.size() - at - 12) return std::nullopt;
        const std::string_view typeAndData = bytes.substr(at + 4, 4 + std::size_t(length));
        const auto crc =
            crc32(0, reinterpret_cast<const Bytef*>(typeAndData.data()), uInt(typeAndData.size()));
        if (crc != bigEndian32(bytes, at + 8 + length)) return std::nullopt;
        const std::string_view type = typeAndData.substr(0, 4);
        if (!size && (type != "IHDR" || length < 8)) return std::nullopt;
        if (!size) size = PNGSize{bigEndian32(bytes, at + 8), bigEndian32(bytes, at + 12)};
        imageData = imageData || type == "IDAT";
        at += 12 + std::size_t(length);
        // Readers ignore anything after IEND, so it may stay.
        if (type == "IEND") {
            if (!imageData || size->width == 0 || size->height == 0) return std::nullopt;
            return size;
        }
    }
    return std::nullopt;
}

CairoSurfacePtr readPNG(const std::filesystem::path& file) {
    CairoSurfacePtr surface(cairo_image_surface_create_from_png(file.c_str()));
    // Cairo hands back an error surface, never null, when it cannot read the file.
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return surface;
}

}  // namespace ui
