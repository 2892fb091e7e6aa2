#include "platform/desktop/x11_window_type.hpp"

namespace desktop {

X11WindowType x11WindowTypeFor(std::string_view windowManager) {
    // fluxbox focuses a new normal window and cycles to it with Alt+Tab whatever its states
    // say; a desktop window it keeps below, out of cycling and unfocused until clicked.
    if (windowManager == "Fluxbox") return X11WindowType::desktop;
    // KWin switches among normal windows and dialogs only, and asks attention for a normal
    // window it did not activate; a toolbar it keeps below, on every desktop, clickable.
    if (windowManager == "KWin") return X11WindowType::toolbar;
    return X11WindowType::normal;
}

}  // namespace desktop
