#pragma once
// The one place that sets Pango up, for measuring texts during layout and for drawing them,
// so that the two never drift apart: the same fonts, languages, font options and OpenType
// features on both sides. Fonts come from the project's own set-up (font_configuration.hpp),
// whatever else the machine has installed.
//
// Pango's own headers stay in text_shaping.cpp; callers that draw include pangocairo
// themselves.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/font.hpp"
#include "platform/ui/geometry.hpp"

extern "C" {
typedef struct _cairo cairo_t;
typedef struct _PangoLayout PangoLayout;
}

namespace ui {

// The language texts are set in when none is given: that of the untranslated keys.
inline constexpr std::string_view keyLanguage = "zh-cn";

// The face a text starts from, chosen by its language's forms of Han characters ("Noto Sans
// CJK JP" for Japanese, "… TC" for Taiwan, "… HK", "… KR", else "… SC"). It sets Latin as
// well; every other script falls back along the project's font order.
std::string_view hanFontFamily(std::string_view language);

struct TextStyle {
    Font font;
    bool monospacedDigit = false;  // tabular figures
    // BCP 47 tag of the language the text is written in ("ja", "zh-tw"); empty for the keys'
    // own. Runs of Han, kana and Hangul take their forms from it; runs of other scripts take
    // a language of their own script, so that a cut text ends in that script's ellipsis.
    std::string language;
};

// The line every text of a style sits in, whatever scripts it holds: the ascent and height
// of the style's Han face, in points. Rows of Latin, Han or Thai titles so line up alike.
struct LineBox {
    double ascent = 0, height = 0;
};
LineBox lineBox(const TextStyle& style);

// The size of `text` set on one line, never wrapped: its advance width and the height of the
// style's line box, in points. Control characters and breaks are set as oneLineText shows
// them.
CGSize measureText(std::string_view text, const TextStyle& style);

// `text` wrapped at `width` points into at most `maxLines` lines (0: as many as it takes):
// the widest line's width, the lines' height at the style's line height each, and whether
// the last line had to be cut.
struct WrappedText {
    CGSize size;
    int lines = 0;
    bool truncated = false;
};
WrappedText measureWrappedText(std::string_view text, const TextStyle& style, double width,
                               int maxLines);

struct PangoLayoutUnref {
    void operator()(PangoLayout* layout) const;
};
using PangoLayoutPtr = std::unique_ptr<PangoLayout, PangoLayoutUnref>;

// A one-line layout of `text` for drawing on `cairo` with its current transformation. With
// `ellipsizeWidth`, the line is cut at the end with an ellipsis to fit that many points; pass
// it only for texts that layout marked truncated, so a text that fits is never cut by a
// rounding difference. Draw its one line (pango_cairo_show_layout_line) with the baseline
// `lineBox(style).ascent` below the top of the text's line box; every run of it sits on
// that baseline. Glyphs
// are hinted vertically where a point is about one pixel, so that small text stays sharp;
// advances are never hinted, so the layout is as wide as measured at every scale.
PangoLayoutPtr makeTextLayout(cairo_t* cairo, std::string_view text, const TextStyle& style,
                              std::optional<double> ellipsizeWidth = std::nullopt);

// The same text wrapped at `width` into `lines` lines as measureWrappedText found, the last
// cut with an ellipsis when `truncated`. Draw each line a line height below the one before.
PangoLayoutPtr makeWrappedLayout(cairo_t* cairo, std::string_view text, const TextStyle& style,
                                 double width, int lines, bool truncated);

}  // namespace ui
