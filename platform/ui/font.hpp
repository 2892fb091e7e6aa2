#pragma once
// Fonts as views ask for them: the system face at a size and weight.

namespace ui {

enum class FontWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

struct Font {
    double size = 13;
    FontWeight weight = FontWeight::regular;

    static constexpr Font system(double size, FontWeight weight = FontWeight::regular) {
        return {size, weight};
    }
    // The caption text style of the desktop platform.
    static constexpr Font caption() { return {10, FontWeight::regular}; }
    constexpr Font bold() const { return {size, FontWeight::bold}; }

    bool operator==(const Font&) const = default;
};

}  // namespace ui
