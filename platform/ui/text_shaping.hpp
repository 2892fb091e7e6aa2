#pragma once
// The one place that sets Pango up, for measuring texts during layout and for drawing them,
// so that the two never drift apart: the same font family, language, font options and
// OpenType features on both sides.
//
// Pango's own headers stay in text_shaping.cpp; callers that draw include pangocairo
// themselves.

#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/font.hpp"
#include "platform/ui/geometry.hpp"

extern "C" {
typedef struct _cairo cairo_t;
typedef struct _PangoLayout PangoLayout;
}

namespace ui {

// The face every text is set in. It covers Latin and Han alike, so that no text depends on
// what else the machine has installed.
inline constexpr std::string_view textFontFamily = "Noto Sans CJK SC";

struct TextStyle {
    Font font;
    bool monospacedDigit = false;  // tabular figures
};

// The size of `text` set on one line, never wrapped: the advance width and the line height
// of the font, in points.
CGSize measureText(std::string_view text, const TextStyle& style);

struct PangoLayoutUnref {
    void operator()(PangoLayout* layout) const;
};
using PangoLayoutPtr = std::unique_ptr<PangoLayout, PangoLayoutUnref>;

// A one-line layout of `text` for drawing on `cairo` with its current transformation. With
// `ellipsizeWidth`, the line is cut at the end with an ellipsis to fit that many points; pass
// it only for texts that layout marked truncated, so a text that fits is never cut by a
// rounding difference. Draw it with its top-left corner at the text's frame origin.
PangoLayoutPtr makeTextLayout(cairo_t* cairo, std::string_view text, const TextStyle& style,
                              std::optional<double> ellipsizeWidth = std::nullopt);

}  // namespace ui
