// Drawing: hand-built laid-out trees drawn in-process, and the pictures that the widget's
// `render` command writes, read back as pixels.

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/drawing.hpp"
#include "platform/ui/text_shaping.hpp"
#include "support/bridge_publish.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testsupport::TemporaryDirectory;
using ui::CGRect;
using ui::Color;
using ui::LaidOutView;
using ui::ViewKind;

// ---------------------------------------------------------------------------------------------
// Pictures

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

// A decoded PNG: pixels as straight (not premultiplied) 8-bit components.
struct Picture {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;

    const Rgba& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    // The pixel under a point of the widget drawn at `scale`.
    const Rgba& atPoint(double x, double y, double scale) const {
        return at(std::clamp(int(std::floor(x * scale)), 0, width - 1),
                  std::clamp(int(std::floor(y * scale)), 0, height - 1));
    }
};

struct SurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDestroy>;

std::optional<Picture> readPicture(const fs::path& file) {
    const SurfacePtr surface(cairo_image_surface_create_from_png(file.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    cairo_surface_flush(surface.get());
    Picture picture;
    picture.width = cairo_image_surface_get_width(surface.get());
    picture.height = cairo_image_surface_get_height(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const cairo_format_t format = cairo_image_surface_get_format(surface.get());
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const auto p = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
            const int a = format == CAIRO_FORMAT_ARGB32 ? int(p >> 24) : 255;
            auto straight = [a](std::uint32_t c) {
                return a == 0 ? 0 : int((c * 255 + a / 2) / a);
            };
            picture.pixels.push_back(
                {straight((p >> 16) & 255), straight((p >> 8) & 255), straight(p & 255), a});
        }
    }
    return picture;
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

int channelDistance(const Rgba& a, const Rgba& b) {
    return std::max(
        {std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b), std::abs(a.a - b.a)});
}

Rgba rgb(int r, int g, int b) {
    return {r, g, b, 255};
}

// How many pixels of the rectangle (in pixels, clipped to the picture) satisfy `test`.
int countPixels(const Picture& picture, int x0, int y0, int x1, int y1,
                const std::function<bool(const Rgba&)>& test) {
    int count = 0;
    for (int y = std::max(0, y0); y < std::min(picture.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(picture.width, x1); ++x)
            if (test(picture.at(x, y))) ++count;
    return count;
}

int countPixels(const Picture& picture, const std::function<bool(const Rgba&)>& test) {
    return countPixels(picture, 0, 0, picture.width, picture.height, test);
}

// ---------------------------------------------------------------------------------------------
// In-process drawing of hand-built trees

const Color white = Color::white();
const Color yellow = Color::sRGB(1.0, 0.855, 0.337);

LaidOutView node(ViewKind kind, CGRect frame) {
    LaidOutView view;
    view.kind = kind;
    view.frame = frame;
    return view;
}

LaidOutView root(std::vector<LaidOutView> children, CGRect frame = {{0, 0}, {100, 100}}) {
    LaidOutView view = node(ViewKind::VStack, frame);
    view.children = std::move(children);
    return view;
}

struct Drawn {
    std::error_code error;
    ui::PixelSize size;
    std::optional<Picture> picture;
};

Drawn drawTree(const LaidOutView& tree, ui::Canvas canvas) {
    TemporaryDirectory directory;
    const fs::path file = directory.path() / "out.png";
    Drawn drawn;
    drawn.error = ui::drawPNG(tree, canvas, file, &drawn.size);
    if (!drawn.error) drawn.picture = readPicture(file);
    return drawn;
}

ui::Canvas canvas(double width, double height, double scale = 2, Color background = white) {
    return {{width, height}, scale, background, false};
}

// The add mark's outline as the widget builds it: a disc and a plus on an 18-unit grid.
ui::Path addMark(CGRect rect) {
    const double side = std::min(rect.size.width, rect.size.height), u = side / 18;
    const double x0 = ui::CGRectGetMidX(rect) - side / 2, y0 = ui::CGRectGetMidY(rect) - side / 2;
    ui::Path path = ui::Path::ellipseIn({{x0, y0}, {side, side}});
    const double plus[12][2] = {{8, 4},   {10, 4}, {10, 8}, {14, 8}, {14, 10}, {10, 10},
                                {10, 14}, {8, 14}, {8, 10}, {4, 10}, {4, 8},   {8, 8}};
    path.move({x0 + plus[0][0] * u, y0 + plus[0][1] * u});
    for (int i = 1; i < 12; ++i)
        path.addLine({x0 + plus[i][0] * u, y0 + plus[i][1] * u});
    path.closeSubpath();
    return path;
}

LaidOutView filledShape(CGRect frame, ui::FillStyle style, Color color = yellow) {
    LaidOutView shape = node(ViewKind::Shape, frame);
    shape.path = addMark(frame);
    shape.fillStyle = style;
    shape.color = color;
    return shape;
}

TEST(DrawPNG, PixelSizeIsThePointSizeTimesTheScaleRoundedUp) {
    struct Case {
        double width, height, scale;
        int pixelsWide, pixelsHigh;
    };
    for (const Case& c : std::vector<Case>{{170, 170, 2, 340, 340},
                                           {364, 170, 2, 728, 340},
                                           {364, 382, 2, 728, 764},
                                           {170, 170, 1, 170, 170},
                                           {170, 170, 3, 510, 510},
                                           {364.4, 170, 2, 729, 340},
                                           {10.1, 10, 1, 11, 10},
                                           {10, 10, 1.5, 15, 15}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " @" << c.scale);
        const Drawn drawn = drawTree(root({}), canvas(c.width, c.height, c.scale));
        ASSERT_FALSE(drawn.error) << drawn.error.message();
        EXPECT_EQ(drawn.size.width, c.pixelsWide);
        EXPECT_EQ(drawn.size.height, c.pixelsHigh);
        ASSERT_TRUE(drawn.picture);
        EXPECT_EQ(drawn.picture->width, c.pixelsWide);
        EXPECT_EQ(drawn.picture->height, c.pixelsHigh);
    }
}

TEST(DrawPNG, RefusesCanvasesThatCannotBeAPictureWithAnErrorAndNoFile) {
    const double nan = std::nan("");
    struct Case {
        const char* name;
        ui::Canvas canvas;
    };
    for (const Case& c : std::vector<Case>{{"zero scale", canvas(10, 10, 0)},
                                           {"negative scale", canvas(10, 10, -2)},
                                           {"scale not a number", canvas(10, 10, nan)},
                                           {"no width", canvas(0, 10)},
                                           {"width not a number", canvas(nan, 10)},
                                           {"too large for an image", canvas(40000, 10, 1)}}) {
        SCOPED_TRACE(c.name);
        TemporaryDirectory directory;
        const fs::path file = directory.path() / "out.png";
        ui::PixelSize size{-1, -1};
        EXPECT_TRUE(ui::drawPNG(root({}), c.canvas, file, &size));
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(size.width, -1) << "the size is reported only for a written picture";
    }
}

TEST(DrawPNG, AnUnwritablePlaceIsAnErrorNotAnException) {
    TemporaryDirectory directory;
    EXPECT_TRUE(ui::drawPNG(root({}), canvas(10, 10), directory.path() / "missing" / "out.png"));
}

TEST(DrawPNG, ReplacesAnExistingFileWholeAndLeavesNothingElseBehind) {
    TemporaryDirectory directory;
    const fs::path file = directory.path() / "widget.png";
    testsupport::writeFile(file, "an older picture");
    ASSERT_FALSE(ui::drawPNG(root({}), canvas(20, 10), file));
    EXPECT_EQ(testsupport::directoryEntries(directory.path()), std::set<std::string>{"widget.png"});
    const auto picture = readPicture(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 40);
}

TEST(DrawPNG, FillsTheCanvasBackgroundWhereNothingElseIsDrawn) {
    const Drawn drawn = drawTree(root({}), canvas(10, 10, 2, Color::sRGB(0.2, 0.4, 0.6)));
    ASSERT_TRUE(drawn.picture);
    EXPECT_EQ(countPixels(*drawn.picture, [](const Rgba& p) { return p == rgb(51, 102, 153); }),
              20 * 20);
}

TEST(DrawPNG, AContainerBackgroundCoversTheWholeWidgetNotJustItsFrame) {
    LaidOutView content = root({}, {{16, 16}, {20, 20}});
    content.containerBackground = Color::sRGB(0.098, 0.098, 0.098);
    const Drawn drawn = drawTree(content, canvas(52, 52));
    ASSERT_TRUE(drawn.picture);
    EXPECT_EQ(countPixels(*drawn.picture, [](const Rgba& p) { return p == rgb(25, 25, 25); }),
              104 * 104);
}

TEST(DrawPNG, TheFillRuleDecidesWhetherThePlusIsACutOut) {
    struct Case {
        bool eoFill;
        Rgba centre;
    };
    for (const Case& c : {Case{true, rgb(255, 255, 255)}, Case{false, rgb(255, 218, 86)}}) {
        SCOPED_TRACE(c.eoFill ? "even-odd" : "non-zero");
        const Drawn drawn = drawTree(
            root({filledShape({{0, 0}, {18, 18}}, {.eoFill = c.eoFill, .antialiased = true})}),
            canvas(18, 18));
        ASSERT_TRUE(drawn.picture);
        EXPECT_EQ(drawn.picture->atPoint(9, 9, 2), c.centre) << "the plus's centre";
        EXPECT_EQ(drawn.picture->atPoint(9, 4.5, 2), c.centre) << "inside the upper arm";
        EXPECT_EQ(drawn.picture->atPoint(2, 9, 2), rgb(255, 218, 86)) << "the disc";
        EXPECT_EQ(drawn.picture->atPoint(0.2, 0.2, 2), rgb(255, 255, 255)) << "outside the disc";
    }
}

TEST(DrawPNG, AShapeWithoutAntialiasingHasOnlyItsOwnAndTheBackgroundColour) {
    struct Case {
        bool antialiased;
        bool onlyTwoColours;
    };
    for (const Case& c : {Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(c.antialiased ? "antialiased" : "aliased");
        const Drawn drawn = drawTree(
            root({filledShape({{0, 0}, {18, 18}}, {.eoFill = true, .antialiased = c.antialiased})}),
            canvas(18, 18));
        ASSERT_TRUE(drawn.picture);
        const int mixed = countPixels(*drawn.picture, [](const Rgba& p) {
            return p != rgb(255, 255, 255) && p != rgb(255, 218, 86);
        });
        EXPECT_EQ(mixed == 0, c.onlyTwoColours) << mixed << " pixels of blended colour";
    }
}

TEST(DrawPNG, AStrokedCircleIsARingInsideItsFrame) {
    const Color ring = Color::sRGB(136.0 / 255, 141.0 / 255, 147.0 / 255);
    LaidOutView circle = node(ViewKind::Circle, {{10, 10}, {10, 10}});
    circle.strokeWidth = 2;
    circle.color = ring;
    circle.path = ui::Path::ellipseIn({{11, 11}, {8, 8}});  // inset by half the line
    const Drawn drawn = drawTree(root({circle}), canvas(30, 30));
    ASSERT_TRUE(drawn.picture);
    const Picture& p = *drawn.picture;
    EXPECT_EQ(p.atPoint(11, 15, 2), rgb(136, 141, 147)) << "left side of the ring";
    EXPECT_EQ(p.atPoint(18.6, 15, 2), rgb(136, 141, 147)) << "right side of the ring";
    EXPECT_EQ(p.atPoint(15, 15, 2), rgb(255, 255, 255)) << "the hollow centre";
    // Nothing of the ring leaks outside the frame.
    EXPECT_EQ(countPixels(p, 0, 0, 60, 20, [](const Rgba& c) { return c != rgb(255, 255, 255); }),
              0);
    EXPECT_EQ(countPixels(p, 0, 40, 60, 60, [](const Rgba& c) { return c != rgb(255, 255, 255); }),
              0);
}

TEST(DrawPNG, ADividerIsAOnePointLineAcrossItsFrame) {
    LaidOutView divider = node(ViewKind::Divider, {{5, 10}, {40, 1}});
    divider.color = Color::black();
    const Drawn drawn = drawTree(root({divider}), canvas(50, 20));
    ASSERT_TRUE(drawn.picture);
    const Picture& p = *drawn.picture;
    EXPECT_EQ(p.atPoint(5.2, 10.5, 2), rgb(0, 0, 0));
    EXPECT_EQ(p.atPoint(44.8, 10.5, 2), rgb(0, 0, 0));
    EXPECT_EQ(p.atPoint(4.8, 10.5, 2), rgb(255, 255, 255)) << "before the frame";
    EXPECT_EQ(p.atPoint(45.2, 10.5, 2), rgb(255, 255, 255)) << "after the frame";
    // One point at scale 2: two rows of pixels.
    EXPECT_EQ(countPixels(p, [](const Rgba& c) { return c == rgb(0, 0, 0); }), 80 * 2);
}

// A 3x1 PNG: red, green, blue.
fs::path writeStripes(const fs::path& directory) {
    const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 10));
    cairo_t* cairo = cairo_create(surface.get());
    const double colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        cairo_set_source_rgb(cairo, colours[i][0], colours[i][1], colours[i][2]);
        cairo_rectangle(cairo, i * 10, 0, 10, 10);
        cairo_fill(cairo);
    }
    cairo_destroy(cairo);
    const fs::path file = directory / "stripes.png";
    cairo_surface_write_to_png(surface.get(), file.c_str());
    return file;
}

