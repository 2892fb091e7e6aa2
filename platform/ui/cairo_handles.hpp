#pragma once
// Owning handles for Cairo objects, released with Cairo's own destroy functions.

#include <cairo.h>

#include <memory>

namespace ui {

struct CairoSurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

struct CairoDestroy {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDestroy>;

struct CairoPatternDestroy {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using CairoPatternPtr = std::unique_ptr<cairo_pattern_t, CairoPatternDestroy>;

}  // namespace ui
