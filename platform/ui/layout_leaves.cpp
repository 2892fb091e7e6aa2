// Views without children: spacers, dividers, images, shapes, and (in layout_text.cpp) texts.
#include <algorithm>

#include "platform/ui/layout_engine.hpp"
#include "platform/ui/layout_text.hpp"
#include "platform/ui/system_colors.hpp"

namespace ui::layout_engine {
namespace {

// A spacer's minimum length when it sets none, the platform's standard spacing.
constexpr double defaultSpacerLength = 8;
constexpr double dividerThickness = 1;
// What a shape takes when asked for its ideal size.
constexpr double shapeIdealLength = 10;

// Along the stack's axis a spacer takes what it is offered, never less than its minimum;
// across it, nothing. Outside a stack it grows both ways.
CGSize spacerSize(const View& view, ProposedSize proposal, Axis axis) {
    const double least = view.minLength.value_or(defaultSpacerLength);
    const double width = std::max(least, proposal.width.value_or(least));
    const double height = std::max(least, proposal.height.value_or(least));
    if (axis == Axis::horizontal) return {width, 0};
    if (axis == Axis::vertical) return {0, height};
    return {width, height};
}

// A thin line across the stack: horizontal in a vertical stack or on its own.
CGSize dividerSize(ProposedSize proposal, Axis axis) {
    if (axis == Axis::horizontal) return {dividerThickness, orZero(proposal.height)};
    return {orZero(proposal.width), dividerThickness};
}

CGSize imageSize(const View& view, ProposedSize proposal) {
    if (!view.image) return {};
    const CGSize ideal = view.image->pixelSize;
    if (!view.modifier<Resizable>()) return ideal;
    return {proposal.width.value_or(ideal.width), proposal.height.value_or(ideal.height)};
}

CGSize shapeSize(ProposedSize proposal) {
    return {proposal.width.value_or(shapeIdealLength), proposal.height.value_or(shapeIdealLength)};
}

CGRect insetBy(const CGRect& rect, double by) {
    return {{rect.origin.x + by, rect.origin.y + by},
            {std::max(0.0, rect.size.width - 2 * by), std::max(0.0, rect.size.height - 2 * by)}};
}

CGRect centredSquare(const CGRect& rect) {
    const double side = std::min(rect.size.width, rect.size.height);
    return aligned({side, side}, rect, Alignment::center());
}

Path outline(const View& view, const CGRect& rect) {
    if (view.kind == ViewKind::Circle) return Path::ellipseIn(centredSquare(rect));
    if (view.kind == ViewKind::Shape && view.shapePath) return view.shapePath(rect);
    Path path;
    path.move(rect.origin);
    path.addLine({CGRectGetMaxX(rect), CGRectGetMinY(rect)});
    path.addLine({CGRectGetMaxX(rect), CGRectGetMaxY(rect)});
    path.addLine({CGRectGetMinX(rect), CGRectGetMaxY(rect)});
    path.closeSubpath();
    return path;
}

// A shape is stroked inside its edge, filled, or, with neither, filled with the foreground.
void placeShape(const Layer& base, const CGRect& rect, LaidOutView& node) {
    const View& view = *base.view;
    const StrokeBorder* stroke = view.modifier<StrokeBorder>();
    const Fill* fill = view.modifier<Fill>();
    node.path = outline(view, stroke ? insetBy(rect, stroke->lineWidth / 2) : rect);
    if (stroke) {
        node.strokeWidth = stroke->lineWidth;
        node.color = stroke->color;
    }
    if (fill || !stroke) {
        node.fillStyle = fill ? fill->style : FillStyle{};
        node.color = fill ? fill->color : foregroundColor(base.inherited);
    }
}

}  // namespace

CGSize leafSize(const Layer& base, ProposedSize proposal, Pass& pass) {
    const View& view = *base.view;
    switch (view.kind) {
        case ViewKind::Spacer:
            return spacerSize(view, proposal, base.inherited.stackAxis);
        case ViewKind::Divider:
            return dividerSize(proposal, base.inherited.stackAxis);
        case ViewKind::Text:
            return textSize(base, proposal, pass);
        case ViewKind::Label:
            return labelSize(base, proposal, pass);
        case ViewKind::Image:
            return imageSize(view, proposal);
        case ViewKind::Circle:
        case ViewKind::Rectangle:
        case ViewKind::Shape:
            return shapeSize(proposal);
        default:
            return {};
    }
}

void placeLeaf(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node) {
    const View& view = *base.view;
    switch (view.kind) {
        case ViewKind::Divider:
            node.color = separator(base.inherited.colorScheme);
            break;
        case ViewKind::Text:
            return placeText(base, rect, pass, node);
        case ViewKind::Label:
            return placeLabel(base, rect, pass, node);
        case ViewKind::Image:
            node.image = view.image;
            break;
        case ViewKind::Circle:
        case ViewKind::Rectangle:
        case ViewKind::Shape:
            return placeShape(base, rect, node);
        default:
            break;
    }
}

}  // namespace ui::layout_engine
