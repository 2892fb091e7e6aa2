#pragma once
// The desktop host's command line: which windows, where, in which scheme and on which layer.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/foundation/option_table.hpp"
#include "platform/widgetkit/widget_family.hpp"

namespace desktop {

enum class Corner { topLeft, topRight, bottomLeft, bottomRight };
enum class SchemeChoice { automatic, light, dark };
enum class LayerChoice { background, bottom };  // the layer-shell layer asked for
enum class Backend { automatic, wayland, x11 };

struct DesktopOptions {
    std::vector<widgetkit::WidgetFamily> families;  // one window each, in this order
    Corner corner = Corner::topRight;
    double margin = 24;  // points from both edges of the work area
    SchemeChoice scheme = SchemeChoice::automatic;
    bool legacy = false;
    LayerChoice layer = LayerChoice::bottom;
    Backend backend = Backend::automatic;
    std::string monitor;  // a connector name; empty for the primary (or first) monitor
    bool quiet = false;   // no frame lines
    // --family, --corner or --margin was given: the command line decides where the widgets
    // are for this run, not the kept settings, and is kept from then on.
    bool placementGiven = false;
    bool version = false;  // print the version and stop
    bool help = false;
};

inline constexpr std::string_view desktopUsage =
    "usage: JotbirdWidgetsDesktop [--family small|medium|large]... "
    "[--corner top-left|top-right|bottom-left|bottom-right]\n"
    "         [--margin N] [--scheme auto|light|dark] [--legacy] [--layer background|bottom]\n"
    "         [--backend auto|wayland|x11] [--monitor NAME] [--quiet] [--version] [--help]\n"
    "Options take their value as the next argument or after '='.\n";

// Parses the arguments after the program's name; default family medium when none is given.
std::variant<DesktopOptions, foundation::UsageError> parseDesktopOptions(
    const std::vector<std::string_view>& arguments);

}  // namespace desktop