TEST(DrawPNG, AnImageIsScaledIntoItsFrame) {
    TemporaryDirectory directory;
    LaidOutView image = node(ViewKind::Image, {{10, 5}, {60, 20}});
    image.image = ui::NSImage{writeStripes(directory.path()), {30, 10}};
    const Drawn drawn = drawTree(root({image}), canvas(80, 30));
    ASSERT_TRUE(drawn.picture);
    const Picture& p = *drawn.picture;
    EXPECT_TRUE(near(p.atPoint(20, 15, 2), rgb(255, 0, 0), 2)) << p.atPoint(20, 15, 2);
    EXPECT_TRUE(near(p.atPoint(40, 15, 2), rgb(0, 255, 0), 2)) << p.atPoint(40, 15, 2);
    EXPECT_TRUE(near(p.atPoint(60, 15, 2), rgb(0, 0, 255), 2)) << p.atPoint(60, 15, 2);
    EXPECT_EQ(p.atPoint(9.5, 15, 2), rgb(255, 255, 255)) << "left of the frame";
    EXPECT_EQ(p.atPoint(70.5, 15, 2), rgb(255, 255, 255)) << "right of the frame";
    EXPECT_EQ(p.atPoint(40, 4.5, 2), rgb(255, 255, 255)) << "above the frame";
    EXPECT_EQ(p.atPoint(40, 25.5, 2), rgb(255, 255, 255)) << "below the frame";
}

