#include "platform/ui/tree_json.hpp"

namespace ui {

std::string treeJSON(const LaidOutView&) { return "{}"; }

}  // namespace ui
