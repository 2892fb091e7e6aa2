#include "platform/desktop/link_targets.hpp"

#include "platform/ui/accessibility.hpp"

namespace desktop {

std::vector<LinkTarget> linkTargets(const ui::LaidOutView& root, bool redacted) {
    std::vector<LinkTarget> links;
    for (ui::AccessibleElement& element : ui::accessibleElements(root, redacted))
        if (element.role == ui::AccessibleElement::Role::link)
            links.push_back({element.frame, std::move(*element.url), std::move(element.name)});
    return links;
}

std::vector<NamedImage> namedImages(const ui::LaidOutView& root, bool redacted) {
    std::vector<NamedImage> images;
    for (ui::AccessibleElement& element : ui::accessibleElements(root, redacted))
        if (element.role == ui::AccessibleElement::Role::image)
            images.push_back({element.frame, std::move(element.name)});
    return images;
}

}  // namespace desktop
