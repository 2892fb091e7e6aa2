#include "platform/ui/text_shaping.hpp"

#include <pango/pangocairo.h>

namespace ui {
namespace {

template <class T>
struct GObjectUnref {
    void operator()(T* object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct FontOptionsDestroy {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};
struct FontDescriptionFree {
    void operator()(PangoFontDescription* description) const {
        pango_font_description_free(description);
    }
};
struct AttrListUnref {
    void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};

// Simplified Chinese, so that Han characters shared with other languages take their Chinese
// glyph forms.
constexpr const char* textLanguage = "zh-cn";

PangoWeight pangoWeight(FontWeight weight) {
    switch (weight) {
        case FontWeight::ultraLight:
            return PANGO_WEIGHT_ULTRALIGHT;
        case FontWeight::thin:
            return PANGO_WEIGHT_THIN;
        case FontWeight::light:
            return PANGO_WEIGHT_LIGHT;
        case FontWeight::regular:
            return PANGO_WEIGHT_NORMAL;
        case FontWeight::medium:
            return PANGO_WEIGHT_MEDIUM;
        case FontWeight::semibold:
            return PANGO_WEIGHT_SEMIBOLD;
        case FontWeight::bold:
            return PANGO_WEIGHT_BOLD;
        case FontWeight::heavy:
            return PANGO_WEIGHT_ULTRABOLD;
        case FontWeight::black:
            return PANGO_WEIGHT_HEAVY;
    }
    return PANGO_WEIGHT_NORMAL;
}

PangoFontMap* newFontMap() {
    if (PangoFontMap* map = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT)) return map;
    return pango_cairo_font_map_new();
}

// Pango font maps keep caches of loaded fonts and may not be shared between threads, so each
// thread gets its own, made on first use and never reconfigured afterwards.
PangoFontMap* fontMap() {
    thread_local const GObjectPtr<PangoFontMap> map(newFontMap());
    return map.get();
}

// Unhinted outlines and unrounded advances: a text is as wide at every scale as it was
// measured, whatever the machine's font settings say.
void configure(PangoContext* context) {
    const std::unique_ptr<cairo_font_options_t, FontOptionsDestroy> options(
        cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options.get());
    pango_context_set_round_glyph_positions(context, FALSE);
    pango_context_set_language(context, pango_language_from_string(textLanguage));
}

GObjectPtr<PangoContext> newContext() {
    GObjectPtr<PangoContext> context(pango_font_map_create_context(fontMap()));
    configure(context.get());
    return context;
}

// Measuring needs no device, so one context per thread serves every measurement; layouts
// made from it never change it.
PangoContext* measuringContext() {
    thread_local const GObjectPtr<PangoContext> context = newContext();
    return context.get();
}

void setFont(PangoLayout* layout, const TextStyle& style) {
    const std::unique_ptr<PangoFontDescription, FontDescriptionFree> description(
        pango_font_description_new());
    pango_font_description_set_family(description.get(), std::string(textFontFamily).c_str());
    pango_font_description_set_weight(description.get(), pangoWeight(style.font.weight));
    // Absolute sizes are in user-space units, which are points here.
    pango_font_description_set_absolute_size(description.get(), style.font.size * PANGO_SCALE);
    pango_layout_set_font_description(layout, description.get());
    if (style.monospacedDigit) {
        const std::unique_ptr<PangoAttrList, AttrListUnref> attributes(pango_attr_list_new());
        pango_attr_list_insert(attributes.get(), pango_attr_font_features_new("tnum 1"));
        pango_layout_set_attributes(layout, attributes.get());
    }
}

PangoLayoutPtr newLayout(PangoContext* context, std::string_view text, const TextStyle& style) {
    PangoLayoutPtr layout(pango_layout_new(context));
    setFont(layout.get(), style);
    // Line breaks in the text are shown as glyphs: every text is one line.
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    pango_layout_set_text(layout.get(), text.data(), int(text.size()));
    return layout;
}

}  // namespace

void PangoLayoutUnref::operator()(PangoLayout* layout) const {
    g_object_unref(layout);
}

CGSize measureText(std::string_view text, const TextStyle& style) {
    if (text.empty()) return {};
    const PangoLayoutPtr layout = newLayout(measuringContext(), text, style);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return {double(logical.width) / PANGO_SCALE, double(logical.height) / PANGO_SCALE};
}

PangoLayoutPtr makeTextLayout(cairo_t* cairo, std::string_view text, const TextStyle& style,
                              std::optional<double> ellipsizeWidth) {
    const GObjectPtr<PangoContext> context = newContext();
    pango_cairo_update_context(cairo, context.get());
    PangoLayoutPtr layout = newLayout(context.get(), text, style);
    if (ellipsizeWidth) {
        pango_layout_set_width(layout.get(), int(*ellipsizeWidth * PANGO_SCALE));
        pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    }
    return layout;
}

}  // namespace ui
