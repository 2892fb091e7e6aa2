#include "platform/ui/text_shaping.hpp"

#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <array>
#include <cmath>
#include <utility>

#include "platform/ui/font_configuration.hpp"
#include "platform/ui/one_line_text.hpp"

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
struct ScriptIterFree {
    void operator()(PangoScriptIter* iter) const { pango_script_iter_free(iter); }
};

// The rest of the font order after the Han face, defined in the project's fonts.conf.
constexpr std::string_view fallbackFamily = "Jotbird Text";
// The face runs of other scripts start from: Latin, Greek and Cyrillic of their own design,
// with the ellipsis on the baseline (the Han faces centre it, as Chinese sets it).
constexpr std::string_view scriptFamily = "Noto Sans";

// Below this many pixels per point glyph outlines are hinted to the pixel grid.
constexpr double hintedScaleBelow = 1.5;

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
    PangoFontMap* map = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    if (map == nullptr) return pango_cairo_font_map_new();
    if (FcConfig* config = fontConfiguration(); config && PANGO_IS_FC_FONT_MAP(map))
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), config);
    return map;
}

// Pango font maps keep caches of loaded fonts and may not be shared between threads, so each
// thread gets its own, made on first use and never reconfigured afterwards.
PangoFontMap* fontMap() {
    thread_local const GObjectPtr<PangoFontMap> map(newFontMap());
    return map.get();
}

// Grey antialiasing and unhinted advances: a text is as wide at every scale as it was
// measured, whatever the machine's font settings say. `hinted` snaps outlines vertically.
void configure(PangoContext* context, bool hinted) {
    const std::unique_ptr<cairo_font_options_t, FontOptionsDestroy> options(
        cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(),
                                      hinted ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options.get());
    pango_context_set_round_glyph_positions(context, FALSE);
}

GObjectPtr<PangoContext> newContext(bool hinted) {
    GObjectPtr<PangoContext> context(pango_font_map_create_context(fontMap()));
    configure(context.get(), hinted);
    return context;
}

// Measuring needs no device, so one context per thread serves every measurement; layouts
// made from it never change it.
PangoContext* measuringContext() {
    thread_local const GObjectPtr<PangoContext> context = newContext(false);
    return context.get();
}

// The language a style's text is written in: its own, else the keys'.
std::string_view styleLanguage(const TextStyle& style) {
    return style.language.empty() ? keyLanguage : std::string_view(style.language);
}

PangoLanguage* textLanguage(const TextStyle& style) {
    return pango_language_from_string(std::string(styleLanguage(style)).c_str());
}

// Whether `tag` is `prefix` itself or a tag under it: "zh-tw" is under "zh", "zhx" is not.
bool isUnder(std::string_view tag, std::string_view prefix) {
    return tag.starts_with(prefix) && (tag.size() == prefix.size() || tag[prefix.size()] == '-');
}

// The scripts the Noto Sans CJK faces are made for.
bool isEastAsian(PangoScript script) {
    return script == PANGO_SCRIPT_HAN || script == PANGO_SCRIPT_HIRAGANA ||
           script == PANGO_SCRIPT_KATAKANA || script == PANGO_SCRIPT_HANGUL ||
           script == PANGO_SCRIPT_BOPOMOFO;
}

// Digits, punctuation and symbols with no letters around them to join.
bool isNeutral(PangoScript script) {
    return script == PANGO_SCRIPT_COMMON || script == PANGO_SCRIPT_INHERITED ||
           script == PANGO_SCRIPT_UNKNOWN;
}

// Chinese, Japanese, Korean and Cantonese write Han characters, each with its own forms
// (Pango's table leaves Han out of Korean).
bool writesHan(PangoLanguage* language) {
    const std::string_view tag = pango_language_to_string(language);
    for (std::string_view prefix : {"zh", "ja", "ko", "yue"})
        if (isUnder(tag, prefix)) return true;
    return false;
}

// The language a run of one script is set in: the text's own where it writes that script;
// for Han, kana and Hangul in a text of another language, the keys' (Simplified Chinese
// forms); otherwise a language that writes the script, or "und" when Pango knows none.
PangoLanguage* runLanguage(PangoScript script, PangoLanguage* language) {
    if (pango_language_includes_script(language, script) || isNeutral(script)) return language;
    if (isEastAsian(script))
        return writesHan(language) ? language
                                   : pango_language_from_string(std::string(keyLanguage).c_str());
    if (PangoLanguage* sample = pango_script_get_sample_language(script)) return sample;
    return pango_language_from_string("und");
}

std::string hanFamilies(const TextStyle& style) {
    return std::string(hanFontFamily(styleLanguage(style))) + "," + std::string(fallbackFamily);
}

void insert(PangoAttrList* attributes, PangoAttribute* attribute, std::size_t start,
            std::size_t end) {
    attribute->start_index = guint(start);
    attribute->end_index = guint(end);
    pango_attr_list_insert(attributes, attribute);
}

