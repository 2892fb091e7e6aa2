#include "platform/ui/layout.hpp"

#include "platform/foundation/bundle.hpp"
#include "platform/foundation/overloaded.hpp"
#include "platform/ui/layout_engine.hpp"

namespace ui {
namespace layout_engine {
namespace {

bool isStack(ViewKind kind) {
    return kind == ViewKind::VStack || kind == ViewKind::HStack || kind == ViewKind::ForEach;
}

// Link and AnyView take the place and size of the one view they wrap.
bool isTransparent(ViewKind kind) {
    return kind == ViewKind::Link || kind == ViewKind::AnyView;
}

CGSize baseSize(const Layer& base, ProposedSize proposal, Pass& pass) {
    const ViewKind kind = base.view->kind;
    if (isStack(kind)) return stackSize(base, proposal, pass);
    if (!isTransparent(kind)) return leafSize(base, proposal, pass);
    if (base.view->children.empty()) return {};
    return sizeThatFits(Layer::whole(base.view->children.front(), base.inherited), proposal, pass);
}

void placeBase(const Layer& base, const Placement& placement, Pass& pass, LaidOutView& node) {
    const View& view = *base.view;
    const CGRect& rect = placement.rect;
    node.frame = rect;
    node.colorScheme = base.inherited.colorScheme;
    node.id = view.id;
    if (const auto* url = view.modifier<WidgetURL>()) node.url = url->url;
    if (const auto* background = view.modifier<ContainerBackground>())
        node.containerBackground = background->color;
    if (const auto* label = view.modifier<AccessibilityLabel>())
        node.accessibilityLabel = localizedString(label->label, pass.table);
    if (const auto* hidden = view.modifier<AccessibilityHidden>())
        node.accessibilityHidden = hidden->hidden;
    if (isStack(view.kind)) return placeStack(base, placement, pass, node);
    if (!isTransparent(view.kind)) return placeLeaf(base, rect, pass, node);
    if (view.kind == ViewKind::Link) node.url = view.destination;
    if (!view.children.empty())
        node.children.push_back(
            placeView(Layer::whole(view.children.front(), base.inherited), placement, pass));
}

// The outermost widget URL set in the tree, links aside.
std::optional<std::string> widgetURLIn(const LaidOutView& node) {
    if (node.kind != ViewKind::Link && node.url) return node.url;
    for (const LaidOutView& child : node.children)
        if (auto url = widgetURLIn(child)) return url;
    return std::nullopt;
}

}  // namespace

Inherited applyEnvironment(Inherited inherited, const Modifier& modifier) {
    std::visit(foundation::Overloaded{
                   [&](const FontModifier& m) { inherited.font = m.font; },
                   [&](const ForegroundStyle& m) { inherited.foreground = m; },
                   [&](const MonospacedDigit&) { inherited.monospacedDigit = true; },
                   [&](const PrivacySensitive&) { inherited.privacySensitive = true; },
                   [&](const LineLimit& m) { inherited.lineLimit = m.lines; },
                   [&](const ColorSchemeEnvironment& m) { inherited.colorScheme = m.colorScheme; },
                   [](const auto&) {},
               },
               modifier);
    return inherited;
}

Layer peel(const Layer& layer) {
    return {layer.view, layer.depth - 1,
            applyEnvironment(layer.inherited, layer.view->modifiers[layer.depth - 1])};
}

CGSize sizeThatFits(const Layer& layer, ProposedSize proposal, Pass& pass) {
    if (layer.depth == 0) return baseSize(layer, proposal, pass);
    if (auto size = modifierSize(layer, proposal, pass)) return *size;
    return sizeThatFits(peel(layer), proposal, pass);
}

void place(const Layer& layer, const Placement& placement, Pass& pass, LaidOutView& node) {
    if (layer.depth == 0) return placeBase(layer, placement, pass, node);
    if (placeModifier(layer, placement, pass, node)) return;
    place(peel(layer), placement, pass, node);
}

LaidOutView placeView(const Layer& layer, const Placement& placement, Pass& pass) {
    LaidOutView node;
    node.kind = layer.view->kind;
    node.layoutFrame = placement.rect;
    place(layer, placement, pass, node);
    return node;
}

CGRect aligned(CGSize size, const CGRect& in, Alignment alignment) {
    const double dx = in.size.width - size.width, dy = in.size.height - size.height;
    const double x = alignment.horizontal == HorizontalAlignment::leading  ? 0
                     : alignment.horizontal == HorizontalAlignment::center ? dx / 2
                                                                           : dx;
    const double y = alignment.vertical == VerticalAlignment::top      ? 0
                     : alignment.vertical == VerticalAlignment::center ? dy / 2
                                                                       : dy;
    return {{in.origin.x + x, in.origin.y + y}, size};
}

}  // namespace layout_engine

LaidOutView layout(const View& root, const CGRect& bounds, const EnvironmentValues& environment) {
    using namespace layout_engine;
    // The string table is looked for and read once for the whole pass.
    const foundation::Bundle bundle = foundation::Bundle::main();
    std::optional<std::string> language = tableLanguage(bundle, environment.locale);
    StringTable table = language ? loadStringTable(bundle, *language) : StringTable{};
    Pass pass{std::move(table), environment.locale, std::move(language), {}};
    Inherited inherited;
    inherited.colorScheme = environment.colorScheme;
    const Layer layer = Layer::whole(root, inherited);
    const ProposedSize proposal = ProposedSize::of(bounds.size);
    const CGSize size = sizeThatFits(layer, proposal, pass);
    // The host centres the view in the space it has.
    LaidOutView laidOut =
        placeView(layer, {aligned(size, bounds, Alignment::center()), proposal}, pass);
    // A widget URL set anywhere is the whole widget's, so the root reports it too.
    if (laidOut.kind != ViewKind::Link) laidOut.url = widgetURLIn(laidOut);
    return laidOut;
}

}  // namespace ui
