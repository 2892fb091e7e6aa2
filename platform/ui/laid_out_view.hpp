#pragma once
// A view tree after layout: every node placed in widget coordinates (points), with its texts,
// fonts and colours resolved for the environment in force. Drawing, hit testing and the
// JSON dump all read this, never the declarative tree.

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/color.hpp"
#include "platform/ui/font.hpp"
#include "platform/ui/geometry.hpp"
#include "platform/ui/modifiers.hpp"
#include "platform/ui/path.hpp"
#include "platform/ui/view.hpp"

namespace ui {

struct LaidOutView {
    ViewKind kind = ViewKind::AnyView;
    // Where the view itself sits and draws: a text's line, an image fitted to its aspect, a
    // stack's own bounds.
    CGRect frame;
    // The space the view takes in its parent once its frame and padding modifiers are applied
    // (a header 32 high, a row 24 high): what the tree reports and what a link's click covers.
    CGRect layoutFrame;
    std::vector<LaidOutView> children;

    std::optional<std::string> text;  // as shown, after localization and formatting
    std::optional<std::string> key;   // the localization key it came from
    std::optional<std::string> url;   // Link destination, or the root's widgetURL
    std::optional<Font> font;         // resolved font of a text
    std::string language;             // BCP 47 tag a text is set in; empty: the keys' own
    bool monospacedDigit = false;
    std::optional<Color> color;  // text, divider, symbol or shape colour, resolved
    bool privacySensitive = false;
    std::optional<std::string> symbol;  // system symbol of a Label's icon
    std::optional<std::string> id;      // a ForEach element's identity
    int lineLimit = 0;                  // 0: no limit
    bool truncated = false;             // text cut at the end with an ellipsis
    // What a screen reader calls the view in place of its texts (localized), and whether it
    // leaves the view and all within it out.
    std::optional<std::string> accessibilityLabel;
    bool accessibilityHidden = false;

    // Drawing data.
    std::optional<Path> path;            // shape outline in widget coordinates, from layout
    std::optional<FillStyle> fillStyle;  // shapes that are filled
    double strokeWidth = 0;              // shapes that are stroked inside their edge
    std::optional<NSImage> image;
    std::optional<Color> containerBackground;      // fills the whole widget
    ColorScheme colorScheme = ColorScheme::light;  // in force at this node
};

}  // namespace ui
