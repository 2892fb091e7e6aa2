#include "platform/ui/hit_test.hpp"

namespace ui {

std::optional<std::string> urlAt(const LaidOutView& root, CGPoint) { return root.url; }

}  // namespace ui
