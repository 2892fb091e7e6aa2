#include "platform/ui/view.hpp"

#include <array>
#include <fstream>

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

std::uint32_t bigEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

std::string_view kindName(ViewKind kind) {
    static constexpr std::array<std::string_view, 13> names{
        "VStack", "HStack", "Spacer",    "Divider", "ForEach", "Text",   "Label",
        "Image",  "Circle", "Rectangle", "Link",    "Shape",   "AnyView"};
    return names[std::size_t(kind)];
}

std::optional<NSImage> NSImage::contentsOf(const std::filesystem::path& file) {
    // Like the platform's image, this only looks at the header; pixels are decoded when drawn.
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 24> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return std::nullopt;
    static constexpr std::array<unsigned char, 8> signature{0x89, 'P',  'N',  'G',
                                                            '\r', '\n', 0x1A, '\n'};
    if (!std::equal(signature.begin(), signature.end(), header.begin())) return std::nullopt;
    if (std::string_view(reinterpret_cast<const char*>(&header[12]), 4) != "IHDR")
        return std::nullopt;
    const auto width = bigEndian32(&header[16]), height = bigEndian32(&header[20]);
    if (width == 0 || height == 0) return std::nullopt;
    return NSImage{file, {double(width), double(height)}};
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