// Each run of one script (neutral characters joined to their neighbours, as Pango joins
// them) gets its language, and runs of scripts other than Han, kana and Hangul their face.
void addScriptRuns(PangoAttrList* attributes, const std::string& text, const TextStyle& style) {
    PangoLanguage* language = textLanguage(style);
    const std::string otherFamilies = std::string(scriptFamily) + "," + hanFamilies(style);
    const std::unique_ptr<PangoScriptIter, ScriptIterFree> runs(
        pango_script_iter_new(text.data(), int(text.size())));
    do {
        const char *start = nullptr, *end = nullptr;
        PangoScript script = PANGO_SCRIPT_COMMON;
        pango_script_iter_get_range(runs.get(), &start, &end, &script);
        const std::size_t from = start - text.data(), to = end - text.data();
        insert(attributes, pango_attr_language_new(runLanguage(script, language)), from, to);
        if (!isEastAsian(script) && !isNeutral(script))
            insert(attributes, pango_attr_family_new(otherFamilies.c_str()), from, to);
    } while (pango_script_iter_next(runs.get()));
}

using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

FontDescriptionPtr fontDescription(const TextStyle& style, const std::string& families) {
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), families.c_str());
    pango_font_description_set_weight(description.get(), pangoWeight(style.font.weight));
    // Absolute sizes are in user-space units, which are points here.
    pango_font_description_set_absolute_size(description.get(), style.font.size * PANGO_SCALE);
    return description;
}

void setFont(PangoLayout* layout, const TextStyle& style) {
    pango_layout_set_font_description(layout, fontDescription(style, hanFamilies(style)).get());
}

void setAttributes(PangoLayout* layout, const std::string& text, const TextStyle& style) {
    const std::unique_ptr<PangoAttrList, AttrListUnref> attributes(pango_attr_list_new());
    if (style.monospacedDigit)
        pango_attr_list_insert(attributes.get(), pango_attr_font_features_new("tnum 1"));
    addScriptRuns(attributes.get(), text, style);
    pango_layout_set_attributes(layout, attributes.get());
}

PangoLayoutPtr newLayout(PangoContext* context, std::string_view text, const TextStyle& style) {
    const std::string shown = oneLineText(text);
    PangoLayoutPtr layout(pango_layout_new(context));
    setFont(layout.get(), style);
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    pango_layout_set_text(layout.get(), shown.data(), int(shown.size()));
    setAttributes(layout.get(), shown, style);
    return layout;
}

// Pixels per point along the x axis of the Cairo context's transformation.
double deviceScale(cairo_t* cairo) {
    cairo_matrix_t matrix;
    cairo_get_matrix(cairo, &matrix);
    return std::hypot(matrix.xx, matrix.yx);
}

}  // namespace

std::string_view hanFontFamily(std::string_view language) {
    // Most specific first: Hong Kong and Macau before Traditional, Traditional before "zh".
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> faces{{
        {"ja", "Noto Sans CJK JP"},
        {"ko", "Noto Sans CJK KR"},
        {"zh-hk", "Noto Sans CJK HK"},
        {"zh-mo", "Noto Sans CJK HK"},
        {"zh-hant-hk", "Noto Sans CJK HK"},
        {"zh-tw", "Noto Sans CJK TC"},
        {"zh-hant", "Noto Sans CJK TC"},
        {"yue", "Noto Sans CJK HK"},
        {"zh-hans", "Noto Sans CJK SC"},
        {"zh", "Noto Sans CJK SC"},
    }};
    for (const auto& [prefix, family] : faces)
        if (isUnder(language, prefix)) return family;
    return "Noto Sans CJK SC";
}

void PangoLayoutUnref::operator()(PangoLayout* layout) const {
    g_object_unref(layout);
}

LineBox lineBox(const TextStyle& style) {
    const std::string family(hanFontFamily(styleLanguage(style)));
    // The loaded font keeps its metrics per language, so asking again costs a lookup.
    const GObjectPtr<PangoFont> font(
        pango_context_load_font(measuringContext(), fontDescription(style, family).get()));
    if (!font) return {};
    PangoFontMetrics* metrics = pango_font_get_metrics(font.get(), textLanguage(style));
    const double ascent = double(pango_font_metrics_get_ascent(metrics)) / PANGO_SCALE;
    const double descent = double(pango_font_metrics_get_descent(metrics)) / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    return {ascent, ascent + descent};
}

CGSize measureText(std::string_view text, const TextStyle& style) {
    if (text.empty()) return {};
    const PangoLayoutPtr layout = newLayout(measuringContext(), text, style);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return {double(logical.width) / PANGO_SCALE, lineBox(style).height};
}

PangoLayoutPtr makeTextLayout(cairo_t* cairo, std::string_view text, const TextStyle& style,
                              std::optional<double> ellipsizeWidth) {
    const GObjectPtr<PangoContext> context = newContext(deviceScale(cairo) < hintedScaleBelow);
    pango_cairo_update_context(cairo, context.get());
    PangoLayoutPtr layout = newLayout(context.get(), text, style);
    if (ellipsizeWidth) {
        pango_layout_set_width(layout.get(), int(*ellipsizeWidth * PANGO_SCALE));
        pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    }
    return layout;
}

}  // namespace ui
