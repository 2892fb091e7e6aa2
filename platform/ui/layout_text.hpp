#pragma once
// Texts and labels inside the layout engine.

#include "platform/ui/layout_engine.hpp"

namespace ui::layout_engine {

// The default foreground, the secondary style or a colour of the view's own, for the scheme
// in force.
Color foregroundColor(const Inherited& inherited);

CGSize textSize(const Layer& base, ProposedSize proposal, Pass& pass);
void placeText(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node);

CGSize labelSize(const Layer& base, ProposedSize proposal, Pass& pass);
void placeLabel(const Layer& base, const CGRect& rect, Pass& pass, LaidOutView& node);

}  // namespace ui::layout_engine
