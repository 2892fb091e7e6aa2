#include "platform/desktop/wayland_registry.hpp"

#include <glib.h>
#include <wayland-client.h>

#include <algorithm>
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
struct OutputDestroy {
    void operator()(wl_output* output) const { wl_output_destroy(output); }
};
using Display = std::unique_ptr<wl_display, DisplayDisconnect>;

// Connects as GTK would (WAYLAND_DISPLAY, or wayland-0); none without a runtime directory,
// where a relative name cannot be found and libwayland would say so on standard error.
Display connectAsGtk() {
    if (g_getenv("WAYLAND_SOCKET")) return nullptr;  // GTK's alone
    const char* name = g_getenv("WAYLAND_DISPLAY");
    if (!g_getenv("XDG_RUNTIME_DIR") && !(name && name[0] == '/')) return nullptr;
    return Display(wl_display_connect(nullptr));
}

// What the registry's globals tell, and the outputs bound on the way.
struct Globals {
    wl_registry* registry = nullptr;
    bool layerShell = false;
    bool bindOutputs = false;
    std::vector<std::unique_ptr<wl_output, OutputDestroy>> outputs;
    std::vector<WaylandOutput> facts;  // one per output, filled by its events
};

void outputGeometry(void* data, wl_output* output, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t);
void outputName(void* data, wl_output* output, const char* name);
void outputIgnored(void*, wl_output*) {}
void outputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void outputScale(void*, wl_output*, int32_t) {}
void outputDescription(void*, wl_output*, const char*) {}

constexpr wl_output_listener outputListener{outputGeometry, outputMode, outputIgnored,
                                            outputScale,    outputName, outputDescription};

WaylandOutput* factsOf(Globals& globals, wl_output* output) {
    for (std::size_t i = 0; i < globals.outputs.size(); ++i)
        if (globals.outputs[i].get() == output) return &globals.facts[i];
    return nullptr;
}

void outputGeometry(void* data, wl_output* output, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t) {
    if (WaylandOutput* facts = factsOf(*static_cast<Globals*>(data), output)) {
        facts->x = x;
        facts->y = y;
    }
}

void outputName(void* data, wl_output* output, const char* name) {
    if (WaylandOutput* facts = factsOf(*static_cast<Globals*>(data), output)) facts->name = name;
}

void globalAnnounced(void* data, wl_registry* registry, uint32_t id, const char* interface,
                     uint32_t version) {
    auto& globals = *static_cast<Globals*>(data);
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) globals.layerShell = true;
    // Names came with version 4 of wl_output.
    if (globals.bindOutputs && std::strcmp(interface, "wl_output") == 0 && version >= 4) {
        auto* output =
            static_cast<wl_output*>(wl_registry_bind(registry, id, &wl_output_interface, 4));
        globals.outputs.emplace_back(output);
        globals.facts.emplace_back();
        wl_output_add_listener(output, &outputListener, &globals);
    }
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener registryListener{globalAnnounced, globalRemoved};

// One round trip for the globals, a second for the events of what was bound; false when the
// connection failed.
bool readGlobals(wl_display* display, Globals& globals) {
    const std::unique_ptr<wl_registry, RegistryDestroy> registry(wl_display_get_registry(display));
    wl_registry_add_listener(registry.get(), &registryListener, &globals);
    if (wl_display_roundtrip(display) < 0) return false;
    if (!globals.outputs.empty() && wl_display_roundtrip(display) < 0) return false;
    globals.outputs.clear();
    return true;
}

void lookAtWayland(SessionOffer& offer) {
    if (g_getenv("WAYLAND_SOCKET")) {
        // Connecting would take the one socket handed over from GTK.
        offer.wayland = true;
        offer.layerShell.reset();
        return;
    }
    const Display display = connectAsGtk();
    if (!display) return;
    offer.wayland = true;
    Globals globals;
    if (readGlobals(display.get(), globals)) offer.layerShell = globals.layerShell;
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

std::vector<WaylandOutput> waylandOutputs() {
    const Display display = connectAsGtk();
    if (!display) return {};
    Globals globals;
    globals.bindOutputs = true;
    if (!readGlobals(display.get(), globals)) return {};
    std::erase_if(globals.facts, [](const WaylandOutput& output) { return output.name.empty(); });
    return globals.facts;
}

}  // namespace desktop
