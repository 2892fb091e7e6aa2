#include "platform/desktop/backend_choice.hpp"

namespace desktop {

std::string allowedBackends(Backend requested, const SessionOffer& offer) {
    switch (requested) {
        case Backend::wayland:
            return "wayland";
        case Backend::x11:
            return "x11";
        case Backend::automatic:
            break;
    }
    if (offer.gdkBackendSet) return "";
    // A handed-over socket is Wayland's to keep: only GTK can use it.
    if (offer.wayland && offer.layerShell.value_or(true)) return "wayland";
    if (offer.x11) return "x11";
    if (offer.wayland) return "wayland";
    return "";
}

std::string plainWindowNotice(Backend requested, const SessionOffer& offer) {
    std::string notice =
        "this Wayland compositor offers no layer shell (zwlr_layer_shell_v1), so the widget "
        "shows in plain windows, placed and stacked as the compositor likes";
    if (requested == Backend::wayland && offer.x11)
        notice += "; --backend x11 (or auto) keeps them below other windows through XWayland";
    else if (!offer.x11)
        notice += ", as the session has no X11 display (DISPLAY) to keep them below others";
    return notice;
}

}  // namespace desktop
