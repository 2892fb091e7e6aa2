#include "platform/ui/view.hpp"

#include <array>

#include "platform/ui/png_file.hpp"

namespace ui {
namespace {

View make(ViewKind kind) {
    View view;
    view.kind = kind;
    return view;
}

View stack(ViewKind kind, Alignment alignment, std::optional<double> spacing,
           std::vector<View> children) {
    View view = make(kind);
    view.alignment = alignment;
    view.spacing = spacing;
    view.children = std::move(children);
    return view;
}

View text(TextContent content) {
    View view = make(ViewKind::Text);
    view.text = std::move(content);
    return view;
}

}  // namespace

std::string_view kindName(ViewKind kind) {
    static constexpr std::array<std::string_view, 13> names{
        "VStack", "HStack", "Spacer",    "Divider", "ForEach", "Text",   "Label",
        "Image",  "Circle", "Rectangle", "Link",    "Shape",   "AnyView"};
    return names[std::size_t(kind)];
}

std::optional<NSImage> NSImage::contentsOf(const std::filesystem::path& file) {
    // The whole picture is decoded, so that a file cut short after a valid header counts as
    // no image and the caller's fallback shows instead of a blank.
    CairoSurfacePtr bitmap = readPNG(file);
    if (!bitmap) return std::nullopt;
    const int width = cairo_image_surface_get_width(bitmap.get());
    const int height = cairo_image_surface_get_height(bitmap.get());
    if (width <= 0 || height <= 0) return std::nullopt;
    return NSImage{file,
                   {double(width), double(height)},
                   std::shared_ptr<cairo_surface_t>(bitmap.release(), CairoSurfaceDestroy{})};
}

View VStack(Alignment alignment, std::optional<double> spacing, std::vector<View> children) {
    return stack(ViewKind::VStack, alignment, spacing, std::move(children));
}
View HStack(Alignment alignment, std::optional<double> spacing, std::vector<View> children) {
    return stack(ViewKind::HStack, alignment, spacing, std::move(children));
}
View Spacer(std::optional<double> minLength) {
    View view = make(ViewKind::Spacer);
    view.minLength = minLength;
    return view;
}
View Divider() {
    return make(ViewKind::Divider);
}
View Text(LocalizedStringKey key) {
    return text(std::move(key));
}
View Text(Verbatim verbatim) {
    return text(std::move(verbatim));
}
View Text(TimeText time) {
    return text(time);
}
View Label(LocalizedStringKey title, std::string systemImage) {
    View view = make(ViewKind::Label);
    view.text = std::move(title);
    view.systemImage = std::move(systemImage);
    return view;
}
View Image(NSImage image) {
    View view = make(ViewKind::Image);
    view.image = std::move(image);
    return view;
}
View Circle() {
    return make(ViewKind::Circle);
}
View Rectangle() {
    return make(ViewKind::Rectangle);
}
View Link(std::string destination, View label) {
    View view = make(ViewKind::Link);
    view.destination = std::move(destination);
    view.children.push_back(std::move(label));
    return view;
}
View Shape(std::function<Path(const CGRect&)> path) {
    View view = make(ViewKind::Shape);
    view.shapePath = std::move(path);
    return view;
}
View AnyView(View wrapped) {
    View view = make(ViewKind::AnyView);
    view.children.push_back(std::move(wrapped));
    return view;
}

}  // namespace ui
