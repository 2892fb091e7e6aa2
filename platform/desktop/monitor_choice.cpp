#include "platform/desktop/monitor_choice.hpp"

namespace desktop {

std::optional<std::size_t> chooseMonitor(const std::vector<MonitorFacts>& monitors,
                                         std::string_view wanted) {
    if (monitors.empty()) return std::nullopt;
    if (!wanted.empty())
        for (std::size_t i = 0; i < monitors.size(); ++i)
            if (monitors[i].name == wanted) return i;
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].primary) return i;
    return 0;
}

}  // namespace desktop
