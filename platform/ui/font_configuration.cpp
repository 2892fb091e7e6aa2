#include "platform/ui/font_configuration.hpp"

#include <fontconfig/fontconfig.h>

#include <memory>

#include "platform/foundation/bundle.hpp"

namespace ui {
namespace {

struct FcConfigRelease {
    void operator()(FcConfig* config) const { ::FcConfigDestroy(config); }
};
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigRelease>;

// Building the font set reads fontconfig's cache of each directory; only a directory whose
// cache is missing or stale is scanned (and its cache written for the next start).
FcConfigPtr loadConfiguration() {
    const auto file = foundation::Bundle::main().urlForResource("fonts/fonts", "conf");
    if (!file) return nullptr;
    FcConfigPtr config(FcConfigCreate());
    if (!config) return nullptr;
    if (!FcConfigParseAndLoad(config.get(), reinterpret_cast<const FcChar8*>(file->c_str()),
                              FcTrue) ||
        !FcConfigBuildFonts(config.get()))
        return nullptr;
    // Made the process's current configuration too, before any font map exists: Pango would
    // otherwise load the whole system configuration in the background at its first font map,
    // and Cairo reads the current one when it completes font patterns.
    FcConfigSetCurrent(config.get());
    return config;
}

}  // namespace

FcConfig* fontConfiguration() {
    // Made once, on first use, from any thread; font maps keep their own references to it.
    static const FcConfigPtr config = loadConfiguration();
    return config.get();
}

}  // namespace ui
