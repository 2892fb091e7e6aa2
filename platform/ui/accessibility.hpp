#pragma once
// A laid-out widget as a screen reader meets it: its links and labelled images in view
// order, each with the area it covers and its name. The view's own accessibility modifiers
// decide: a label names a view in place of its texts, a hidden view and all within it are
// left out.

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/laid_out_view.hpp"

namespace ui {

struct AccessibleElement {
    enum class Role { link, image } role = Role::link;
    CGRect frame;                    // the view's layout frame, in points
    std::string name;                // its label, else its texts as drawn joined with ", "
    std::optional<std::string> url;  // a link's destination
};

// Every link, and every labelled view outside a link, depth first. Privacy-sensitive texts
// count towards a name only when they are drawn as they are (`redacted` false), so a name
// never tells what the screen hides.
std::vector<AccessibleElement> accessibleElements(const LaidOutView& root, bool redacted);

}  // namespace ui
