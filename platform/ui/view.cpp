#include "platform/ui/view.hpp"

#include <algorithm>
#include <array>

#include "platform/foundation/bounded_read.hpp"
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
    // A file this large is no image of ours; read to the limit it fails the check anyway.
    constexpr std::uintmax_t maxImageBytes = std::uintmax_t(16) << 20;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return std::nullopt;
    // One byte more than the file holds, so that a file grown meanwhile is still read whole.
    const auto bytes = foundation::readFilePrefix(file, std::min(size + 1, maxImageBytes));
    if (!bytes) return std::nullopt;
    const auto pixels = wholePNGSize(*bytes);
    if (!pixels) return std::nullopt;
    return NSImage{file, {double(pixels->width), double(pixels->height)}};
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
