#pragma once
// Colours in the sRGB space, components as fractions.

namespace ui {

struct Color {
    double red = 0, green = 0, blue = 0, opacity = 1;

    static constexpr Color sRGB(double red, double green, double blue, double opacity = 1) {
        return {red, green, blue, opacity};
    }
    static constexpr Color white() { return {1, 1, 1, 1}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color clear() { return {0, 0, 0, 0}; }

    bool operator==(const Color&) const = default;
};

}  // namespace ui
