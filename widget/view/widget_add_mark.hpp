#pragma once
// The add button's icon: a disc with a plus in it, drawn on an 18 x 18 grid.

#include "platform/ui/path.hpp"
#include "platform/ui/view.hpp"

namespace jotbird {

struct WidgetAddMark {
    // Two closed subpaths in the square centred in `rect`: the circle, then the plus.
    ui::Path path(const ui::CGRect& rect) const;

    // The shape as a view, sized by the frame it is given.
    ui::View view() const;
};

}  // namespace jotbird
