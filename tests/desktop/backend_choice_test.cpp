// The backends GTK may open, from the one asked for and what the session offers.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/desktop/backend_choice.hpp"

namespace desktop {
namespace {

TEST(BackendChoice, LayerShellFirstThenX11ThenPlainWayland) {
    struct Case {
        Backend requested;
        SessionOffer offer;
        std::string backends;
    };
    const SessionOffer sway{true, true, false, false};
    const SessionOffer gnome{true, false, true, false};    // XWayland beside it
    const SessionOffer weston{true, false, false, false};  // no X11 at all
    const SessionOffer xorg{false, false, true, false};
    const SessionOffer handedOver{true, std::nullopt, true, false};  // WAYLAND_SOCKET
    const SessionOffer chosenByUser{true, false, true, true};        // GDK_BACKEND set
    const Case cases[] = {
        {Backend::automatic, sway, "wayland"},
        {Backend::automatic, {true, true, true, false}, "wayland"},
        {Backend::automatic, gnome, "x11"},
        {Backend::automatic, weston, "wayland"},
        {Backend::automatic, xorg, "x11"},
        {Backend::automatic, handedOver, "wayland"},
        {Backend::automatic, chosenByUser, ""},
        {Backend::automatic, {}, ""},
        {Backend::wayland, gnome, "wayland"},
        {Backend::wayland, chosenByUser, "wayland"},
        {Backend::x11, sway, "x11"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(allowedBackends(c.requested, c.offer), c.backends)
            << int(c.requested) << c.offer.wayland << c.offer.layerShell.value_or(true)
            << c.offer.x11 << c.offer.gdkBackendSet;
    // The one line for plain windows says what would do better where something would.
    EXPECT_NE(plainWindowNotice(Backend::wayland, gnome).find("--backend x11"), std::string::npos);
    EXPECT_NE(plainWindowNotice(Backend::automatic, weston).find("no X11 display"),
              std::string::npos);
}

}  // namespace
}  // namespace desktop
