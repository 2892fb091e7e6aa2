#pragma once
// Lays a view tree out the way the toolkit does: stacks offer space to their children from
// the least to the most flexible, spacers take what is left, frames and paddings bound it.

#include "platform/ui/environment.hpp"
#include "platform/ui/laid_out_view.hpp"
#include "platform/ui/view.hpp"

namespace ui {

// Places `root` in `bounds` (widget coordinates) with the given environment.
LaidOutView layout(const View& root, const CGRect& bounds, const EnvironmentValues& environment);

}  // namespace ui
