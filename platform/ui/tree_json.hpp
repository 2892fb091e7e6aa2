#pragma once
// The laid-out tree as one line of JSON.

#include <string>

#include "platform/ui/laid_out_view.hpp"

namespace ui {

std::string treeJSON(const LaidOutView& root);

}  // namespace ui
