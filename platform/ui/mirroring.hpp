#pragma once
// Right-to-left layout: a laid-out tree turned about the vertical axis of its bounds.

#include "platform/ui/laid_out_view.hpp"

namespace ui {

// Every frame (and shape outline) reflected across the vertical line through the middle of
// `bounds`, so stacks run from the trailing edge and leading and trailing swap; what a frame
// holds (glyphs, images, shapes) is moved, never flipped.
void mirrorHorizontally(LaidOutView& view, const CGRect& bounds);

}  // namespace ui
