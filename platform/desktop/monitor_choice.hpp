#pragma once
// Which monitor the host's windows sit on: the one named with --monitor (a connector name such
// as "DP-1" or "HEADLESS-2"), else the primary monitor, else the first.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace desktop {

struct MonitorFacts {
    std::string name;  // the connector; empty where it cannot be told
    bool primary = false;
};

// The index of the monitor to use among `monitors`, in the display's order; none when there
// are none.
std::optional<std::size_t> chooseMonitor(const std::vector<MonitorFacts>& monitors,
                                         std::string_view wanted);

}  // namespace desktop
