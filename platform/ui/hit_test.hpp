#pragma once
// Which link a click at a point opens.

#include <optional>
#include <string>

#include "platform/ui/laid_out_view.hpp"

namespace ui {

// The innermost link under the point, else the root's widgetURL.
std::optional<std::string> urlAt(const LaidOutView& root, CGPoint point);

}  // namespace ui
