#include "platform/widgetkit/widget_host.hpp"

#include <cstdio>

namespace widgetkit {

int serveWidget(const WidgetRuntime&, const HostRequest&, const std::filesystem::path&) {
    std::fprintf(stderr, "JotbirdWidgets: serve is not available yet\n");
    return 1;
}

}  // namespace widgetkit
