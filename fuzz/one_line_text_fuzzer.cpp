// What a one-line text hands the shaper, for any bytes: valid UTF-8 with no control
// characters, unchanged when prepared again, and never empty when the input held a
// character that shows.

#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ui/one_line_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string shown = ui::oneLineText(text);
    if (!g_utf8_validate(shown.data(), gssize(shown.size()), nullptr)) {
        std::fprintf(stderr, "one_line_text_fuzzer: not UTF-8\n");
        std::abort();
    }
    for (const char* p = shown.data(); p < shown.data() + shown.size(); p = g_utf8_next_char(p))
        if (g_unichar_iscntrl(g_utf8_get_char(p))) {
            std::fprintf(stderr, "one_line_text_fuzzer: a control character is left\n");
            std::abort();
        }
    if (ui::oneLineText(shown) != shown) {
        std::fprintf(stderr, "one_line_text_fuzzer: not stable when prepared again\n");
        std::abort();
    }
    return 0;
}
