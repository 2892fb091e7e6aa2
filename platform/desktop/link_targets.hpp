#pragma once
// The links of a laid-out widget as a keyboard or screen-reader user meets them: in view
// order, each with the area a click on it covers and a name made of what it shows.

#include <string>
#include <vector>

#include "platform/ui/laid_out_view.hpp"

namespace desktop {

struct LinkTarget {
    ui::CGRect frame;  // the link's layout frame, in points
    std::string url;
    std::string name;  // its texts as drawn, joined with ", "
};

// Every link in the tree, depth first. Privacy-sensitive texts count towards a name only when
// they are drawn as they are (`redacted` false), so a name never tells what the screen hides.
std::vector<LinkTarget> linkTargets(const ui::LaidOutView& root, bool redacted);

}  // namespace desktop
