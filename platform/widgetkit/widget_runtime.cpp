#include "platform/widgetkit/widget_runtime.hpp"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "platform/foundation/decimal_number.hpp"
#include "platform/foundation/file_descriptor.hpp"
#include "platform/foundation/option_word.hpp"
#include "platform/ui/hit_test.hpp"
#include "platform/ui/localization.hpp"
#include "platform/ui/tree_json.hpp"
#include "platform/widgetkit/host_request.hpp"
#include "platform/widgetkit/widget_host.hpp"

namespace widgetkit {
namespace {

using Json = nlohmann::json;

constexpr std::string_view usage =
    "usage: JotbirdWidgets COMMAND [OPTIONS]\n"
    "  describe\n"
    "  placeholder --family F\n"
    "  snapshot    --family F [--preview]\n"
    "  timeline    --family F [--preview] [--size WxH]\n"
    "  tree        --family F [--preview] [--size WxH] [--scheme light|dark] [--legacy]\n"
    "  render      (as tree) --png FILE|- [--scale N] [--redacted]\n"
    "  click X Y   (as tree)\n"
    "  serve       --out DIR [--scheme light|dark] [--legacy] [--scale N] [--redacted]\n"
    "              [--quiet]\n"
    "  --version | --help\n"
    "families: small, medium, large; values also attached, as in --family=medium;\n"
    "--png - writes the picture to standard output instead of the answer\n";

struct UsageError {
    std::string message;
};

// A parsed command line.
struct Command {
    std::string_view name;
    HostRequest request;
    bool hasFamily = false;
    std::optional<ui::CGPoint> point;  // click
    std::string png;                   // render; "-" is standard output
    std::string outDirectory;          // serve
    bool quiet = false;                // serve: no line per drawing
};

// Options that take no value.
const std::set<std::string_view> flags{"--preview", "--legacy", "--redacted", "--quiet"};

// The options each command takes; flags take no value.
const std::map<std::string_view, std::set<std::string_view>>& commandOptions() {
    static const std::map<std::string_view, std::set<std::string_view>> options{
        {"describe", {}},
        {"placeholder", {"--family"}},
        {"snapshot", {"--family", "--preview"}},
        {"timeline", {"--family", "--preview", "--size"}},
        {"tree", {"--family", "--preview", "--size", "--scheme", "--legacy"}},
        {"render",
         {"--family", "--preview", "--size", "--scheme", "--legacy", "--png", "--scale",
          "--redacted"}},
        {"click", {"--family", "--preview", "--size", "--scheme", "--legacy"}},
        {"serve", {"--out", "--scheme", "--legacy", "--scale", "--redacted", "--quiet"}},
    };
    return options;
}

double parseNumber(std::string_view text, std::string_view what) {
    const auto value = foundation::parseDecimal(text);
    if (!value)
        throw UsageError{"not a number for " + std::string(what) + ": " + std::string(text)};
    return *value;
}

void applyFlag(Command& command, std::string_view flag) {
    if (flag == "--preview") command.request.isPreview = true;
    if (flag == "--legacy") command.request.legacy = true;
    if (flag == "--redacted") command.request.redacted = true;
    if (flag == "--quiet") command.quiet = true;
}

void applyOption(Command& command, std::string_view option, std::string_view value) {
    HostRequest& request = command.request;
    if (value.empty()) throw UsageError{std::string(option) + " needs a value"};
    if (option == "--family") {
        auto family = familyFromShortName(value);
        if (!family) throw UsageError{"unknown family: " + std::string(value)};
        request.family = *family;
        command.hasFamily = true;
    } else if (option == "--size") {
        auto size = parseSize(value);
        if (!size) throw UsageError{"bad size (want WxH): " + std::string(value)};
        request.displaySize = *size;
    } else if (option == "--scheme") {
        if (value != "light" && value != "dark") throw UsageError{"scheme is light or dark"};
        request.scheme = value == "dark" ? ui::ColorScheme::dark : ui::ColorScheme::light;
    } else if (option == "--scale") {
        request.scale = parseNumber(value, "--scale");
        if (request.scale <= 0 || request.scale > 16) throw UsageError{"scale is from 0 to 16"};
    } else if (option == "--png") {
        command.png = value;
    } else if (option == "--out") {
        command.outDirectory = value;
    }
}

// Checked before anything is laid out or drawn, so that no size can ask for more than a
// screen's worth, and a size under one pixel, which is no widget, is refused by every command.
void checkPictureSize(const HostRequest& request) {
    if (ui::pictureSize(canvasFor(request))) return;
    char text[160];
    std::snprintf(
        text, sizeof text, "a widget of %gx%g points at scale %g is not 1 to %d pixels a side",
        request.displaySize.width, request.displaySize.height, request.scale, ui::maxPictureSide);
    throw UsageError{text};
}

// A point outside the widget is a click on nothing: it has no link to answer.
void checkInside(const ui::CGPoint& point, const ui::CGSize& size) {
    if (point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height) return;
    char text[160];
    std::snprintf(text, sizeof text, "the point %g,%g is outside the %gx%g widget", point.x,
                  point.y, size.width, size.height);
    throw UsageError{text};
}

Command parse(std::span<const std::string_view> arguments) {
    if (arguments.size() < 2) throw UsageError{"no command"};
    Command command;
    command.name = arguments[1];
    const auto known = commandOptions().find(command.name);
    if (known == commandOptions().end())
        throw UsageError{"unknown command: " + std::string(command.name)};
    std::size_t i = 2;
    if (command.name == "click") {
        if (arguments.size() < 4) throw UsageError{"click needs X and Y"};
        command.point = ui::CGPoint{parseNumber(arguments[2], "X"), parseNumber(arguments[3], "Y")};
        i = 4;
    }
    for (; i < arguments.size(); ++i) {
        const auto [option, attached] = foundation::splitOption(arguments[i]);
        if (!known->second.contains(option))
            throw UsageError{"unknown option for " + std::string(command.name) + ": " +
                             std::string(option)};
        if (flags.contains(option)) {
            if (attached) throw UsageError{std::string(option) + " takes no value"};
            applyFlag(command, option);
        } else if (attached) {
            applyOption(command, option, *attached);
        } else if (i + 1 < arguments.size()) {
            applyOption(command, option, arguments[++i]);
        } else {
            throw UsageError{std::string(option) + " needs a value"};
        }
    }
    if (known->second.contains("--family") && !command.hasFamily)
        throw UsageError{"--family is required"};
    if (command.name == "render" && command.png.empty()) throw UsageError{"--png is required"};
    if (command.name == "serve" && command.outDirectory.empty())
        throw UsageError{"--out is required"};
    if (command.request.displaySize == ui::CGSize{})
        command.request.displaySize = defaultDisplaySize(command.request.family);
    if (known->second.contains("--size")) checkPictureSize(command.request);
    if (command.point) checkInside(*command.point, command.request.displaySize);
    if (command.name == "serve") {
        for (WidgetFamily family :
             {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge})
            checkPictureSize(HostRequest{.family = family,
                                         .displaySize = defaultDisplaySize(family),
                                         .scale = command.request.scale});
    }
    return command;
}

Json milliseconds(foundation::Date date) {
    return foundation::millisecondsSince1970(date);
}

std::string describe(const WidgetRuntime& runtime) {
    nlohmann::ordered_json description;
    description["kind"] = runtime.kind;
    description["displayName"] = ui::localizedString(runtime.displayName);
    description["description"] = ui::localizedString(runtime.description);
    description["families"] = Json::array();
    for (WidgetFamily family : runtime.families)
        description["families"].push_back(familyName(family));
    return description.dump();
}

std::string policyJSON(const TimelineReloadPolicy& policy) {
    switch (policy.kind) {
        case TimelineReloadPolicy::Kind::after:
            return Json{{"after", milliseconds(policy.date)}}.dump();
        case TimelineReloadPolicy::Kind::atEnd:
            return R"({"atEnd":true})";
        case TimelineReloadPolicy::Kind::never:
            return R"({"never":true})";
    }
    return "{}";
}

std::string timelineJSON(const RenderableTimeline& timeline) {
    std::string entries;
    for (const RenderableEntry& entry : timeline.entries)
        entries += (entries.empty() ? "" : ",") + entry.json;
    return "{\"entries\":[" + entries + "],\"policy\":" + policyJSON(timeline.policy) + "}";
}

// The picture itself, for `--png -`: it takes standard output, so no JSON answer follows it.
std::string renderToStandardOutput(const WidgetRuntime& runtime, const Command& command) {
    const HostRequest& request = command.request;
    const ui::LaidOutView root = layoutEntry(entryToShow(runtime, request), request);
    std::string png;
    if (auto error = ui::drawPNGData(root, canvasFor(request), &png))
        throw std::system_error(error, "cannot draw the picture");
    return png;
}

std::string render(const WidgetRuntime& runtime, const Command& command) {
    const HostRequest& request = command.request;
    const ui::LaidOutView root = layoutEntry(entryToShow(runtime, request), request);
    ui::PixelSize pixels;
    if (auto error = ui::drawPNG(root, canvasFor(request), command.png, &pixels))
        throw std::system_error(error, "cannot write " + command.png);
    nlohmann::ordered_json written;
    written["png"] = command.png;
    written["width"] = pixels.width;
    written["height"] = pixels.height;
    // A path is bytes, not always UTF-8: what is not shows as U+FFFD rather than failing.
    return written.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string click(const WidgetRuntime& runtime, const Command& command) {
    const ui::LaidOutView root =
        layoutEntry(entryToShow(runtime, command.request), command.request);
    const auto url = ui::urlAt(root, *command.point);
    return Json{{"url", url ? Json(*url) : Json(nullptr)}}.dump();
}

// One JSON answer for the command.
std::string answer(const WidgetRuntime& runtime, const Command& command) {
    const TimelineProviderContext context = providerContext(command.request);
    if (command.name == "describe") return describe(runtime);
    if (command.name == "placeholder") return runtime.placeholder(context).json;
    if (command.name == "snapshot") return runtime.snapshot(context).json;
    if (command.name == "timeline") return timelineJSON(runtime.timeline(context));
    if (command.name == "tree")
        return ui::treeJSON(layoutEntry(entryToShow(runtime, command.request), command.request));
    if (command.name == "render") return render(runtime, command);
    return click(runtime, command);
}

// Everything the command writes to standard output.
std::string standardOutput(const WidgetRuntime& runtime, const Command& command) {
    if (command.name == "render" && command.png == "-")
        return renderToStandardOutput(runtime, command);
    return answer(runtime, command) + "\n";
}

// `--version` and `--help` in place of a command; nothing when the line holds a command.
std::optional<std::string> programInformation(std::span<const std::string_view> arguments) {
    if (arguments.size() < 2) return std::nullopt;
    if (arguments[1] == "--version") return "JotbirdWidgets " JOTBIRD_VERSION "\n";
    if (arguments[1] == "--help") return std::string(usage);
    return std::nullopt;
}

}  // namespace

int runWidget(const WidgetRuntime& runtime, std::span<const std::string_view> arguments) {
    std::signal(SIGPIPE, SIG_IGN);
    ui::bindMessageCatalogs();
    if (const auto information = programInformation(arguments))
        return foundation::writeAll(STDOUT_FILENO, *information) ? 1 : 0;
    Command command;
    try {
        command = parse(arguments);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "JotbirdWidgets: %s\n%.*s", error.message.c_str(), int(usage.size()),
                     usage.data());
        return 2;
    }
    try {
        if (command.name == "serve")
            return serveWidget(runtime, command.request, command.outDirectory, command.quiet);
        if (auto error = foundation::writeAll(STDOUT_FILENO, standardOutput(runtime, command)))
            throw std::system_error(error, "cannot write the answer");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "JotbirdWidgets: %s\n", error.what());
        return 1;
    }
}

}  // namespace widgetkit