TEST(DrawPNG, AnImageThatCannotBeDecodedDrawsNothing) {
    TemporaryDirectory directory;
    const fs::path stripes = writeStripes(directory.path());
    const std::string bytes = *testsupport::readFile(stripes);
    struct Case {
        const char* name;
        std::optional<std::string> content;
    };
    for (const Case& c : std::vector<Case>{{"missing file", std::nullopt},
                                           {"not a PNG", "hello"},
                                           {"cut short", bytes.substr(0, bytes.size() / 2)}}) {
        SCOPED_TRACE(c.name);
        const fs::path file = directory.path() / "broken.png";
        fs::remove(file);
        if (c.content) testsupport::writeFile(file, *c.content);
        LaidOutView image = node(ViewKind::Image, {{0, 0}, {30, 10}});
        image.image = ui::NSImage{file, {30, 10}};
        const Drawn drawn = drawTree(root({image}), canvas(30, 10));
        ASSERT_FALSE(drawn.error) << drawn.error.message();
        ASSERT_TRUE(drawn.picture);
        EXPECT_EQ(
            countPixels(*drawn.picture, [](const Rgba& p) { return p != rgb(255, 255, 255); }), 0);
    }
}

LaidOutView textNode(std::string text, CGRect frame, bool privacySensitive = false) {
    LaidOutView view = node(ViewKind::Text, frame);
    view.text = std::move(text);
    view.font = ui::Font::system(12);
    view.color = Color::black();
    view.privacySensitive = privacySensitive;
    view.lineLimit = 1;
    return view;
}

bool isInk(const Rgba& p) {
    return channelDistance(p, rgb(255, 255, 255)) > 40;
}

TEST(DrawPNG, TextIsDrawnInItsFrameCentredVertically) {
    const Drawn drawn =
        drawTree(root({textNode("Buy milk 回电话", {{10, 20}, {100, 40}})}), canvas(120, 80));
    ASSERT_TRUE(drawn.picture);
    const Picture& p = *drawn.picture;
    const int inside = countPixels(p, 20, 40, 220, 120, isInk);
    EXPECT_GT(inside, 100);
    EXPECT_EQ(countPixels(p, isInk), inside) << "ink outside the text's frame";
    // About as much blank above the glyphs as below them.
    int top = p.height, bottom = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (isInk(p.at(x, y))) top = std::min(top, y), bottom = std::max(bottom, y);
    const double middle = (top + bottom + 1) / 2.0;
    EXPECT_NEAR(middle, (20 + 40 / 2.0) * 2, 4) << "ink rows " << top << ".." << bottom;
}

TEST(DrawPNG, ATruncatedTextEndsWithinItsFrame) {
    LaidOutView text = textNode(std::string(40, 'W'), {{0, 0}, {60, 17}});
    text.truncated = true;
    const Drawn drawn = drawTree(root({text}), canvas(200, 17));
    ASSERT_TRUE(drawn.picture);
    EXPECT_GT(countPixels(*drawn.picture, 0, 0, 120, 34, isInk), 50);
    EXPECT_EQ(countPixels(*drawn.picture, 121, 0, 400, 34, isInk), 0);
}

TEST(DrawPNG, RedactionDrawsPrivateTextsAsAPlaceholderBarAndLeavesOthers) {
    const CGRect frame{{10, 10}, {80, 17}};
    struct Case {
        const char* name;
        bool privacySensitive, redacted, expectBar;
    };
    for (const Case& c : std::vector<Case>{{"private, redacted", true, true, true},
                                           {"private, shown", true, false, false},
                                           {"public, redacted", false, true, false}}) {
        SCOPED_TRACE(c.name);
        ui::Canvas target = canvas(100, 37);
        target.redacted = c.redacted;
        const Drawn drawn =
            drawTree(root({textNode("Buy milk", frame, c.privacySensitive)}), target);
        ASSERT_TRUE(drawn.picture);
        const Picture& p = *drawn.picture;
        // Along the frame's middle row, away from the rounded ends.
        std::vector<Rgba> row;
        for (int x = 2 * 10 + 6; x < 2 * 90 - 6; ++x)
            row.push_back(p.at(x, 2 * 18 + 1));
        const bool uniform =
            std::all_of(row.begin(), row.end(), [&](const Rgba& c) { return c == row.front(); });
        // Lighter than the text's own colour, darker than the ground.
        const bool tinted =
            row.front() != rgb(255, 255, 255) && channelDistance(row.front(), rgb(0, 0, 0)) > 100;
        EXPECT_EQ(uniform && tinted, c.expectBar) << "middle row starts " << row.front();
        if (c.expectBar) {
            EXPECT_EQ(countPixels(p, 0, 0, 200, 2 * 12,
                                  [](const Rgba& c) { return c != rgb(255, 255, 255); }),
                      0)
                << "the bar is lower than the line of text";
        }
    }
}

// A label as layout places it: its symbol as an image child, then its title.
LaidOutView label(std::string symbol) {
    const ui::Font font = ui::Font::system(12, ui::FontWeight::medium);
    LaidOutView view = node(ViewKind::Label, {{10, 10}, {100, 17}});
    view.symbol = symbol;
    LaidOutView icon = node(ViewKind::Image, {{10, 12.5}, {15, 12}});
    icon.symbol = std::move(symbol);
    icon.font = font;
    icon.color = Color::black();
    LaidOutView title = textNode("暂无待办", {{29, 10}, {81, 17}});
    title.font = font;
    view.children = {icon, title};
    return view;
}

TEST(DrawPNG, ALabelShowsAStandInForItsSymbolBeforeItsTitle) {
    const Drawn tray = drawTree(root({label("tray")}), canvas(120, 37));
    const Drawn full = drawTree(root({label("tray.full")}), canvas(120, 37));
    const Drawn unknown = drawTree(root({label("no.such.symbol")}), canvas(120, 37));
    ASSERT_TRUE(tray.picture && full.picture && unknown.picture);
    auto symbolInk = [](const Picture& p) { return countPixels(p, 20, 25, 50, 50, isInk); };
    EXPECT_GT(symbolInk(*tray.picture), 40);
    EXPECT_GT(symbolInk(*full.picture), symbolInk(*tray.picture)) << "sheets in the full tray";
    EXPECT_EQ(symbolInk(*unknown.picture), 0);
    EXPECT_EQ(countPixels(*tray.picture, 0, 0, 240, 25, isInk), 0) << "above the symbol";
    EXPECT_EQ(countPixels(*tray.picture, 0, 50, 240, 74, isInk), 0) << "below the symbol";
    for (const Drawn* drawn : {&tray, &full, &unknown})
        EXPECT_GT(countPixels(*drawn->picture, 58, 20, 220, 54, isInk), 100) << "the title";
}

