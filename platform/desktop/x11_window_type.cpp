#include "platform/desktop/x11_window_type.hpp"

namespace desktop {

X11WindowType x11WindowTypeFor(std::string_view windowManager) {
    // fluxbox focuses a new normal window and cycles to it with Alt+Tab whatever its states
    // say; a desktop window it keeps below, out of cycling and unfocused until clicked.
    if (windowManager == "Fluxbox") return X11WindowType::desktop;
    return X11WindowType::normal;
}

}  // namespace desktop
