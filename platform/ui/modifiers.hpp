#pragma once
// View modifiers as plain data, kept on a view in the order they were applied.

#include <limits>
#include <optional>
#include <string>
#include <variant>

#include "platform/ui/color.hpp"
#include "platform/ui/environment.hpp"
#include "platform/ui/font.hpp"
#include "platform/ui/geometry.hpp"
#include "platform/ui/text_content.hpp"

namespace ui {

inline constexpr double infinity = std::numeric_limits<double>::infinity();

enum class HorizontalAlignment { leading, center, trailing };
enum class VerticalAlignment { top, center, bottom };
struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::center;
    VerticalAlignment vertical = VerticalAlignment::center;
    static constexpr Alignment center() { return {}; }
    static constexpr Alignment leading() { return {HorizontalAlignment::leading}; }
    bool operator==(const Alignment&) const = default;
};

struct FontModifier {
    Font font;
};
// The platform's hierarchical secondary style, or a colour of the view's own.
struct ForegroundStyle {
    std::optional<Color> color;  // none: secondary
    static ForegroundStyle secondary() { return {}; }
};
struct FixedFrame {
    std::optional<double> width, height;
    Alignment alignment;
};
struct FlexibleFrame {
    std::optional<double> minWidth, maxWidth, minHeight, maxHeight;
    Alignment alignment;
};
struct Padding {
    EdgeInsets insets;
};
struct FixedSize {
    bool horizontal = true, vertical = true;
};
struct ScaledToFit {};
struct Resizable {};
struct LineLimit {
    int lines;
};
struct PrivacySensitive {};
struct MonospacedDigit {};
struct StrokeBorder {
    Color color;
    double lineWidth;
};
struct FillStyle {
    bool eoFill = false;
    bool antialiased = true;
};
struct Fill {
    Color color;
    FillStyle style;
};
struct ColorSchemeEnvironment {
    ColorScheme colorScheme;
};
// containerBackground(for: .widget, alignment: .center) with a colour as its view.
struct ContainerBackground {
    Color color;
};
struct WidgetURL {
    std::string url;
};
struct AccessibilityLabel {
    LocalizedStringKey label;
};
struct AccessibilityHidden {
    bool hidden;
};

using Modifier =
    std::variant<FontModifier, ForegroundStyle, FixedFrame, FlexibleFrame, Padding, FixedSize,
                 ScaledToFit, Resizable, LineLimit, PrivacySensitive, MonospacedDigit, StrokeBorder,
                 Fill, ColorSchemeEnvironment, ContainerBackground, WidgetURL, AccessibilityLabel,
                 AccessibilityHidden>;

}  // namespace ui
