#include "platform/desktop/wayland_registry.hpp"

#include <glib.h>
#include <wayland-client.h>

#include <cstring>
#include <memory>

namespace desktop {
namespace {

struct DisplayDisconnect {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};
struct RegistryDestroy {
    void operator()(wl_registry* registry) const { wl_registry_destroy(registry); }
};

void globalAnnounced(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) *static_cast<bool*>(data) = true;
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener registryListener{globalAnnounced, globalRemoved};

// Connects as GTK would (WAYLAND_DISPLAY, or wayland-0), reads the globals and leaves.
void lookAtWayland(SessionOffer& offer) {
    if (g_getenv("WAYLAND_SOCKET")) {
        // Connecting would take the one socket handed over from GTK.
        offer.wayland = true;
        offer.layerShell.reset();
        return;
    }
    // Without a runtime directory a relative socket name cannot be found, and libwayland would
    // say so on standard error; GTK does not try either.
    const char* name = g_getenv("WAYLAND_DISPLAY");
    if (!g_getenv("XDG_RUNTIME_DIR") && !(name && name[0] == '/')) return;
    const std::unique_ptr<wl_display, DisplayDisconnect> display(wl_display_connect(nullptr));
    if (!display) return;
    offer.wayland = true;
    bool layerShell = false;
    const std::unique_ptr<wl_registry, RegistryDestroy> registry(
        wl_display_get_registry(display.get()));
    wl_registry_add_listener(registry.get(), &registryListener, &layerShell);
    if (wl_display_roundtrip(display.get()) < 0) return;
    offer.layerShell = layerShell;
}

}  // namespace

SessionOffer lookAtSession() {
    SessionOffer offer;
    lookAtWayland(offer);
    const char* display = g_getenv("DISPLAY");
    offer.x11 = display && *display;
    const char* backend = g_getenv("GDK_BACKEND");
    offer.gdkBackendSet = backend && *backend;
    return offer;
}

}  // namespace desktop
