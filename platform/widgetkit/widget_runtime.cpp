#include "platform/widgetkit/widget_runtime.hpp"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <variant>

#include "platform/foundation/decimal_number.hpp"
#include "platform/foundation/file_descriptor.hpp"
#include "platform/foundation/option_table.hpp"
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

using foundation::UsageError;
using Failure = std::optional<UsageError>;

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

constexpr foundation::OptionSpec familyOption{"--family", true}, previewFlag{"--preview"},
    sizeOption{"--size", true}, schemeOption{"--scheme", true}, legacyFlag{"--legacy"},
    pngOption{"--png", true}, scaleOption{"--scale", true}, redactedFlag{"--redacted"},
    outOption{"--out", true}, quietFlag{"--quiet"};

// The options each command takes.
const std::map<std::string_view, std::vector<foundation::OptionSpec>>& commandOptions() {
    static const std::map<std::string_view, std::vector<foundation::OptionSpec>> options{
        {"describe", {}},
        {"placeholder", {familyOption}},
        {"snapshot", {familyOption, previewFlag}},
        {"timeline", {familyOption, previewFlag, sizeOption}},
        {"tree", {familyOption, previewFlag, sizeOption, schemeOption, legacyFlag}},
        {"render",
         {familyOption, previewFlag, sizeOption, schemeOption, legacyFlag, pngOption, scaleOption,
          redactedFlag}},
        {"click", {familyOption, previewFlag, sizeOption, schemeOption, legacyFlag}},
        {"serve", {outOption, schemeOption, legacyFlag, scaleOption, redactedFlag, quietFlag}},
    };
    return options;
}

bool takes(const std::vector<foundation::OptionSpec>& options, std::string_view name) {
    return std::any_of(options.begin(), options.end(),
                       [&](const foundation::OptionSpec& option) { return option.name == name; });
}

std::variant<double, UsageError> parseNumber(std::string_view text, std::string_view what) {
    if (const auto value = foundation::parseDecimal(text)) return *value;
    return UsageError{"not a number for " + std::string(what) + ": " + std::string(text)};
}

void applyFlag(Command& command, std::string_view flag) {
    if (flag == "--preview") command.request.isPreview = true;
    if (flag == "--legacy") command.request.legacy = true;
    if (flag == "--redacted") command.request.redacted = true;
    if (flag == "--quiet") command.quiet = true;
}

Failure applyOption(Command& command, std::string_view option, std::string_view value) {
    HostRequest& request = command.request;
    if (value.empty()) return UsageError{std::string(option) + " needs a value"};
    if (option == "--family") {
        auto family = familyFromShortName(value);
        if (!family) return UsageError{"unknown family: " + std::string(value)};
        request.family = *family;
        command.hasFamily = true;
    } else if (option == "--size") {
        auto size = parseSize(value);
        if (!size) return UsageError{"bad size (want WxH): " + std::string(value)};
        request.displaySize = *size;
    } else if (option == "--scheme") {
        if (value != "light" && value != "dark") return UsageError{"scheme is light or dark"};
        request.scheme = value == "dark" ? ui::ColorScheme::dark : ui::ColorScheme::light;
    } else if (option == "--scale") {
        auto scale = parseNumber(value, "--scale");
        if (auto* error = std::get_if<UsageError>(&scale)) return *error;
        request.scale = std::get<double>(scale);
        if (request.scale <= 0 || request.scale > 16) return UsageError{"scale is from 0 to 16"};
    } else if (option == "--png") {
        command.png = value;
    } else if (option == "--out") {
        command.outDirectory = value;
    }
    return std::nullopt;
}

// Checked before anything is laid out or drawn, so that no size can ask for more than a
// screen's worth, and a size under one pixel, which is no widget, is refused by every command.
Failure checkPictureSize(const HostRequest& request) {
    if (ui::pictureSize(canvasFor(request))) return std::nullopt;
    char text[160];
    std::snprintf(
        text, sizeof text, "a widget of %gx%g points at scale %g is not 1 to %d pixels a side",
        request.displaySize.width, request.displaySize.height, request.scale, ui::maxPictureSide);
    return UsageError{text};
}

