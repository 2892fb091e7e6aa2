// Stacks: the space along the axis goes to the children from the least to the most flexible,
// each offered an equal share of what is left; across the axis each child is aligned.
// A ForEach adds its children to the enclosing stack.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ui/layout_engine.hpp"

namespace ui::layout_engine {
namespace {

// Between two children of a stack that sets no spacing.
constexpr double defaultSpacing = 8;

struct Item {
    Layer layer;
    // Index among the stack's children of the ForEach it came from.
    std::optional<std::size_t> group;
};

Axis axisOf(ViewKind kind) {
    return kind == ViewKind::HStack ? Axis::horizontal : Axis::vertical;
}

double along(CGSize size, Axis axis) {
    return axis == Axis::horizontal ? size.width : size.height;
}
double across(CGSize size, Axis axis) {
    return axis == Axis::horizontal ? size.height : size.width;
}
std::optional<double> along(ProposedSize proposal, Axis axis) {
    return axis == Axis::horizontal ? proposal.width : proposal.height;
}
ProposedSize withAlong(ProposedSize proposal, Axis axis, std::optional<double> length) {
    (axis == Axis::horizontal ? proposal.width : proposal.height) = length;
    return proposal;
}

// A ForEach's environment modifiers reach each of its children.
Inherited forEachInherited(const View& forEach, Inherited inherited) {
    for (const Modifier& modifier : forEach.modifiers)
        inherited = applyEnvironment(inherited, modifier);
    return inherited;
}

std::vector<Item> itemsOf(const Layer& base, Axis axis) {
    Inherited inherited = base.inherited;
    inherited.stackAxis = axis;
    std::vector<Item> items;
    const std::vector<View>& children = base.view->children;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].kind != ViewKind::ForEach) {
            items.push_back({Layer::whole(children[i], inherited), std::nullopt});
            continue;
        }
        const Inherited inner = forEachInherited(children[i], inherited);
        for (const View& element : children[i].children)
            items.push_back({Layer::whole(element, inner), i});
    }
    return items;
}

double spacingOf(const View& stack) {
    return stack.spacing.value_or(defaultSpacing);
}

// How much more a child takes when offered everything than when offered nothing.
double flexibility(const Item& item, ProposedSize proposal, Axis axis, Pass& pass) {
    const double least = along(sizeThatFits(item.layer, withAlong(proposal, axis, 0), pass), axis);
    const double most =
        along(sizeThatFits(item.layer, withAlong(proposal, axis, infinity), pass), axis);
    const double result = most - least;
    return std::isnan(result) ? infinity : result;
}

bool isSpacer(const Item& item) {
    return item.layer.view->kind == ViewKind::Spacer;
}

// What a child was offered and the size it picked.
struct Offer {
    ProposedSize proposal;
    CGSize size;
};

Offer offer(const Item& item, ProposedSize proposal, Pass& pass) {
    return {proposal, sizeThatFits(item.layer, proposal, pass)};
}

// Offers each of `which` (in that order) an equal share of what is left; returns what is
// left after them.
double share(const std::vector<Item>& items, const std::vector<std::size_t>& which,
             double remaining, ProposedSize proposal, Axis axis, Pass& pass,
             std::vector<Offer>& offers) {
    for (std::size_t k = 0; k < which.size(); ++k) {
        const std::size_t i = which[k];
        const double length = std::max(0.0, remaining) / double(which.size() - k);
        offers[i] = offer(items[i], withAlong(proposal, axis, length), pass);
        if (std::isfinite(remaining)) remaining -= along(offers[i].size, axis);
    }
    return remaining;
}

// The order in which children are offered space: the views from the least to the most
// flexible, then the spacers; and the length the spacers keep back for their minimums.
struct Order {
    std::vector<std::size_t> views, spacers;
    double reserved = 0;
};

Order orderOf(const std::vector<Item>& items, ProposedSize proposal, Axis axis, Pass& pass) {
    Order order;
    std::vector<double> flex(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (isSpacer(items[i])) {
            order.spacers.push_back(i);
            order.reserved +=
                along(sizeThatFits(items[i].layer, withAlong(proposal, axis, 0), pass), axis);
        } else {
            order.views.push_back(i);
            flex[i] = flexibility(items[i], proposal, axis, pass);
        }
    }
    std::stable_sort(order.views.begin(), order.views.end(),
                     [&](std::size_t a, std::size_t b) { return flex[a] < flex[b]; });
    return order;
}

