// Draws the brand artwork, JotbirdBrand.png: a yellow note and the word "Jotbird", on a
// transparent ground, at three times the 66 x 22 points the widget's header gives it; and the
// application icon, the same note alone on a square, as PNG at a pixel size or as SVG.
//
// Usage: jotbird_brand OUTPUT.png
//        jotbird_brand --icon SIZE OUTPUT.png
//        jotbird_brand --icon scalable OUTPUT.svg

#include <cairo-svg.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>

namespace {

constexpr int scale = 3;
constexpr double widthPoints = 66, heightPoints = 22;

struct Rgb {
    double r, g, b;
};
constexpr Rgb noteYellow{1.0, 0.855, 0.337};
constexpr Rgb noteShade{0.91, 0.69, 0.16};  // the folded corner and the note's rim
constexpr Rgb noteInk{0.56, 0.42, 0.1};     // the writing on the note
// A warm grey about as far from white as from the dark scheme's grey, so the word reads on both.
constexpr Rgb ink{0.55, 0.50, 0.44};

template <auto Destroy>
struct Release {
    template <class T>
    void operator()(T* object) const {
        Destroy(object);
    }
};
using Surface = std::unique_ptr<cairo_surface_t, Release<cairo_surface_destroy>>;
using Context = std::unique_ptr<cairo_t, Release<cairo_destroy>>;
using Layout = std::unique_ptr<PangoLayout, Release<g_object_unref>>;
using FontDescription = std::unique_ptr<PangoFontDescription, Release<pango_font_description_free>>;
using FontOptions = std::unique_ptr<cairo_font_options_t, Release<cairo_font_options_destroy>>;

void setSource(cairo_t* cairo, Rgb color, double alpha = 1) {
    cairo_set_source_rgba(cairo, color.r, color.g, color.b, alpha);
}

// A square note with rounded corners and its lower right corner folded up.
void drawNote(cairo_t* cairo, double x, double y, double side) {
    const double r = side * 0.2, fold = side * 0.32;
    const double right = x + side, bottom = y + side;

    cairo_new_path(cairo);
    cairo_arc(cairo, x + r, y + r, r, std::numbers::pi, 1.5 * std::numbers::pi);
    cairo_arc(cairo, right - r, y + r, r, 1.5 * std::numbers::pi, 2 * std::numbers::pi);
    cairo_line_to(cairo, right, bottom - fold);
    cairo_line_to(cairo, right - fold, bottom);
    cairo_arc(cairo, x + r, bottom - r, r, 0.5 * std::numbers::pi, std::numbers::pi);
    cairo_close_path(cairo);
    setSource(cairo, noteYellow);
    cairo_fill_preserve(cairo);
    // A darker rim keeps the pale yellow from melting into a white ground.
    setSource(cairo, noteShade);
    cairo_set_line_width(cairo, side * 0.045);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cairo);

    // The flap: the corner folded over the note's face.
    cairo_move_to(cairo, right, bottom - fold);
    cairo_line_to(cairo, right - fold * 0.92, bottom - fold * 0.92);
    cairo_line_to(cairo, right - fold, bottom);
    cairo_close_path(cairo);
    setSource(cairo, noteShade);
    cairo_fill(cairo);

    // Two lines of writing.
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cairo, side * 0.09);
    setSource(cairo, noteInk);
    cairo_move_to(cairo, x + side * 0.24, y + side * 0.34);
    cairo_line_to(cairo, right - side * 0.24, y + side * 0.34);
    cairo_move_to(cairo, x + side * 0.24, y + side * 0.56);
    cairo_line_to(cairo, right - side * 0.44, y + side * 0.56);
    cairo_stroke(cairo);
}

// The word, set in the widget's own face so the header reads as one family of type.
void drawWord(cairo_t* cairo, double x, double centreY, double maxWidth) {
    const FontOptions options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cairo, options.get());

    const Layout layout(pango_cairo_create_layout(cairo));
    const FontDescription font(pango_font_description_from_string("Noto Sans CJK SC Bold 13"));
    pango_font_description_set_absolute_size(font.get(), 13.0 * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_text(layout.get(), "Jotbird", -1);

    PangoRectangle ink, logical;
    pango_layout_get_extents(layout.get(), &ink, &logical);
    const double inkTop = double(ink.y) / PANGO_SCALE, inkHeight = double(ink.height) / PANGO_SCALE;
    const double width = double(logical.width) / PANGO_SCALE;

    cairo_save(cairo);
    // Shrink to fit should the face be wider than planned.
    const double fit = width > maxWidth ? maxWidth / width : 1;
    cairo_translate(cairo, x, centreY);
    cairo_scale(cairo, fit, fit);
    cairo_move_to(cairo, 0, -(inkTop + inkHeight / 2));
    setSource(cairo, ::ink);
    pango_cairo_show_layout(cairo, layout.get());
    cairo_restore(cairo);
}

int report(cairo_status_t status, const char* what) {
    if (status == CAIRO_STATUS_SUCCESS) return 0;
    std::fprintf(stderr, "brand: %s: %s\n", what, cairo_status_to_string(status));
    return 1;
}

int drawBrand(const char* output) {
    const Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(widthPoints * scale),
                                                     int(heightPoints * scale)));
    {
        const Context cairo(cairo_create(surface.get()));
        cairo_scale(cairo.get(), scale, scale);
        const double noteSide = 15;
        const double noteY = (heightPoints - noteSide) / 2;
        drawNote(cairo.get(), 1, noteY, noteSide);
        drawWord(cairo.get(), 1 + noteSide + 4, heightPoints / 2, widthPoints - noteSide - 6);
        if (report(cairo_status(cairo.get()), "drawing")) return 1;
    }
    return report(cairo_surface_write_to_png(surface.get(), output), output);
}

// The note alone, nearly filling the square, so that it reads at a panel's 16 pixels too.
void drawIcon(cairo_surface_t* surface, double side) {
    const Context cairo(cairo_create(surface));
    const double margin = side / 16;
    drawNote(cairo.get(), margin, margin, side - 2 * margin);
}

// A square PNG of `pixels`, or with "scalable" an SVG of 128 units, as the hicolor theme
// keeps them.
int drawIconFile(const char* size, const char* output) {
    if (std::strcmp(size, "scalable") == 0) {
        const Surface surface(cairo_svg_surface_create(output, 128, 128));
        drawIcon(surface.get(), 128);
        cairo_surface_finish(surface.get());
        return report(cairo_surface_status(surface.get()), output);
    }
    const int pixels = std::atoi(size);
    if (pixels < 16 || pixels > 1024) {
        std::fprintf(stderr, "brand: the icon size must be 16 to 1024 pixels, or scalable\n");
        return 2;
    }
    const Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels));
    drawIcon(surface.get(), pixels);
    return report(cairo_surface_write_to_png(surface.get(), output), output);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) return drawBrand(argv[1]);
    if (argc == 4 && std::strcmp(argv[1], "--icon") == 0) return drawIconFile(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s OUTPUT.png\n       %s --icon SIZE|scalable OUTPUT\n",
                 argv[0], argv[0]);
    return 2;
}
