#pragma once
// The inside of the layout engine, shared by its source files. A view is proposed a size and
// picks its own; its parent then places it in a rectangle of that size. Modifiers wrap the
// view in the order they were applied, so the last one is the outermost.

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/ui/laid_out_view.hpp"
#include "platform/ui/localization.hpp"
#include "platform/ui/view.hpp"

namespace ui::layout_engine {

enum class Axis { none, horizontal, vertical };

// A size offered to a view: nothing on an axis asks for its ideal size; infinity for the
// most it could take.
struct ProposedSize {
    std::optional<double> width, height;
    static ProposedSize of(CGSize size) { return {size.width, size.height}; }
};

// What flows down the tree from the modifiers above a view.
struct Inherited {
    ColorScheme colorScheme = ColorScheme::light;
    std::optional<Font> font;
    std::optional<ForegroundStyle> foreground;
    bool monospacedDigit = false;
    bool privacySensitive = false;
    int lineLimit = 0;
    Axis stackAxis = Axis::none;  // of the nearest enclosing stack
};

// A view seen through its outermost `depth` modifiers, with what flows into it from above.
struct Layer {
    const View* view = nullptr;
    std::size_t depth = 0;
    Inherited inherited;

    static Layer whole(const View& view, const Inherited& inherited) {
        return {&view, view.modifiers.size(), inherited};
    }
};

// A text, its font size, weight, tabular digits and language.
using MeasureKey = std::tuple<std::string, double, FontWeight, bool, std::string>;

// What one layout pass reads and remembers: the catalog in use, and the texts it has measured
// and formatted so that probing a view several times costs one measurement.
struct Pass {
    Translation translation;
    Locale locale;
    std::map<MeasureKey, CGSize> measured;
    // Times of day already formatted, by instant: a view is probed several times a pass.
    std::map<double, std::string> times;
};

// Environment modifiers change what flows down; the others leave it as it is.
Inherited applyEnvironment(Inherited inherited, const Modifier& modifier);
// The layer inside the outermost remaining modifier.
Layer peel(const Layer& layer);

// Where a parent puts a view: the size the view picked for `proposal`, at its place. Children
// are offered again what they were offered when sized, as the toolkit does.
struct Placement {
    CGRect rect;
    ProposedSize proposal;
};

CGSize sizeThatFits(const Layer& layer, ProposedSize proposal, Pass& pass);
// Places a view with all its modifiers.
LaidOutView placeView(const Layer& layer, const Placement& placement, Pass& pass);
// Places what is left of a view under its modifiers into `node`.
void place(const Layer& layer, const Placement& placement, Pass& pass, LaidOutView& node);

// Stacks.
CGSize stackSize(const Layer& base, ProposedSize proposal, Pass& pass);
void placeStack(const Layer& base, const Placement& placement, Pass& pass, LaidOutView& node);

// Views without children of their own in the declarative tree.
CGSize leafSize(const Layer& base, ProposedSize proposal, Pass& pass);
void placeLeaf(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node);

// Layout modifiers: frames, padding, fixed size, aspect fit. Nothing for the others.
std::optional<CGSize> modifierSize(const Layer& layer, ProposedSize proposal, Pass& pass);
bool placeModifier(const Layer& layer, const Placement& placement, Pass& pass, LaidOutView& node);

// Helpers.
CGRect aligned(CGSize size, const CGRect& in, Alignment alignment);
inline double orZero(std::optional<double> value) {
    return value.value_or(0);
}

}  // namespace ui::layout_engine
