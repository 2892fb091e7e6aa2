// The modifiers that change geometry: fixed and flexible frames, padding, fixedSize and
// scaledToFit. Each works out what to offer the view inside it, and its own size from the
// size that view picks.
#include <algorithm>
#include <cmath>

#include "platform/ui/layout_engine.hpp"

namespace ui::layout_engine {
namespace {

// A fixed frame offers its own lengths and takes them; on a free axis it is its child.
ProposedSize innerProposal(const FixedFrame& frame, ProposedSize proposal) {
    return {frame.width ? frame.width : proposal.width,
            frame.height ? frame.height : proposal.height};
}

std::optional<double> clamped(std::optional<double> length, std::optional<double> min,
                              std::optional<double> max) {
    if (!length) return length;
    double result = *length;
    if (min) result = std::max(result, *min);
    if (max) result = std::min(result, *max);
    return result;
}

// A flexible frame offers its child the proposal bounded by its limits.
ProposedSize innerProposal(const FlexibleFrame& frame, ProposedSize proposal) {
    return {clamped(proposal.width, frame.minWidth, frame.maxWidth),
            clamped(proposal.height, frame.minHeight, frame.maxHeight)};
}

// Along one axis: no limits, the child's length; a minimum, at least that and otherwise the
// child bounded by the proposal; a maximum, at most that and otherwise the proposal if the
// child is smaller. Asked for its ideal size, the frame bounds the child's ideal length.
double flexibleLength(double child, std::optional<double> proposed, std::optional<double> min,
                      std::optional<double> max) {
    double result = child;
    if (min) result = std::max(*min, proposed ? std::min(result, *proposed) : result);
    if (max) result = std::min(*max, proposed ? std::max(result, *proposed) : result);
    return result;
}

CGSize flexibleSize(const FlexibleFrame& frame, CGSize child, ProposedSize proposal) {
    return {flexibleLength(child.width, proposal.width, frame.minWidth, frame.maxWidth),
            flexibleLength(child.height, proposal.height, frame.minHeight, frame.maxHeight)};
}

ProposedSize innerProposal(const Padding& padding, ProposedSize proposal) {
    const auto shrink = [](std::optional<double> length, double by) -> std::optional<double> {
        if (!length) return length;
        return std::max(0.0, *length - by);
    };
    const EdgeInsets& e = padding.insets;
    return {shrink(proposal.width, e.leading + e.trailing),
            shrink(proposal.height, e.top + e.bottom)};
}

CGRect inset(const CGRect& rect, const EdgeInsets& e) {
    return {{rect.origin.x + e.leading, rect.origin.y + e.top},
            {std::max(0.0, rect.size.width - e.leading - e.trailing),
             std::max(0.0, rect.size.height - e.top - e.bottom)}};
}

// On a fixed axis the child is asked for its ideal length, whatever is offered.
ProposedSize innerProposal(const FixedSize& fixed, ProposedSize proposal) {
    return {fixed.horizontal ? std::nullopt : proposal.width,
            fixed.vertical ? std::nullopt : proposal.height};
}

// The largest size with the child's ideal proportions that fits the proposal.
ProposedSize fitted(const Layer& child, ProposedSize proposal, Pass& pass) {
    const CGSize ideal = sizeThatFits(child, {}, pass);
    if (ideal.width <= 0 || ideal.height <= 0) return proposal;
    double scale = infinity;
    if (proposal.width) scale = std::min(scale, *proposal.width / ideal.width);
    if (proposal.height) scale = std::min(scale, *proposal.height / ideal.height);
    if (!std::isfinite(scale)) return ProposedSize::of(ideal);
    scale = std::max(0.0, scale);
    return {ideal.width * scale, ideal.height * scale};
}

// Places the child at the size it picks for `proposal`, aligned in `rect`.
void placeAligned(const Layer& child, ProposedSize proposal, const CGRect& rect,
                  Alignment alignment, Pass& pass, LaidOutView& node) {
    const CGSize size = sizeThatFits(child, proposal, pass);
    place(child, {aligned(size, rect, alignment), proposal}, pass, node);
}

}  // namespace

std::optional<CGSize> modifierSize(const Layer& layer, ProposedSize proposal, Pass& pass) {
    const Modifier& modifier = layer.view->modifiers[layer.depth - 1];
    const Layer child = peel(layer);
    if (const auto* frame = std::get_if<FixedFrame>(&modifier)) {
        const CGSize size = sizeThatFits(child, innerProposal(*frame, proposal), pass);
        return CGSize{frame->width.value_or(size.width), frame->height.value_or(size.height)};
    }
    if (const auto* frame = std::get_if<FlexibleFrame>(&modifier))
        return flexibleSize(*frame, sizeThatFits(child, innerProposal(*frame, proposal), pass),
                            proposal);
    if (const auto* padding = std::get_if<Padding>(&modifier)) {
        const CGSize size = sizeThatFits(child, innerProposal(*padding, proposal), pass);
        const EdgeInsets& e = padding->insets;
        return CGSize{size.width + e.leading + e.trailing, size.height + e.top + e.bottom};
    }
    if (const auto* fixed = std::get_if<FixedSize>(&modifier))
        return sizeThatFits(child, innerProposal(*fixed, proposal), pass);
    if (std::holds_alternative<ScaledToFit>(modifier))
        return sizeThatFits(child, fitted(child, proposal, pass), pass);
    return std::nullopt;
}

bool placeModifier(const Layer& layer, const Placement& placement, Pass& pass, LaidOutView& node) {
    const Modifier& modifier = layer.view->modifiers[layer.depth - 1];
    const Layer child = peel(layer);
    const CGRect& rect = placement.rect;
    const ProposedSize& proposal = placement.proposal;
    if (const auto* frame = std::get_if<FixedFrame>(&modifier))
        placeAligned(child, innerProposal(*frame, proposal), rect, frame->alignment, pass, node);
    else if (const auto* frame = std::get_if<FlexibleFrame>(&modifier))
        placeAligned(child, innerProposal(*frame, proposal), rect, frame->alignment, pass, node);
    else if (const auto* padding = std::get_if<Padding>(&modifier))
        place(child, {inset(rect, padding->insets), innerProposal(*padding, proposal)}, pass, node);
    else if (const auto* fixed = std::get_if<FixedSize>(&modifier))
        placeAligned(child, innerProposal(*fixed, proposal), rect, Alignment::center(), pass, node);
    else if (std::holds_alternative<ScaledToFit>(modifier))
        placeAligned(child, fitted(child, proposal, pass), rect, Alignment::center(), pass, node);
    else
        return false;
    return true;
}

}  // namespace ui::layout_engine
