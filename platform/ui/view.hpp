#pragma once
// A declarative view tree: each node is a toolkit view with its modifiers as data, so that
// code building it reads like the layout it describes, and tests can inspect it.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/modifiers.hpp"
#include "platform/ui/path.hpp"

namespace ui {

enum class ViewKind {
    VStack,
    HStack,
    Spacer,
    Divider,
    ForEach,
    Text,
    Label,
    Image,
    Circle,
    Rectangle,
    Link,
    Shape,
    AnyView
};

// The toolkit's name of a kind, as the laid-out tree reports it.
std::string_view kindName(ViewKind kind);

// A bitmap loaded from a file: where it lies and its size in pixels.
struct NSImage {
    std::filesystem::path file;
    CGSize pixelSize;

    // Reads the whole file and checks every chunk of it (wholePNGSize); nothing when it is
    // missing, not a PNG, cut short or damaged. Pixels are decoded when drawn.
    static std::optional<NSImage> contentsOf(const std::filesystem::path& file);
};

struct View {
    ViewKind kind = ViewKind::AnyView;
    std::vector<View> children;
    std::vector<Modifier> modifiers;

    // Stacks: alignment across the stack's axis, spacing between children (none: default).
    Alignment alignment;
    std::optional<double> spacing;
    // Spacer: its minimum length (none: the platform's default).
    std::optional<double> minLength;
    // Text and Label title.
    std::optional<TextContent> text;
    // Label: the system symbol beside the title.
    std::string systemImage;
    // Image(nsImage:).
    std::optional<NSImage> image;
    // Link: where a click goes.
    std::string destination;
    // Shape: its outline in a given rectangle.
    std::function<Path(const CGRect&)> shapePath;
    // A ForEach element's identity.
    std::optional<std::string> id;

    View font(Font font) && { return with(FontModifier{font}); }
    View foregroundStyle(ForegroundStyle style) && { return with(style); }
    View frame(FixedFrame frame) && { return with(frame); }
    View frame(FlexibleFrame frame) && { return with(frame); }
    View padding(double length) && { return with(Padding{EdgeInsets::all(length)}); }
    View fixedSize() && { return with(FixedSize{}); }
    View scaledToFit() && { return with(ScaledToFit{}); }
    View resizable() && { return with(Resizable{}); }
    View lineLimit(int lines) && { return with(LineLimit{lines}); }
    View privacySensitive() && { return with(PrivacySensitive{}); }
    View monospacedDigit() && { return with(MonospacedDigit{}); }
    View strokeBorder(Color color, double lineWidth) && {
        return with(StrokeBorder{color, lineWidth});
    }
    View fill(Color color, FillStyle style = {}) && { return with(Fill{color, style}); }
    View environment(ColorScheme scheme) && { return with(ColorSchemeEnvironment{scheme}); }
    View containerBackground(Color color) && { return with(ContainerBackground{color}); }
    View widgetURL(std::string url) && { return with(WidgetURL{std::move(url)}); }
    View accessibilityLabel(LocalizedStringKey label) && {
        return with(AccessibilityLabel{std::move(label)});
    }
    View accessibilityHidden(bool hidden) && { return with(AccessibilityHidden{hidden}); }

    // The first modifier of type M, if any.
    template <class M>
    const M* modifier() const {
        for (const Modifier& m : modifiers)
            if (const M* found = std::get_if<M>(&m)) return found;
        return nullptr;
    }

private:
    View with(Modifier modifier) {
        modifiers.push_back(std::move(modifier));
        return std::move(*this);
    }
};

// Builders, named and ordered as the toolkit's views.
View VStack(Alignment alignment, std::optional<double> spacing, std::vector<View> children);
View HStack(Alignment alignment, std::optional<double> spacing, std::vector<View> children);
View Spacer(std::optional<double> minLength = std::nullopt);
View Divider();
View Text(LocalizedStringKey key);
View Text(Verbatim text);
View Text(TimeText time);
View Label(LocalizedStringKey title, std::string systemImage);
View Image(NSImage image);
View Circle();
View Rectangle();
View Link(std::string destination, View label);
View Shape(std::function<Path(const CGRect&)> path);
View AnyView(View view);

// One group of children per element, each group tagged with the element's identity.
template <class Range, class IdOf, class Content>
View ForEach(const Range& elements, IdOf idOf, Content content) {
    View forEach;
    forEach.kind = ViewKind::ForEach;
    for (const auto& element : elements) {
        for (View child : content(element)) {
            child.id = idOf(element);
            forEach.children.push_back(std::move(child));
        }
    }
    return forEach;
}

}  // namespace ui
