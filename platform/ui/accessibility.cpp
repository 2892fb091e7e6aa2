#include "platform/ui/accessibility.hpp"

namespace ui {
namespace {

void appendName(std::string& name, const std::string& part) {
    if (part.empty()) return;
    if (!name.empty()) name += ", ";
    name += part;
}

// What the view says within a link: labels in place of what they label, texts as drawn.
void collectName(const LaidOutView& node, bool redacted, std::string& name) {
    if (node.accessibilityHidden) return;
    if (node.accessibilityLabel) return appendName(name, *node.accessibilityLabel);
    if (node.kind == ViewKind::Text && node.text && !(redacted && node.privacySensitive))
        appendName(name, *node.text);
    for (const LaidOutView& child : node.children)
        collectName(child, redacted, name);
}

void collect(const LaidOutView& node, bool redacted, std::vector<AccessibleElement>& elements) {
    if (node.accessibilityHidden) return;
    if (node.kind == ViewKind::Link && node.url) {
        AccessibleElement link{AccessibleElement::Role::link, node.layoutFrame, {}, node.url};
        collectName(node, redacted, link.name);
        elements.push_back(std::move(link));
        return;
    }
    if (node.accessibilityLabel) {
        elements.push_back(
            {AccessibleElement::Role::image, node.layoutFrame, *node.accessibilityLabel, {}});
        return;
    }
    for (const LaidOutView& child : node.children)
        collect(child, redacted, elements);
}

}  // namespace

std::vector<AccessibleElement> accessibleElements(const LaidOutView& root, bool redacted) {
    std::vector<AccessibleElement> elements;
    collect(root, redacted, elements);
    return elements;
}

}  // namespace ui
