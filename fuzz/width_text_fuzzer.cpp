// Checks the width-file parser against a plain reference: optional sign, one or more ASCII
// digits, nothing else, value within the signed 64-bit range.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "shared/width_text.hpp"

namespace {

std::optional<std::int64_t> referenceParse(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulate in 128 bits and give up once far beyond the 64-bit range; leading zeros
    // never grow the value, so any number of them is fine.
    __int128 value = 0;
    const __int128 beyond = __int128(1) << 64;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > beyond) value = beyond;
    }
    if (negative) value = -value;
    if (value < INT64_MIN || value > INT64_MAX) return std::nullopt;
    return std::int64_t(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = jotbird::parseWidthText(text);
    const auto expected = referenceParse(text);
    if (parsed != expected) {
        std::fprintf(stderr, "width_text_fuzzer: parser %s%lld, reference %s%lld\n",
                     parsed ? "" : "none/", parsed ? (long long)*parsed : 0LL,
                     expected ? "" : "none/", expected ? (long long)*expected : 0LL);
        std::abort();
    }
    // What we write must read back as the same value.
    if (parsed) {
        const auto written = jotbird::widthText(*parsed);
        if (jotbird::parseWidthText(written) != parsed) {
            std::fprintf(stderr, "width_text_fuzzer: %s does not read back\n", written.c_str());
            std::abort();
        }
    }
    return 0;
}
