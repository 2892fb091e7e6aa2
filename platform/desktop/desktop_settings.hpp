#pragma once
// The widgets a person put on the desktop, kept across sessions in
// $XDG_CONFIG_HOME/jotbird-widgets/desktop.ini (a GLib key file): each widget's family, the
// monitor it is on and where it sits in that monitor's work area, in order.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/ui/geometry.hpp"
#include "platform/ui/widget_family.hpp"

namespace desktop {

struct PlacedWidget {
    ui::WidgetFamily family = ui::WidgetFamily::systemMedium;
    std::string monitor;                  // connector name; empty: the primary monitor
    std::optional<ui::CGPoint> position;  // top-left, points from the work area's; none: placed
                                          // at the corner as the command line says
    bool operator==(const PlacedWidget&) const = default;
};

struct DesktopSettings {
    std::vector<PlacedWidget> widgets;
};

// What reading the file found. No settings and no problem: there is no file yet.
struct LoadedSettings {
    std::optional<DesktopSettings> settings;
    std::string problem;  // one line for standard error, when the file could not be used
};

// The file in the user's configuration directory; none when XDG_CONFIG_HOME and HOME give no
// absolute directory.
std::optional<std::filesystem::path> settingsFile();

// Reads the settings. A file that cannot be read is left as it is; one that is malformed is
// renamed beside itself (".malformed" added), so that the next save never writes over what
// the person may want back.
LoadedSettings loadSettings(const std::filesystem::path& file);

// The settings as the key file's text.
std::string settingsText(const DesktopSettings& settings);

// Writes the settings atomically, 0600, making the directory (0700) when missing.
std::error_code saveSettings(const std::filesystem::path& file, const DesktopSettings& settings);

}  // namespace desktop
