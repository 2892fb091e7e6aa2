#pragma once
// The fonts texts are set in: the project's own fontconfig set-up, made once per process.

extern "C" {
typedef struct _FcConfig FcConfig;
}

namespace ui {

// The configuration loaded from the bundle's fonts/fonts.conf: the Noto directories, their
// fontconfig caches and the order in which fonts stand in for each other. Null when the
// bundle has no such file; Pango then uses the system's configuration. It is also made the
// process's current fontconfig configuration.
FcConfig* fontConfiguration();

}  // namespace ui
