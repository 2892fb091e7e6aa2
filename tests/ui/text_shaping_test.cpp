// Text measurement and the Pango layouts drawing sets, with the fonts each script gets.
#include <cairo.h>
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/text_shaping.hpp"
#include "tests/ui/layout_support.hpp"

namespace {

using namespace ui;
using namespace testsupport;

// ---------------------------------------------------------------------------------------------
// Text measurement

TEST(TextShaping, HanCharactersAreOneEmWide) {
    for (double size : {10.0, 12.0, 15.0})
        EXPECT_NEAR(measureText("新便签", {Font::system(size)}).width, 3 * size, 1e-6) << size;
}

TEST(TextShaping, EmptyTextHasNoSize) {
    EXPECT_EQ(measureText("", body), CGSize{});
}

TEST(TextShaping, LineHeightFollowsTheSizeNotTheText) {
    const CGSize latin = measureText("Call mom", body);
    const CGSize han = measureText("买菜", body);
    EXPECT_NEAR(latin.height, han.height, 1e-6);
    EXPECT_GT(latin.height, 12);
    EXPECT_LT(latin.height, 24);
    EXPECT_GT(measureText("x", {Font::system(24)}).height, latin.height);
}

TEST(TextShaping, BolderIsWider) {
    EXPECT_GT(measureText("Jotbird", {Font::system(10, FontWeight::bold)}).width,
              measureText("Jotbird", {Font::system(10)}).width);
}

TEST(TextShaping, MonospacedDigitsAllTakeOneWidth) {
    const TextStyle style{Font::system(15, FontWeight::medium), true};
    const double one = measureText("1", style).width;
    for (const char* digits : {"0", "4", "7", "8"})
        EXPECT_NEAR(measureText(digits, style).width, one, 1e-6) << digits;
    EXPECT_NEAR(measureText("1111", style).width, 4 * one, 1e-6);
}

struct CairoDestroy {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
struct SurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

// Drawing sets the text at another scale; it must come out as wide as layout measured it.
TEST(TextShaping, DrawingLayoutMatchesTheMeasureAtEveryScale) {
    const std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8));
    for (double scale : {1.0, 2.0, 3.0}) {
        const std::unique_ptr<cairo_t, CairoDestroy> cairo(cairo_create(surface.get()));
        cairo_scale(cairo.get(), scale, scale);
        for (const char* text : {"记下一件事", "Call mom about the weekend", "12:34"}) {
            const TextStyle style{Font::system(12), true};
            const CGSize measured = measureText(text, style);
            const PangoLayoutPtr layout = makeTextLayout(cairo.get(), text, style);
            PangoRectangle logical{};
            pango_layout_get_extents(layout.get(), nullptr, &logical);
            EXPECT_NEAR(double(logical.width) / PANGO_SCALE, measured.width, 0.01)
                << text << " at " << scale;
            EXPECT_EQ(pango_layout_get_line_count(layout.get()), 1);
            EXPECT_FALSE(pango_layout_is_ellipsized(layout.get()));
        }
    }
}

TEST(TextShaping, EllipsizedLayoutFitsItsWidth) {
    const std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8));
    const std::unique_ptr<cairo_t, CairoDestroy> cairo(cairo_create(surface.get()));
    const PangoLayoutPtr layout =
        makeTextLayout(cairo.get(), "Finish the quarterly report draft", body, 60.0);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    EXPECT_LE(double(logical.width) / PANGO_SCALE, 60.0);
    EXPECT_TRUE(pango_layout_is_ellipsized(layout.get()));
    EXPECT_EQ(pango_layout_get_line_count(layout.get()), 1);
}

// The first run of a one-line layout: the face Pango chose for it and the language it set.
struct FirstRun {
    std::string family, language;
};

FirstRun firstRun(const std::string& text, const std::string& language) {
    const std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8));
    const std::unique_ptr<cairo_t, CairoDestroy> cairo(cairo_create(surface.get()));
    const PangoLayoutPtr layout =
        makeTextLayout(cairo.get(), text, TextStyle{Font::system(12), false, language});
    PangoLayoutIter* iter = pango_layout_get_iter(layout.get());
    PangoLayoutRun* run = pango_layout_iter_get_run_readonly(iter);
    FirstRun found;
    if (run != nullptr) {
        PangoFontDescription* description = pango_font_describe(run->item->analysis.font);
        found = {pango_font_description_get_family(description),
                 pango_language_to_string(run->item->analysis.language)};
        pango_font_description_free(description);
    }
    pango_layout_iter_free(iter);
    return found;
}

// Fonts come from the project's own set: Han in the face of the text's language, with that
// language's glyph forms; other scripts in their Noto face; emoji in colour.
TEST(TextShaping, EachScriptIsSetInItsProjectFontAndLanguage) {
    struct Case {
        std::string text, language, family, runLanguage;
    };
    for (const Case& c : std::vector<Case>{
             {"记下", "", "Noto Sans CJK SC", "zh-cn"},
             {"直角", "ja-jp", "Noto Sans CJK JP", "ja-jp"},
             {"ひらがな", "ja", "Noto Sans CJK JP", "ja"},
             {"直角", "zh-tw", "Noto Sans CJK TC", "zh-tw"},
             {"直角", "zh-hk", "Noto Sans CJK HK", "zh-hk"},
             {"直角", "zh-cn", "Noto Sans CJK SC", "zh-cn"},
             {"한국어", "ko-kr", "Noto Sans CJK KR", "ko-kr"},
             {"直角", "en-us", "Noto Sans CJK SC", "zh-cn"},
             {"12:34", "ja", "Noto Sans CJK JP", "ja"},
             {"12:34", "", "Noto Sans CJK SC", "zh-cn"},
             // Numbers alone in a language without Han: its script's face, digits and "…".
             {"12:34", "en-us", "Noto Sans", "en-us"},
             {"3", "de-de", "Noto Sans", "de-de"},
             {"Call mom", "", "Noto Sans", ""},
             {"Call mom", "en-gb", "Noto Sans", "en-gb"},
             {"Привет", "ru", "Noto Sans", "ru"},
             {"مرحبا", "", "Noto Sans Arabic", "ar"},
             {"שלום", "", "Noto Sans Hebrew", "he"},
             {"สวัสดี", "", "Noto Sans Thai", "th"},
             {"नमस्ते", "", "Noto Sans Devanagari", "hi"},
             {"😀", "", "Noto Color Emoji", ""},
         }) {
        SCOPED_TRACE(c.text + " in " + c.language);
        const FirstRun run = firstRun(c.text, c.language);
        EXPECT_EQ(run.family, c.family);
        if (!c.runLanguage.empty()) {
            EXPECT_EQ(run.language, c.runLanguage);
        }
    }
}

}  // namespace
