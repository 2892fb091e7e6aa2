// The line the host writes for each frame it draws.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "platform/desktop/frame_line.hpp"

namespace desktop {
namespace {

using widgetkit::WidgetFamily;

TEST(FrameLine, FamilyReasonAndPixels) {
    const std::string line = frameLine(WidgetFamily::systemMedium, "reload", {728, 340});
    EXPECT_EQ(line, R"({"family":"medium","reason":"reload","width":728,"height":340})");
    EXPECT_TRUE(nlohmann::json::accept(line));
}

}  // namespace
}  // namespace desktop