// A point outside the widget is a click on nothing: it has no link to answer.
Failure checkInside(const ui::CGPoint& point, const ui::CGSize& size) {
    if (point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height)
        return std::nullopt;
    char text[160];
    std::snprintf(text, sizeof text, "the point %g,%g is outside the %gx%g widget", point.x,
                  point.y, size.width, size.height);
    return UsageError{text};
}

// click's X and Y, before its options.
Failure readPoint(Command& command, std::span<const std::string_view> words) {
    if (words.size() < 2) return UsageError{"click needs X and Y"};
    auto x = parseNumber(words[0], "X"), y = parseNumber(words[1], "Y");
    if (auto* error = std::get_if<UsageError>(&x)) return *error;
    if (auto* error = std::get_if<UsageError>(&y)) return *error;
    command.point = ui::CGPoint{std::get<double>(x), std::get<double>(y)};
    return std::nullopt;
}

// What every command needs besides its options' own values, and sizes every command checks.
Failure checkComplete(Command& command, const std::vector<foundation::OptionSpec>& options) {
    if (takes(options, "--family") && !command.hasFamily) return UsageError{"--family is required"};
    if (command.name == "render" && command.png.empty()) return UsageError{"--png is required"};
    if (command.name == "serve" && command.outDirectory.empty())
        return UsageError{"--out is required"};
    if (command.request.displaySize == ui::CGSize{})
        command.request.displaySize = defaultDisplaySize(command.request.family);
    if (takes(options, "--size"))
        if (auto error = checkPictureSize(command.request)) return error;
    if (command.point)
        if (auto error = checkInside(*command.point, command.request.displaySize)) return error;
    if (command.name != "serve") return std::nullopt;
    for (WidgetFamily family :
         {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge})
        if (auto error = checkPictureSize(HostRequest{.family = family,
                                                      .displaySize = defaultDisplaySize(family),
                                                      .scale = command.request.scale}))
            return error;
    return std::nullopt;
}

std::variant<Command, UsageError> parse(std::span<const std::string_view> arguments) {
    if (arguments.size() < 2) return UsageError{"no command"};
    Command command;
    command.name = arguments[1];
    const auto known = commandOptions().find(command.name);
    if (known == commandOptions().end())
        return UsageError{"unknown command: " + std::string(command.name)};
    std::span<const std::string_view> words = arguments.subspan(2);
    if (command.name == "click") {
        if (auto error = readPoint(command, words)) return *error;
        words = words.subspan(2);
    }
    auto given =
        foundation::readOptions(words, known->second, "option for " + std::string(command.name));
    if (auto* error = std::get_if<UsageError>(&given)) return *error;
    for (const foundation::GivenOption& option :
         std::get<std::vector<foundation::GivenOption>>(given)) {
        if (!option.spec.takesValue)
            applyFlag(command, option.spec.name);
        else if (auto error = applyOption(command, option.spec.name, option.value))
            return *error;
    }
    if (auto error = checkComplete(command, known->second)) return *error;
    return command;
}

Json milliseconds(foundation::Date date) {
    return foundation::millisecondsSince1970(date);
}

std::string describe(const WidgetRuntime& runtime) {
    const ui::StringTable table =
        ui::loadStringTable(foundation::Bundle::main(), ui::Locale::current());
    nlohmann::ordered_json description;
    description["kind"] = runtime.kind;
    description["displayName"] = ui::localizedString(runtime.displayName, table);
    description["description"] = ui::localizedString(runtime.description, table);
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
    if (const auto information = programInformation(arguments))
        return foundation::writeAll(STDOUT_FILENO, *information) ? 1 : 0;
    auto parsed = parse(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "JotbirdWidgets: %s\n%.*s", error->message.c_str(), int(usage.size()),
                     usage.data());
        return 2;
    }
    const Command& command = std::get<Command>(parsed);
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
