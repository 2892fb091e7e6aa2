#include "platform/desktop/link_targets.hpp"

namespace desktop {
namespace {

void collectTexts(const ui::LaidOutView& node, bool redacted, std::string& name) {
    if (node.kind == ui::ViewKind::Text && node.text && !node.text->empty() &&
        !(redacted && node.privacySensitive)) {
        if (!name.empty()) name += ", ";
        name += *node.text;
    }
    for (const ui::LaidOutView& child : node.children)
        collectTexts(child, redacted, name);
}

void collectLinks(const ui::LaidOutView& node, bool redacted, std::vector<LinkTarget>& links) {
    if (node.kind == ui::ViewKind::Link && node.url) {
        LinkTarget link{node.layoutFrame, *node.url, {}};
        collectTexts(node, redacted, link.name);
        links.push_back(std::move(link));
        return;
    }
    for (const ui::LaidOutView& child : node.children)
        collectLinks(child, redacted, links);
}

}  // namespace

std::vector<LinkTarget> linkTargets(const ui::LaidOutView& root, bool redacted) {
    std::vector<LinkTarget> links;
    collectLinks(root, redacted, links);
    return links;
}

}  // namespace desktop