TEST(DrawPNG, TheSameTreeScalesWithTheCanvas) {
    for (double scale : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(scale);
        const Drawn drawn = drawTree(
            root({filledShape({{20, 10}, {18, 18}}, {.eoFill = true, .antialiased = true})}),
            canvas(40, 30, scale));
        ASSERT_TRUE(drawn.picture);
        EXPECT_EQ(drawn.picture->atPoint(22.5, 19, scale), rgb(255, 218, 86));
        EXPECT_EQ(drawn.picture->atPoint(29, 19, scale), rgb(255, 255, 255));
        EXPECT_EQ(drawn.picture->atPoint(15, 19, scale), rgb(255, 255, 255));
    }
}

TEST(NSImage, IsAnImageOnlyWhenEveryChunkOfTheFileIsThereAndIntact) {
    TemporaryDirectory directory;
    const fs::path stripes = writeStripes(directory.path());
    const std::string bytes = *testsupport::readFile(stripes);
    const auto whole = ui::NSImage::contentsOf(stripes);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->pixelSize, (ui::CGSize{30, 10}));
    std::string damaged = bytes;
    damaged[bytes.size() / 2] ^= 0x20;
    struct Case {
        const char* name;
        std::string content;
        bool image;
    };
    for (const Case& c : std::vector<Case>{
             {"header and size only", bytes.substr(0, 33), false},
             {"cut in the pixel data", bytes.substr(0, bytes.size() / 2), false},
             {"cut before the end chunk", bytes.substr(0, bytes.size() - 12), false},
             {"one byte changed", damaged, false},
             {"not a PNG", "GIF89a", false},
             {"empty", "", false},
             {"bytes after the end chunk", bytes + "trailing", true},
         }) {
        SCOPED_TRACE(c.name);
        const fs::path file = directory.path() / "brand.png";
        testsupport::writeFile(file, c.content);
        EXPECT_EQ(ui::NSImage::contentsOf(file).has_value(), c.image);
    }
}

// ---------------------------------------------------------------------------------------------
// Every script, emoji and control character drawn from the project's fonts

constexpr double titleWidth = 340;

// One title drawn as a row draws it: 12 points, black on white, at scale 2.
Picture drawTitle(const std::string& title, const std::string& language = "",
                  bool truncated = false, double width = titleWidth) {
    LaidOutView text = textNode(title, {{4, 4}, {width, 24}});
    text.language = language;
    text.truncated = truncated;
    const Drawn drawn = drawTree(root({text}), canvas(width + 8, 32));
    EXPECT_FALSE(drawn.error) << drawn.error.message();
    return drawn.picture.value_or(Picture{});
}

bool isDark(const Rgba& p) {
    return channelDistance(p, rgb(255, 255, 255)) > 60;
}

struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 past the last pixel
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

std::optional<PixelBox> inkBounds(const Picture& p) {
    std::optional<PixelBox> box;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (isDark(p.at(x, y))) {
                if (!box) box = PixelBox{x, y, x + 1, y + 1};
                box->x0 = std::min(box->x0, x), box->y0 = std::min(box->y0, y);
                box->x1 = std::max(box->x1, x + 1), box->y1 = std::max(box->y1, y + 1);
            }
    return box;
}

// The share of the pixels on the edge of the rectangle that satisfy `test` (pixels outside
// the picture count as background).
double edgeShare(const Picture& p, int x, int y, int width, int height,
                 const std::function<bool(const Rgba&)>& test) {
    int hits = 0, total = 0;
    auto check = [&](int px, int py) {
        ++total;
        const bool inside = px >= 0 && py >= 0 && px < p.width && py < p.height;
        if (test(inside ? p.at(px, py) : rgb(255, 255, 255))) ++hits;
    };
    for (int i = 0; i < width; ++i)
        check(x + i, y), check(x + i, y + height - 1);
    for (int j = 1; j + 1 < height; ++j)
        check(x, y + j), check(x + width - 1, y + j);
    return double(hits) / total;
}

bool isBlank(const Rgba& p) {
    return channelDistance(p, rgb(255, 255, 255)) < 30;
}

// A missing-character box of the given size at (x, y): an outline of ink standing free
// (blank all around it) with light space inside, where the hex digits are drawn thin.
bool outlineAt(const Picture& p, int x, int y, int width, int height) {
    return edgeShare(p, x, y, width, height, isDark) >= 0.9 &&
           edgeShare(p, x - 1, y - 1, width + 2, height + 2, isBlank) >= 0.9 &&
           edgeShare(p, x + 1, y + 1, width - 2, height - 2, isDark) <= 0.7;
}

// The boxes Pango draws for characters no font has, drawn on purpose: one for a character
// of the first plane (four hex digits inside) and one beyond it (six).
const std::vector<PixelBox>& tofuBoxes() {
    static const std::vector<PixelBox> boxes = [] {
        std::vector<PixelBox> found;
        for (const char* missing : {"\u0378", "\U0010FFFD"})
            if (const auto box = inkBounds(drawTitle(missing))) found.push_back(*box);
        return found;
    }();
    return boxes;
}

// How many places of the picture hold the outline of a missing-character box.
int tofuCount(const Picture& p) {
    int count = 0;
    for (const PixelBox& box : tofuBoxes())
        for (int y = 0; y + box.height() <= p.height; ++y)
            for (int x = 0; x + box.width() <= p.width; ++x)
                if (outlineAt(p, x, y, box.width(), box.height())) ++count;
    return count;
}

int colouredPixels(const Picture& p) {
    return countPixels(p, [](const Rgba& c) {
        return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) > 80;
    });
}

TEST(Scripts, TheMissingCharacterBoxIsFoundWhereItIsDrawnOnPurpose) {
    ASSERT_EQ(tofuBoxes().size(), 2u);
    for (const PixelBox& box : tofuBoxes()) {
        EXPECT_GT(box.width(), 6);
        EXPECT_GT(box.height(), 10);
    }
    EXPECT_GE(tofuCount(drawTitle("abc\u0378def")), 1);
    EXPECT_GE(tofuCount(drawTitle("新便签 \U0010FFFD 回口")), 1);
    EXPECT_GE(tofuCount(drawTitle("ซื้อ\u0378นม ✅")), 1);
    EXPECT_EQ(tofuCount(drawTitle("新便签 回口 日目 Buy milk")), 0) << "boxes that are letters";
}

