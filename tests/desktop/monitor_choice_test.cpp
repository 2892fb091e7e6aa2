// The monitor the widgets go on: the named one, else the primary, else the first.

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

#include "platform/desktop/monitor_choice.hpp"

namespace desktop {
namespace {

TEST(MonitorChoice, TheNamedOneElseThePrimaryElseTheFirst) {
    const std::vector<MonitorFacts> withPrimary{{"DP-1", false}, {"HDMI-1", true}, {"DP-2", false}};
    const std::vector<MonitorFacts> withoutPrimary{{"HEADLESS-1", false}, {"HEADLESS-2", false}};
    struct Case {
        const std::vector<MonitorFacts>* monitors;
        std::string_view wanted;
        std::optional<std::size_t> chosen;
    };
    const std::vector<MonitorFacts> none;
    const Case cases[] = {
        {&withPrimary, "DP-2", 2},          {&withPrimary, "", 1},    {&withPrimary, "VGA-1", 1},
        {&withoutPrimary, "HEADLESS-2", 1}, {&withoutPrimary, "", 0}, {&withoutPrimary, "gone", 0},
        {&none, "DP-1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseMonitor(*c.monitors, c.wanted), c.chosen) << c.wanted;
}

}  // namespace
}  // namespace desktop
