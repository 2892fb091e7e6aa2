#pragma once
// Asking the widget host to reload the timelines of a widget kind: one datagram holding the
// kind, sent to the host's socket in the shared container.

#include <filesystem>
#include <string_view>

namespace widgetkit {

inline constexpr std::string_view hostSocketName = "widget-host.sock";

// Never blocks and never fails: no socket, no listener or a full queue drops the request.
void reloadTimelines(std::string_view ofKind, const std::filesystem::path& container);

}  // namespace widgetkit