TEST(Scripts, EveryKindOfTitleIsDrawnWithoutMissingCharacterBoxes) {
    struct Case {
        const char* name;
        std::string title, language;
        bool emoji;
    };
    for (const Case& c : std::vector<Case>{
             {"ZWJ family, kiss, profession",
              "👨‍👩‍👧‍👦 👩‍❤️‍💋‍👨 🧑‍💻", "", true},
             {"flags", "🇯🇵 🇫🇷 🇧🇷 🏴‍☠️ 🏳️‍🌈", "", true},
             {"skin tones", "👍🏽 👋🏿 🤝🏻", "", true},
             {"symbols as emoji", "✅ ⭐ ❤️ ☎️ ⌛ 1️⃣", "", true},
             {"Thai", "ซื้อนมและไข่", "", false},
             {"Devanagari", "दूध और अंडे खरीदें", "", false},
             {"Bengali", "দুধ কিনুন", "", false},
             {"Tamil", "பால் வாங்கு", "", false},
             {"Sinhala", "කිරි මිලදී ගන්න", "", false},
             {"Amharic", "ወተት ይግዙ", "", false},
             {"Khmer", "ទិញទឹកដោះគោ", "", false},
             {"Burmese", "နို့ဝယ်ပါ", "", false},
             {"Arabic with a ligature", "اشترِ الحليب ﷺ ﷽", "", false},
             {"Hebrew", "לקנות חלב", "", false},
             {"Greek and Cyrillic", "Αγόρασε γάλα, Купить молоко", "", false},
             {"Han, Japanese", "直角骨写今 ひらがな カタカナ", "ja-jp", false},
             {"Han, Traditional Chinese", "直角骨写今 買牛奶", "zh-tw", false},
             {"Han, Simplified Chinese", "直角骨写今 买牛奶", "zh-cn", false},
             {"Han and Hangul, Korean", "直角骨写今 우유 사기", "ko-kr", false},
             {"mixed", "Call 妈妈 🍎 about ราคา", "", true},
         }) {
        SCOPED_TRACE(c.name);
        const Picture p = drawTitle(c.title, c.language);
        EXPECT_GT(countPixels(p, isDark) + colouredPixels(p), 40) << "something is drawn";
        EXPECT_EQ(tofuCount(p), 0);
        if (c.emoji)
            EXPECT_GT(colouredPixels(p), 100) << "emoji in colour";
        else
            EXPECT_EQ(colouredPixels(p), 0) << "text in the text's colour";
    }
}

// How crisp the horizontal strokes of a text are: of the pixel rows the text inks, the
// darkest row's mean darkness (1 is a stroke filling whole pixels, 0.5 one spread over two).
double darkestRow(const Picture& p) {
    double darkest = 0;
    for (int y = 0; y < p.height; ++y) {
        int inked = 0;
        double darkness = 0;
        for (int x = 0; x < p.width; ++x) {
            const double d = 1 - p.at(x, y).g / 255.0;
            if (d > 0.05) ++inked, darkness += d;
        }
        if (inked > 10) darkest = std::max(darkest, darkness / inked);
    }
    return darkest;
}

TEST(Scripts, HorizontalStrokesAreSharpAtScaleOne) {
    for (double y : {4.0, 4.3, 4.5, 4.77}) {
        SCOPED_TRACE(y);
        LaidOutView text = textNode("一二三 HHH", {{4, y}, {120, 17}});
        const Drawn drawn = drawTree(root({text}), canvas(130, 26, 1));
        ASSERT_TRUE(drawn.picture);
        EXPECT_GT(darkestRow(*drawn.picture), 0.8);
    }
}

std::size_t differingPixels(const Picture& a, const Picture& b) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i < std::min(a.pixels.size(), b.pixels.size()); ++i)
        if (channelDistance(a.pixels[i], b.pixels[i]) > 64) ++differing;
    return differing;
}

TEST(Scripts, HanCharactersTakeTheFormsOfTheTextsLanguage) {
    const std::string shared = "直角骨写今";
    const Picture simplified = drawTitle(shared, "zh-cn");
    EXPECT_EQ(differingPixels(drawTitle(shared, ""), simplified), 0u) << "the keys' own forms";
    for (const char* language : {"ja-jp", "zh-tw", "zh-hk", "ko-kr"}) {
        SCOPED_TRACE(language);
        EXPECT_GT(differingPixels(drawTitle(shared, language), simplified), 50u);
    }
}

TEST(Scripts, ControlCharactersNeverCutATitleOrDrawAsBoxes) {
    struct Case {
        const char* name;
        std::string title, drawnAs;
    };
    for (const Case& c : std::vector<Case>{
             {"NUL", std::string("Buy\0milk and eggs", 17), "Buymilk and eggs"},
             {"NUL first", std::string("\0Buy milk", 9), "Buy milk"},
             {"other C0, DEL and C1", "Buy\x01\x1b\x7f\u0080\u009f milk", "Buy milk"},
             {"tab", "Buy\tmilk", "Buy milk"},
             {"line feed", "Buy\nmilk", "Buy milk"},
             {"CR LF, one space", "Buy\r\nmilk", "Buy milk"},
             {"vertical tab, form feed", "Buy\v\fmilk", "Buy  milk"},
             {"next line", "Buy\u0085milk", "Buy milk"},
             {"line and paragraph separators", "Buy\u2028milk\u2029now", "Buy milk now"},
             {"Han", std::string("买\0牛奶\t回电话", 20), "买牛奶 回电话"},
             {"not UTF-8", "Buy\xff milk", "Buy\uFFFD milk"},
         }) {
        SCOPED_TRACE(c.name);
        const Picture p = drawTitle(c.title);
        EXPECT_EQ(differingPixels(p, drawTitle(c.drawnAs)), 0u);
        EXPECT_EQ(tofuCount(p), 0);
        EXPECT_NEAR(ui::measureText(c.title, {ui::Font::system(12)}).width,
                    ui::measureText(c.drawnAs, {ui::Font::system(12)}).width, 1e-9);
    }
}

// Where the ink of the ellipsis lies relative to the line's middle, in pixels (positive:
// lower). It is the last glyph in reading order: the rightmost for left-to-right text.
double ellipsisDrop(const Picture& p, bool rightToLeft) {
    const auto bounds = inkBounds(p);
    if (!bounds) return 0;
    const int from = rightToLeft ? bounds->x0 : bounds->x1 - 6;
    double sum = 0;
    int count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = from; x < from + 6; ++x)
            if (isDark(p.at(x, y))) sum += y, ++count;
    return count == 0 ? 0 : sum / count - (4 + 12) * 2;
}

TEST(Scripts, ACutTitleEndsInTheEllipsisOfItsScript) {
    struct Case {
        const char* name;
        std::string title;
        bool rightToLeft, onTheBaseline;
    };
    for (const Case& c : std::vector<Case>{
             {"Latin", "Finish the quarterly report draft before the meeting", false, true},
             {"Arabic", "أنهِ مسودة التقرير الفصلي قبل الاجتماع", true, true},
             {"Han", "预约牙医下周三上午记得带医保卡和病历本", false, false},
         }) {
        SCOPED_TRACE(c.name);
        const Picture p = drawTitle(c.title, "ja-jp", true, 90);
        const double drop = ellipsisDrop(p, c.rightToLeft);
        if (c.onTheBaseline)
            EXPECT_GT(drop, 3) << "dots on the baseline";
        else
            EXPECT_LT(std::fabs(drop), 3) << "dots across the middle";
    }
}

// ---------------------------------------------------------------------------------------------
// The widget program's `render`, with snapshots published by the real bridge

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;
const fs::path bundleDirectory = JOTBIRD_BUNDLE_DIR;
const fs::path goldenDirectory = GOLDEN_DIR;

// Rows with long and short, Latin and Han titles, reminders, an empty title and a folded count.
const std::string notesJSON =
    R"({"schema":1,"updatedAt":1700000000000,"account":"","total":12,"notes":[)"
    R"({"id":"n1","title":"Buy milk and eggs for the weekend breakfast","remindAt":1700000360000},)"
    R"({"id":"n2","title":"回电话给妈妈"},)"
    R"({"id":"n3","title":"Finish the quarterly report draft","remindAt":1700031600000},)"
    R"({"id":"n4","title":"预约牙医 下周三上午 记得带医保卡"},)"
    R"({"id":"n5","title":"","remindAt":1700038800000}],"folded":2})";
