#pragma once
// Finding things in a declarative view tree, for tests that read it like the layout.

#include <string>
#include <vector>

#include "platform/ui/view.hpp"

namespace testsupport {

// Every node of the tree in depth-first order, the root first.
inline void collect(const ui::View& view, std::vector<const ui::View*>& out) {
    out.push_back(&view);
    for (const ui::View& child : view.children)
        collect(child, out);
}

inline std::vector<const ui::View*> allNodes(const ui::View& root) {
    std::vector<const ui::View*> nodes;
    collect(root, nodes);
    return nodes;
}

inline std::vector<const ui::View*> nodesOfKind(const ui::View& root, ui::ViewKind kind) {
    std::vector<const ui::View*> found;
    for (const ui::View* node : allNodes(root))
        if (node->kind == kind) found.push_back(node);
    return found;
}

// The key of a localized text, or the verbatim text, or "<time>".
inline std::string textOf(const ui::View& view) {
    if (!view.text) return {};
    if (auto key = std::get_if<ui::LocalizedStringKey>(&*view.text)) return key->key;
    if (auto verbatim = std::get_if<ui::Verbatim>(&*view.text)) return verbatim->text;
    return "<time>";
}

inline std::vector<std::string> kindNames(const std::vector<ui::View>& views) {
    std::vector<std::string> names;
    for (const ui::View& view : views)
        names.emplace_back(ui::kindName(view.kind));
    return names;
}

}  // namespace testsupport
