// Texts and labels: shown as localized, measured with the font that draws them, set on one
// line and cut at the end when offered less width than they need.
#include <algorithm>
#include <cmath>

#include "platform/ui/layout_text.hpp"
#include "platform/ui/system_colors.hpp"
#include "platform/ui/text_shaping.hpp"

namespace ui::layout_engine {
namespace {

// A label's symbol sits in a box as tall as the font is large and a little wider, as the
// tray symbols are; then comes the title.
constexpr double labelIconAspect = 1.25;
constexpr double labelSpacing = 4;

// Widths computed along different paths may differ in the last bits; that is not a cut.
constexpr double widthTolerance = 1e-9;

struct ResolvedText {
    std::string shown;
    std::optional<std::string> key;
    TextStyle style;
};

// A key shows in the language of its translation, or untranslated in its own; titles and
// times are the user's.
std::string languageOf(const TextContent& content, const Pass& pass) {
    if (const auto* key = std::get_if<LocalizedStringKey>(&content))
        return isTranslated(*key) && !pass.translation.language.empty() ? pass.translation.language
                                                                        : std::string(keyLanguage);
    return pass.locale.textLanguage;
}

std::string shownText(const TextContent& content, Pass& pass) {
    const auto* time = std::get_if<TimeText>(&content);
    // Not a number would compare equal to every key: only instants are remembered.
    if (time == nullptr || !std::isfinite(time->secondsSince1970))
        return displayString(content, pass.locale);
    const auto found = pass.times.find(time->secondsSince1970);
    if (found != pass.times.end()) return found->second;
    return pass.times[time->secondsSince1970] = displayString(content, pass.locale);
}

ResolvedText resolve(const Layer& base, Pass& pass) {
    ResolvedText resolved;
    if (!base.view->text) return resolved;
    const TextContent& content = *base.view->text;
    resolved.shown = shownText(content, pass);
    if (const auto* key = std::get_if<LocalizedStringKey>(&content)) resolved.key = key->key;
    resolved.style = {base.inherited.font.value_or(Font{}), base.inherited.monospacedDigit,
                      languageOf(content, pass)};
    return resolved;
}

CGSize measured(const ResolvedText& text, Pass& pass) {
    const MeasureKey key{text.shown, text.style.font.size, text.style.font.weight,
                         text.style.monospacedDigit, text.style.language};
    const auto found = pass.measured.find(key);
    if (found != pass.measured.end()) return found->second;
    return pass.measured[key] = measureText(text.shown, text.style);
}

// One line: its measured size, narrowed to what is offered.
CGSize lineSize(CGSize line, std::optional<double> offeredWidth) {
    if (offeredWidth && *offeredWidth + widthTolerance < line.width)
        return {std::max(0.0, *offeredWidth), line.height};
    return line;
}

CGSize iconSize(const Font& font) {
    return {font.size * labelIconAspect, font.size};
}

// What a text node shows and how, on a Text or a Label.
void describe(LaidOutView& node, const ResolvedText& text, const Inherited& inherited) {
    node.text = text.shown;
    node.key = text.key;
    node.font = text.style.font;
    node.language = text.style.language;
    node.monospacedDigit = text.style.monospacedDigit;
    node.color = foregroundColor(inherited);
    node.lineLimit = inherited.lineLimit;
}

LaidOutView textNode(const ResolvedText& text, const Layer& base, const CGRect& rect,
                     double fullWidth) {
    LaidOutView node;
    node.kind = ViewKind::Text;
    node.frame = node.layoutFrame = rect;
    node.colorScheme = base.inherited.colorScheme;
    describe(node, text, base.inherited);
    node.privacySensitive = base.inherited.privacySensitive;
    node.truncated = rect.size.width + widthTolerance < fullWidth;
    return node;
}

LaidOutView iconNode(const std::string& symbol, const ResolvedText& text, const Layer& base,
                     const CGRect& rect) {
    LaidOutView node;
    node.kind = ViewKind::Image;
    node.frame = node.layoutFrame = rect;
    node.colorScheme = base.inherited.colorScheme;
    node.symbol = symbol;
    node.font = text.style.font;
    node.color = foregroundColor(base.inherited);
    return node;
}

}  // namespace

Color foregroundColor(const Inherited& inherited) {
    if (inherited.foreground && inherited.foreground->color) return *inherited.foreground->color;
    if (inherited.foreground) return secondaryLabel(inherited.colorScheme);
    return primaryLabel(inherited.colorScheme);
}

CGSize textSize(const Layer& base, ProposedSize proposal, Pass& pass) {
    const ResolvedText text = resolve(base, pass);
    if (text.shown.empty()) return {};
    return lineSize(measured(text, pass), proposal.width);
}

void placeText(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node) {
    const ResolvedText text = resolve(base, pass);
    describe(node, text, base.inherited);
    node.privacySensitive = base.inherited.privacySensitive;
    node.truncated = rect.size.width + widthTolerance < measured(text, pass).width;
}

CGSize labelSize(const Layer& base, ProposedSize proposal, Pass& pass) {
    const ResolvedText text = resolve(base, pass);
    const CGSize icon = iconSize(text.style.font);
    std::optional<double> titleWidth = proposal.width;
    if (titleWidth) titleWidth = *titleWidth - icon.width - labelSpacing;
    const CGSize title = lineSize(measured(text, pass), titleWidth);
    return {icon.width + labelSpacing + title.width, std::max(icon.height, title.height)};
}

// The label's symbol and title become its two children, centred across its height.
void placeLabel(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node) {
    const ResolvedText text = resolve(base, pass);
    describe(node, text, base.inherited);
    node.symbol = base.view->systemImage;
    const CGSize icon = iconSize(text.style.font);
    const CGSize line = measured(text, pass);
    const double titleX = rect.origin.x + icon.width + labelSpacing;
    const CGSize title{std::max(0.0, CGRectGetMaxX(rect) - titleX), line.height};
    const double midY = CGRectGetMidY(rect);
    node.children.push_back(iconNode(base.view->systemImage, text, base,
                                     {{rect.origin.x, midY - icon.height / 2}, icon}));
    node.children.push_back(
        textNode(text, base, {{titleX, midY - title.height / 2}, title}, line.width));
}

}  // namespace ui::layout_engine