const std::string emptyFoldedJSON =
    R"({"schema":1,"updatedAt":1700000000000,"account":"","total":0,"notes":[],"folded":3})";

class RenderTest : public testing::Test {
protected:
    TemporaryDirectory home;
    TemporaryDirectory output;

    // A fixed time zone and the C locale, so times of day and wording are the same everywhere.
    testsupport::ProcessResult run(const std::vector<std::string>& arguments,
                                   const std::string& locale = "C",
                                   const fs::path& program = widgetProgram) {
        testsupport::ProcessOptions options;
        options.arguments = arguments;
        options.environment = {{"XDG_DATA_HOME", home.path().string()},
                               {"TZ", "UTC"},
                               {"LC_ALL", locale},
                               {"LANG", std::nullopt},
                               {"LANGUAGE", std::nullopt},
                               {"LC_CTYPE", std::nullopt},
                               {"LC_MESSAGES", std::nullopt},
                               {"LC_TIME", std::nullopt}};
        return testsupport::runProcess(program, options);
    }

    void publish(const std::string& snapshot) { testsupport::publishOrFail(snapshot, home.path()); }

    json tree(const std::vector<std::string>& options) {
        std::vector<std::string> arguments{"tree"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const auto result = run(arguments);
        EXPECT_EQ(result.exitStatus, 0) << testsupport::describe(result);
        return json::parse(result.standardOutput, nullptr, false);
    }

    // Renders with `options` (family, scheme, ...) and checks the answer against the file.
    Picture render(const std::vector<std::string>& options, const std::string& name = "out.png",
                   const std::string& locale = "C") {
        const fs::path file = output.path() / name;
        std::vector<std::string> arguments{"render", "--png", file.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const auto result = run(arguments, locale);
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
        EXPECT_EQ(result.standardError, "");
        const json answer = json::parse(result.standardOutput, nullptr, false);
        const auto picture = readPicture(file);
        EXPECT_TRUE(picture) << "no readable PNG at " << file;
        if (!picture) return {};
        EXPECT_EQ(
            answer,
            (json{{"png", file.string()}, {"width", picture->width}, {"height", picture->height}}));
        return *picture;
    }
};

// Every node of the tree, depth first.
void collect(const json& node, std::vector<json>& nodes) {
    if (!node.is_object()) return;
    nodes.push_back(node);
    if (node.contains("children"))
        for (const json& child : node["children"])
            collect(child, nodes);
}

std::vector<json> nodesOf(const json& tree, const std::function<bool(const json&)>& test) {
    std::vector<json> all, found;
    collect(tree, all);
    std::copy_if(all.begin(), all.end(), std::back_inserter(found), test);
    return found;
}

std::vector<json> nodesOfType(const json& tree, const std::string& type) {
    return nodesOf(tree, [&](const json& node) { return node.value("type", "") == type; });
}

CGRect frameOf(const json& node) {
    const json& f = node.at("frame");
    return {{f[0].get<double>(), f[1].get<double>()}, {f[2].get<double>(), f[3].get<double>()}};
}

// Pixels in a frame (points) whose colour is far from the background: the dark part of glyphs.
int glyphPixels(const Picture& picture, const CGRect& frame, double scale, const Rgba& background) {
    return countPixels(picture, int(std::floor(frame.origin.x * scale)),
                       int(std::floor(frame.origin.y * scale)),
                       int(std::ceil(ui::CGRectGetMaxX(frame) * scale)),
                       int(std::ceil(ui::CGRectGetMaxY(frame) * scale)),
                       [&](const Rgba& p) { return channelDistance(p, background) > 100; });
}

struct SchemeCase {
    std::string scheme;
    Rgba background, ring;
};
const std::vector<SchemeCase> schemes{{"light", rgb(255, 255, 255), rgb(136, 141, 147)},
                                      {"dark", rgb(25, 25, 25), rgb(160, 165, 171)}};

TEST_F(RenderTest, TheBackgroundOfEachSchemeFillsTheWholeWidget) {
    publish(notesJSON);
    for (const SchemeCase& c : schemes) {
        for (const char* family : {"small", "medium", "large"}) {
            SCOPED_TRACE(c.scheme + " " + family);
            const Picture p = render({"--family", family, "--scheme", c.scheme});
            ASSERT_GT(p.width, 4);
            for (auto [x, y] : {std::pair{0, 0},
                                {p.width - 1, 0},
                                {0, p.height - 1},
                                {p.width - 1, p.height - 1},
                                {p.width / 2, 2}})
                EXPECT_EQ(p.at(x, y), c.background) << "at " << x << "," << y;
        }
    }
}

TEST_F(RenderTest, EveryRowMarkerIsARingOfTheSchemesColourAroundTheBackground) {
    publish(notesJSON);
    for (const SchemeCase& c : schemes) {
        SCOPED_TRACE(c.scheme);
        const std::vector<std::string> options{"--family", "medium", "--scheme", c.scheme};
        const std::vector<json> circles = nodesOfType(tree(options), "Circle");
        ASSERT_EQ(circles.size(), 3u);
        const Picture p = render(options);
        for (const json& circle : circles) {
            const CGRect f = frameOf(circle);
            const double midY = ui::CGRectGetMidY(f);
            EXPECT_TRUE(near(p.atPoint(f.origin.x + 1, midY, 2), c.ring, 2))
                << "left of the ring " << p.atPoint(f.origin.x + 1, midY, 2);
            EXPECT_TRUE(near(p.atPoint(ui::CGRectGetMaxX(f) - 1, midY, 2), c.ring, 2))
                << "right of the ring";
            EXPECT_EQ(p.atPoint(ui::CGRectGetMidX(f), midY, 2), c.background) << "the hollow";
        }
    }
}

TEST_F(RenderTest, TheAddMarkIsYellowWithThePlusCutOutOfIt) {
    for (const SchemeCase& c : schemes) {
        for (const char* family : {"small", "large"}) {
            SCOPED_TRACE(c.scheme + " " + family);
            const std::vector<std::string> options{"--family", family, "--scheme", c.scheme};
            const std::vector<json> shapes = nodesOfType(tree(options), "Shape");
            ASSERT_EQ(shapes.size(), 1u);
            const CGRect f = frameOf(shapes[0]);
            const double u = std::min(f.size.width, f.size.height) / 18;
            const double x0 = ui::CGRectGetMidX(f) - 9 * u, y0 = ui::CGRectGetMidY(f) - 9 * u;
            const Picture p = render(options);
            const Rgba yellow = rgb(255, 218, 86);
            EXPECT_EQ(p.atPoint(x0 + 2 * u, y0 + 9 * u, 2), yellow) << "disc, left of the plus";
            EXPECT_EQ(p.atPoint(x0 + 9 * u, y0 + 2 * u, 2), yellow) << "disc, above the plus";
            EXPECT_EQ(p.atPoint(x0 + 5 * u, y0 + 5 * u, 2), yellow) << "disc, between arms";
            EXPECT_EQ(p.atPoint(x0 + 9 * u, y0 + 9 * u, 2), c.background) << "plus centre";
            EXPECT_EQ(p.atPoint(x0 + 9 * u, y0 + 5 * u, 2), c.background) << "upper arm";
            EXPECT_EQ(p.atPoint(x0 + 12.5 * u, y0 + 9 * u, 2), c.background) << "right arm";
        }
    }
}

TEST_F(RenderTest, DarkAndLightPicturesDiffer) {
    publish(notesJSON);
    const Picture light = render({"--family", "medium", "--scheme", "light"}, "light.png");
    const Picture dark = render({"--family", "medium", "--scheme", "dark"}, "dark.png");
    ASSERT_EQ(light.pixels.size(), dark.pixels.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < light.pixels.size(); ++i)
        if (channelDistance(light.pixels[i], dark.pixels[i]) > 100) ++differing;
    EXPECT_GT(differing, light.pixels.size() * 9 / 10);
}

TEST_F(RenderTest, TheAnswerNamesTheFileAndItsPixelSizeAtEveryScale) {
    struct Case {
        std::vector<std::string> options;
        int width, height;
    };
    for (const Case& c : std::vector<Case>{
             {{"--family", "small"}, 340, 340},
             {{"--family", "medium"}, 728, 340},
             {{"--family", "large"}, 728, 764},
             {{"--family", "small", "--scale", "1"}, 170, 170},
             {{"--family", "small", "--scale", "3"}, 510, 510},
             {{"--family", "medium", "--scale", "1"}, 364, 170},
             {{"--family", "large", "--scale", "3"}, 1092, 1146},
             {{"--family", "medium", "--size", "364.4x170"}, 729, 340},
             {{"--family", "small", "--legacy", "--scheme", "dark"}, 340, 340},
         }) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        const Picture p = render(c.options);
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, c.height);
    }
}

