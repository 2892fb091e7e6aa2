// Texts and labels: shown as localized, measured with the font that draws them, set on one
// line and cut at the end when offered less width than they need.
#include <algorithm>
#include <cmath>
#include <limits>

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

// A key with no words of its own, only numbers ("%lld"): nothing in it is Chinese.
bool isOnlyNumbers(const LocalizedStringKey& key) {
    std::string_view rest = key.key;
    while (!rest.empty()) {
        if (rest.starts_with("%lld"))
            rest.remove_prefix(4);
        else if (rest.front() == ' ')
            rest.remove_prefix(1);
        else
            return false;
    }
    return true;
}

// A key shows in the language of its translation, or untranslated in its own; titles and
// times are the user's, and so are bare numbers, which end in the user's ellipsis when cut.
std::string languageOf(const TextContent& content, const Pass& pass) {
    if (const auto* key = std::get_if<LocalizedStringKey>(&content)) {
        if (isTranslated(*key) && !pass.translation.language.empty())
            return pass.translation.language;
        if (isOnlyNumbers(*key)) return pass.locale.textLanguage;
        return std::string(keyLanguage);
    }
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

namespace {

// How many lines a text offered less width than its line may wrap into: its line limit
// (none: any number), and no more than fit the height offered, counting a line's leading
// only between lines, so that two 12-point lines fit a 32-point button, set 16 points
// apart. One means no wrapping.
int wrappableLines(const Layer& base, ProposedSize proposal, const ResolvedText& text) {
    const int limit = base.inherited.lineLimit;
    if (limit == 1) return 1;
    int lines = limit > 0 ? limit : std::numeric_limits<int>::max();
    if (proposal.height && std::isfinite(*proposal.height)) {
        const double line = lineBox(text.style).height;
        const double leading = line - text.style.font.size;
        lines = std::min(lines, std::max(1, int((*proposal.height + leading) / line)));
    }
    return lines;
}

bool isCut(double offeredWidth, const CGSize& line) {
    return offeredWidth + widthTolerance < line.width;
}

}  // namespace

CGSize textSize(const Layer& base, ProposedSize proposal, Pass& pass) {
    const ResolvedText text = resolve(base, pass);
    if (text.shown.empty()) return {};
    const CGSize line = measured(text, pass);
    if (proposal.width && isCut(*proposal.width, line) && *proposal.width > 0) {
        const int lines = wrappableLines(base, proposal, text);
        if (lines > 1) {
            const int most = lines == std::numeric_limits<int>::max() ? 0 : lines;
            CGSize size = measureWrappedText(text.shown, text.style, *proposal.width, most).size;
            // Lines closer than the line height where that is what fits: the em boxes do.
            if (proposal.height) size.height = std::min(size.height, *proposal.height);
            return size;
        }
    }
    return lineSize(line, proposal.width);
}

void placeText(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node) {
    const ResolvedText text = resolve(base, pass);
    describe(node, text, base.inherited);
    node.privacySensitive = base.inherited.privacySensitive;
    const CGSize line = measured(text, pass);
    node.truncated = isCut(rect.size.width, line);
    // A text layout gave more than one line's height to is wrapped into that many lines.
    const int lines = line.height > 0 ? int(std::ceil(rect.size.height / line.height - 0.5)) : 1;
    if (node.truncated && lines > 1) {
        const WrappedText wrapped =
            measureWrappedText(text.shown, text.style, rect.size.width, lines);
        node.lines = wrapped.lines;
        node.truncated = wrapped.truncated;
    }
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
