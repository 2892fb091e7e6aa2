// The PNG chunk walk that decides whether an image counts as loaded: any bytes, no crash or
// read past the end; a whole PNG stays whole with bytes after IEND and stops being whole when
// cut before its end.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ui/png_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input, so that any read past it is caught.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto whole = ui::wholePNGSize(bytes);
    if (!whole) return 0;
    if (whole->width == 0 || whole->height == 0) {
        std::fprintf(stderr, "png_chunks_fuzzer: an empty picture counted as whole\n");
        std::abort();
    }
    const auto extended = ui::wholePNGSize(bytes + "after the end");
    if (!extended || extended->width != whole->width || extended->height != whole->height) {
        std::fprintf(stderr, "png_chunks_fuzzer: bytes after IEND changed the answer\n");
        std::abort();
    }
    // Without its last 12 bytes the file has lost IEND's frame (or more): never whole,
    // unless what remains still ends in an IEND of its own.
    const std::string_view cut = std::string_view(bytes).substr(0, size - 12);
    if (ui::wholePNGSize(cut) && cut.find("IEND") == std::string_view::npos) {
        std::fprintf(stderr, "png_chunks_fuzzer: a file cut short counted as whole\n");
        std::abort();
    }
    return 0;
}