TEST_F(RenderTest, RedactionHidesThePrivateTextsAndKeepsTheRest) {
    publish(notesJSON);
    for (const SchemeCase& c : schemes) {
        SCOPED_TRACE(c.scheme);
        const std::vector<std::string> options{"--family", "large", "--scheme", c.scheme};
        const json laidOut = tree(options);
        const std::vector<json> hidden = nodesOf(laidOut, [](const json& node) {
            return node.value("type", "") == "Text" && node.value("privacySensitive", false);
        });
        ASSERT_GE(hidden.size(), 6u) << "the count, five titles and their reminder times";
        const std::vector<json> kept = nodesOf(laidOut, [](const json& node) {
            return node.value("type", "") == "Text" && node.value("key", "") == "记下一件事";
        });
        ASSERT_EQ(kept.size(), 1u);

        std::vector<std::string> redactedOptions = options;
        redactedOptions.push_back("--redacted");
        const Picture shown = render(options, "shown.png");
        const Picture redacted = render(redactedOptions, "redacted.png");
        for (const json& text : hidden) {
            SCOPED_TRACE(text.value("text", ""));
            const CGRect f = frameOf(text);
            EXPECT_GT(glyphPixels(shown, f, 2, c.background), 10);
            EXPECT_EQ(glyphPixels(redacted, f, 2, c.background), 0);
            // Something stands in for the glyphs: a bar across the start of the text.
            const Rgba bar = redacted.atPoint(f.origin.x + 4, ui::CGRectGetMidY(f), 2);
            EXPECT_NE(bar, c.background);
            EXPECT_EQ(redacted.atPoint(f.origin.x + 8, ui::CGRectGetMidY(f), 2), bar);
        }
        EXPECT_EQ(glyphPixels(redacted, frameOf(kept[0]), 2, c.background),
                  glyphPixels(shown, frameOf(kept[0]), 2, c.background));
    }
}

TEST_F(RenderTest, TheHeaderShowsTheBrandArtwork) {
    const std::vector<std::string> options{"--family", "small"};
    const std::vector<json> images = nodesOf(tree(options), [](const json& node) {
        return node.value("type", "") == "Image" && !node.contains("symbol");
    });
    ASSERT_EQ(images.size(), 1u) << "the brand image, found in the bundle";
    const CGRect f = frameOf(images[0]);
    const Picture p = render(options);
    const int yellow = countPixels(p, int(f.origin.x * 2), int(f.origin.y * 2),
                                   int(ui::CGRectGetMaxX(f) * 2), int(ui::CGRectGetMaxY(f) * 2),
                                   [](const Rgba& c) { return near(c, rgb(255, 218, 86), 12); });
    EXPECT_GT(yellow, 100) << "the note of the brand mark";
}

// Three medium rows are 23.33 points high, so dividers fall between pixels; each must still
// be a solid line of whole pixels, the same as every other, at every scale.
TEST_F(RenderTest, EveryDividerIsEquallySharpAtEveryScale) {
    publish(notesJSON);
    const std::vector<std::string> options{"--family", "medium"};
    const std::vector<json> dividers = nodesOfType(tree(options), "Divider");
    ASSERT_EQ(dividers.size(), 4u) << "one above each of three rows, one above the footer";
    for (int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        std::vector<std::string> scaled = options;
        scaled.insert(scaled.end(), {"--scale", std::to_string(scale)});
        const Picture p = render(scaled);
        std::optional<std::vector<Rgba>> first;
        for (const json& divider : dividers) {
            const CGRect f = frameOf(divider);
            SCOPED_TRACE(testing::Message() << "divider at y " << ui::CGRectGetMidY(f));
            // Down one pixel column across the divider: the pixels that are not background.
            const int x = int(ui::CGRectGetMidX(f) * scale);
            std::vector<Rgba> profile;
            for (int y = int((ui::CGRectGetMidY(f) - 3) * scale);
                 y < int((ui::CGRectGetMidY(f) + 3) * scale); ++y)
                if (p.at(x, y) != rgb(255, 255, 255)) profile.push_back(p.at(x, y));
            EXPECT_EQ(profile.size(), std::size_t(scale)) << "one point, in whole pixels";
            if (!first) first = profile;
            EXPECT_EQ(profile, *first) << "the same line as the first divider";
        }
    }
}

TEST_F(RenderTest, ANulInATitleLeavesTheRestOfItShownAndDrawn) {
    auto titleNode = [](const json& laidOut) {
        const auto titles = nodesOf(laidOut, [](const json& node) {
            return node.value("type", "") == "Text" && node.value("privacySensitive", false) &&
                   node.value("text", "").starts_with("Buy");
        });
        return titles.empty() ? json() : titles[0];
    };
    const std::string withNul = R"({"schema":1,"updatedAt":0,"account":"","total":1,"notes":[)"
                                R"({"id":"n1","title":"Buy\u0000milk and eggs"}]})";
    const std::string withoutNul = R"({"schema":1,"updatedAt":0,"account":"","total":1,"notes":[)"
                                   R"({"id":"n1","title":"Buymilk and eggs"}]})";
    publish(withNul);
    const json shown = titleNode(tree({"--family", "medium"}));
    ASSERT_TRUE(shown.is_object());
    EXPECT_EQ(shown["text"], std::string("Buy\0milk and eggs", 17)) << "the title verbatim";
    const Picture drawn = render({"--family", "medium"}, "nul.png");
    publish(withoutNul);
    const json plain = titleNode(tree({"--family", "medium"}));
    ASSERT_TRUE(plain.is_object());
    EXPECT_NEAR(frameOf(shown).size.width, frameOf(plain).size.width, 1e-6);
    EXPECT_GT(frameOf(shown).size.width, 60);
    EXPECT_EQ(differingPixels(drawn, render({"--family", "medium"}, "plain.png")), 0u);
}

