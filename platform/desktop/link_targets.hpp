#pragma once
// The links of a laid-out widget as a keyboard or screen-reader user meets them: in view
// order, each with the area a click on it covers and the name the view gives it.

#include <string>
#include <vector>

#include "platform/ui/laid_out_view.hpp"

namespace desktop {

struct LinkTarget {
    ui::CGRect frame;  // the link's layout frame, in points
    std::string url;
    std::string name;  // as ui::accessibleElements names it
};

// Every link in the tree, depth first, named as ui::accessibleElements names them.
std::vector<LinkTarget> linkTargets(const ui::LaidOutView& root, bool redacted);

// A labelled view outside the links (the brand), which a screen reader names but no one clicks.
struct NamedImage {
    ui::CGRect frame;
    std::string name;
};
std::vector<NamedImage> namedImages(const ui::LaidOutView& root, bool redacted);

}  // namespace desktop