// The size each child picks, in the stack's order. Spacers keep their minimum lengths while
// the other children share the space; then the spacers share what is left.
std::vector<Offer> allocate(const std::vector<Item>& items, ProposedSize proposal, Axis axis,
                            double spacing, Pass& pass) {
    std::vector<Offer> offers(items.size());
    const std::optional<double> offered = along(proposal, axis);
    if (!offered) {
        for (std::size_t i = 0; i < items.size(); ++i)
            offers[i] = offer(items[i], proposal, pass);
        return offers;
    }
    const Order order = orderOf(items, proposal, axis, pass);
    const double gaps = spacing * double(items.empty() ? 0 : items.size() - 1);
    const double left =
        share(items, order.views, *offered - gaps - order.reserved, proposal, axis, pass, offers);
    share(items, order.spacers, left + order.reserved, proposal, axis, pass, offers);
    return offers;
}

CGSize total(const std::vector<Offer>& offers, Axis axis, double spacing) {
    double length = 0, thickness = 0;
    for (const Offer& offer : offers) {
        length += along(offer.size, axis);
        thickness = std::max(thickness, across(offer.size, axis));
    }
    if (!offers.empty()) length += spacing * double(offers.size() - 1);
    return axis == Axis::horizontal ? CGSize{length, thickness} : CGSize{thickness, length};
}

// The child's rectangle at `offset` along the axis, aligned across it.
CGRect childRect(CGSize size, double offset, const CGRect& rect, Axis axis, Alignment alignment) {
    if (axis == Axis::horizontal) {
        const CGRect lane{{rect.origin.x + offset, rect.origin.y}, {size.width, rect.size.height}};
        return aligned(size, lane, {HorizontalAlignment::leading, alignment.vertical});
    }
    const CGRect lane{{rect.origin.x, rect.origin.y + offset}, {rect.size.width, size.height}};
    return aligned(size, lane, {alignment.horizontal, VerticalAlignment::top});
}

CGRect unite(const CGRect& a, const CGRect& b) {
    const double minX = std::min(a.origin.x, b.origin.x), minY = std::min(a.origin.y, b.origin.y);
    const double maxX = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    const double maxY = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

// Adds a placed child to the stack's node, inside the node of its ForEach if it came from one;
// `lastGroup` is the ForEach of the node's last child.
void adopt(LaidOutView& stack, LaidOutView child, const Item& item,
           std::optional<std::size_t>& lastGroup) {
    const bool continues = item.group && item.group == lastGroup;
    lastGroup = item.group;
    if (!item.group) return stack.children.push_back(std::move(child));
    if (!continues) {
        LaidOutView& group = stack.children.emplace_back();
        group.kind = ViewKind::ForEach;
        group.frame = group.layoutFrame = child.layoutFrame;
        group.colorScheme = child.colorScheme;
    }
    LaidOutView& group = stack.children.back();
    group.frame = group.layoutFrame = unite(group.layoutFrame, child.layoutFrame);
    group.children.push_back(std::move(child));
}

}  // namespace

CGSize stackSize(const Layer& base, ProposedSize proposal, Pass& pass) {
    const Axis axis = axisOf(base.view->kind);
    const double spacing = spacingOf(*base.view);
    return total(allocate(itemsOf(base, axis), proposal, axis, spacing, pass), axis, spacing);
}

void placeStack(const Layer& base, const Placement& placement, Pass& pass, LaidOutView& node) {
    const Axis axis = axisOf(base.view->kind);
    const double spacing = spacingOf(*base.view);
    const std::vector<Item> items = itemsOf(base, axis);
    const std::vector<Offer> offers = allocate(items, placement.proposal, axis, spacing, pass);
    double offset = 0;
    std::optional<std::size_t> lastGroup;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CGRect where =
            childRect(offers[i].size, offset, placement.rect, axis, base.view->alignment);
        adopt(node, placeView(items[i].layer, {where, offers[i].proposal}, pass), items[i],
              lastGroup);
        offset += along(offers[i].size, axis) + spacing;
    }
}

}  // namespace ui::layout_engine