TEST_F(RenderTest, HanTitlesTakeTheFormsOfTheUsersLocale) {
    publish(R"({"schema":1,"updatedAt":0,"account":"","total":1,"notes":[)"
            R"({"id":"n1","title":"直角骨写今 角骨直"}]})");
    const Picture simplified = render({"--family", "medium"}, "cn.png", "zh_CN.UTF-8");
    EXPECT_EQ(differingPixels(render({"--family", "medium"}, "c.png", "C"), simplified), 0u)
        << "the C locale keeps the keys' Simplified forms";
    for (const char* locale : {"ja_JP.UTF-8", "zh_TW.UTF-8", "zh_HK.UTF-8", "ko_KR.UTF-8"}) {
        SCOPED_TRACE(locale);
        EXPECT_GT(differingPixels(render({"--family", "medium"}, "other.png", locale), simplified),
                  50u);
    }
}

// The widget program copied into a prefix of its own, beside a bundle whose brand PNG has a
// valid header and size but is cut short: the header shows the brand's text instead.
TEST_F(RenderTest, ABrandPictureCutShortFallsBackToTheText) {
    TemporaryDirectory prefix;
    const fs::path program = prefix.path() / "bin" / "JotbirdWidgets";
    const fs::path bundle = prefix.path() / "share" / "JotbirdWidgets";
    fs::create_directories(program.parent_path());
    fs::create_directories(bundle / "fonts");
    fs::copy_file(widgetProgram, program);
    fs::copy_file(bundleDirectory / "fonts" / "fonts.conf", bundle / "fonts" / "fonts.conf");
    const std::string brand = *testsupport::readFile(bundleDirectory / "JotbirdBrand.png");
    testsupport::writeFile(bundle / "JotbirdBrand.png", brand.substr(0, brand.size() / 2));

    const auto result = run({"tree", "--family", "small"}, "C", program);
    ASSERT_EQ(result.exitStatus, 0) << testsupport::describe(result);
    const json laidOut = json::parse(result.standardOutput, nullptr, false);
    EXPECT_TRUE(nodesOf(laidOut,
                        [](const json& node) {
                            return node.value("type", "") == "Image" && !node.contains("symbol");
                        })
                    .empty())
        << "no brand image";
    EXPECT_EQ(nodesOf(laidOut,
                      [](const json& node) {
                          return node.value("type", "") == "Text" &&
                                 node.value("key", "") == "Jotbird";
                      })
                  .size(),
              1u);
}

TEST(BrandArtwork, IsAThreeTimesPictureOfTheHeadersSpaceOnATransparentGround) {
    const auto brand = readPicture(bundleDirectory / "JotbirdBrand.png");
    ASSERT_TRUE(brand);
    EXPECT_EQ(brand->width, 3 * 66);
    EXPECT_EQ(brand->height, 3 * 22);
    for (auto [x, y] : {std::pair{0, 0},
                        {brand->width - 1, 0},
                        {0, brand->height - 1},
                        {brand->width - 1, brand->height - 1}})
        EXPECT_EQ(brand->at(x, y).a, 0) << "corner " << x << "," << y;
    EXPECT_GT(countPixels(*brand, [](const Rgba& c) { return near(c, rgb(255, 218, 86), 4); }), 300)
        << "the yellow note";
    // The word must stand out from white and from the dark scheme's grey alike.
    const int word = countPixels(*brand, [](const Rgba& c) {
        return c.a == 255 && channelDistance(c, rgb(255, 255, 255)) > 80 &&
               channelDistance(c, rgb(25, 25, 25)) > 80 && !near(c, rgb(255, 218, 86), 40);
    });
    EXPECT_GT(word, 800);
}

TEST(Translations, TheEnglishTableInTheBundleCoversEveryKey) {
    const auto bytes = testsupport::readFile(bundleDirectory / "translations" / "en.json");
    ASSERT_TRUE(bytes);
    const json table = json::parse(*bytes, nullptr, false);
    EXPECT_EQ(table, (json{{"Jotbird", "Jotbird"},
                           {"%lld", "%lld"},
                           {"暂无待办", "Nothing to do"},
                           {"待办已折叠", "To-dos folded"},
                           {"记下一件事", "Jot something down"},
                           {"已折叠 %lld", "%lld folded"}}));
}

TEST_F(RenderTest, AnEnglishLocaleShowsTheEnglishWording) {
    publish(emptyFoldedJSON);
    const auto result = run({"tree", "--family", "medium"}, "en_GB.UTF-8");
    ASSERT_EQ(result.exitStatus, 0) << testsupport::describe(result);
    std::vector<std::string> texts;
    for (const json& node : nodesOf(json::parse(result.standardOutput),
                                    [](const json& node) { return node.contains("text"); }))
        texts.push_back(node["text"]);
    for (const char* expected : {"To-dos folded", "Jot something down", "3 folded"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
}

// Goldens: whole pictures compared with a tolerance, since font rasterisation may differ by a
// few pixels between machines. UPDATE_GOLDEN=1 rewrites them from the current drawing.
TEST_F(RenderTest, EachSizeMatchesItsGoldenPicture) {
    struct Case {
        std::string name;
        const std::string* snapshot;
        std::vector<std::string> options;
    };
    const bool update =
        std::getenv("UPDATE_GOLDEN") && std::string(std::getenv("UPDATE_GOLDEN")) == "1";
    for (const Case& c : std::vector<Case>{
             {"small-light", &notesJSON, {"--family", "small"}},
             {"medium-dark", &notesJSON, {"--family", "medium", "--scheme", "dark"}},
             {"large-light", &notesJSON, {"--family", "large"}},
             {"medium-empty-folded-light", &emptyFoldedJSON, {"--family", "medium"}},
         }) {
        SCOPED_TRACE(c.name);
        publish(*c.snapshot);
        const Picture actual = render(c.options, c.name + ".png");
        const fs::path golden = goldenDirectory / (c.name + ".png");
        if (update) {
            fs::create_directories(goldenDirectory);
            fs::copy_file(output.path() / (c.name + ".png"), golden,
                          fs::copy_options::overwrite_existing);
            continue;
        }
        const auto expected = readPicture(golden);
        ASSERT_TRUE(expected) << "no golden at " << golden << " (UPDATE_GOLDEN=1 makes it)";
        ASSERT_EQ(actual.width, expected->width);
        ASSERT_EQ(actual.height, expected->height);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < actual.pixels.size(); ++i)
            if (channelDistance(actual.pixels[i], expected->pixels[i]) > 64) ++differing;
        const double share = double(differing) / actual.pixels.size();
        if (share > 0.01) {
            const fs::path kept = fs::temp_directory_path() / ("jotbird-actual-" + c.name + ".png");
            fs::copy_file(output.path() / (c.name + ".png"), kept,
                          fs::copy_options::overwrite_existing);
            ADD_FAILURE() << differing << " pixels (" << share * 100 << "%) differ from " << golden
                          << "; this drawing is kept at " << kept
                          << " (UPDATE_GOLDEN=1 rewrites the goldens when the change is meant)";
        }
    }
}

}  // namespace
