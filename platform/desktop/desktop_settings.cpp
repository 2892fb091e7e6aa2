#include "platform/desktop/desktop_settings.hpp"

#include <glib.h>

#include <cmath>
#include <cstdlib>
#include <variant>

#include "platform/foundation/atomic_file.hpp"
#include "platform/foundation/bounded_read.hpp"

namespace desktop {
namespace {

constexpr const char* groupPrefix = "Widget ";
constexpr std::size_t largestFile = 64 * 1024;

// Where coordinates may lie: far beyond any screen, so that a file cannot ask for nonsense.
constexpr double largestCoordinate = 100000;

std::optional<double> coordinate(GKeyFile* keys, const char* group, const char* key) {
    g_autoptr(GError) error = nullptr;
    const double value = g_key_file_get_double(keys, group, key, &error);
    if (error || !std::isfinite(value) || std::fabs(value) > largestCoordinate) return std::nullopt;
    return value;
}

// One widget's group, or nothing when a key is missing or wrong.
std::optional<PlacedWidget> widgetIn(GKeyFile* keys, const char* group) {
    g_autofree char* family = g_key_file_get_string(keys, group, "Family", nullptr);
    const auto known = family ? ui::familyFromShortName(family) : std::nullopt;
    if (!known) return std::nullopt;
    PlacedWidget widget{*known, {}, std::nullopt};
    if (g_autofree char* monitor = g_key_file_get_string(keys, group, "Monitor", nullptr))
        widget.monitor = monitor;
    const bool hasX = g_key_file_has_key(keys, group, "X", nullptr);
    const bool hasY = g_key_file_has_key(keys, group, "Y", nullptr);
    if (hasX != hasY) return std::nullopt;
    if (hasX) {
        const auto x = coordinate(keys, group, "X"), y = coordinate(keys, group, "Y");
        if (!x || !y) return std::nullopt;
        widget.position = ui::CGPoint{*x, *y};
    }
    return widget;
}

// The settings in the text, or the reason they are not.
std::variant<DesktopSettings, std::string> parse(const std::string& text) {
    g_autoptr(GKeyFile) keys = g_key_file_new();
    g_autoptr(GError) error = nullptr;
    if (!g_key_file_load_from_data(keys, text.data(), text.size(), G_KEY_FILE_NONE, &error))
        return std::string(error->message);
    DesktopSettings settings;
    gsize count = 0;
    g_auto(GStrv) groups = g_key_file_get_groups(keys, &count);
    for (gsize i = 0; i < count; ++i) {
        if (!g_str_has_prefix(groups[i], groupPrefix)) continue;
        auto widget = widgetIn(keys, groups[i]);
        if (!widget) return "[" + std::string(groups[i]) + "] has no valid Family, X and Y";
        settings.widgets.push_back(std::move(*widget));
    }
    return settings;
}

std::optional<std::filesystem::path> absolute(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/') return std::nullopt;
    return std::filesystem::path(value);
}

}  // namespace

std::optional<std::filesystem::path> settingsFile() {
    if (auto config = absolute("XDG_CONFIG_HOME")) return *config / "jotbird-widgets/desktop.ini";
    if (auto home = absolute("HOME")) return *home / ".config/jotbird-widgets/desktop.ini";
    return std::nullopt;
}

LoadedSettings loadSettings(const std::filesystem::path& file) {
    std::error_code statusError;
    if (std::filesystem::status(file, statusError).type() == std::filesystem::file_type::not_found)
        return {};
    const auto bytes = foundation::readFilePrefix(file, largestFile + 1);
    if (!bytes)
        return {std::nullopt,
                "cannot read " + file.string() + "; the widgets start as the command line says"};
    auto parsed = bytes->size() > largestFile ? std::string("larger than 64 KiB") : parse(*bytes);
    if (auto* settings = std::get_if<DesktopSettings>(&parsed)) return {std::move(*settings), {}};
    // Kept aside rather than written over, in case the person wants to mend it.
    const std::filesystem::path aside = file.string() + ".malformed";
    std::error_code renamed;
    std::filesystem::rename(file, aside, renamed);
    return {std::nullopt, file.string() + " is malformed (" + std::get<std::string>(parsed) +
                              (renamed ? "; left as it is" : "; kept as " + aside.string()) +
                              "); the widgets start as the command line says"};
}

std::string settingsText(const DesktopSettings& settings) {
    g_autoptr(GKeyFile) keys = g_key_file_new();
    for (std::size_t i = 0; i < settings.widgets.size(); ++i) {
        const PlacedWidget& widget = settings.widgets[i];
        const std::string group = groupPrefix + std::to_string(i + 1);
        const std::string family(ui::familyShortName(widget.family));
        g_key_file_set_string(keys, group.c_str(), "Family", family.c_str());
        if (!widget.monitor.empty())
            g_key_file_set_string(keys, group.c_str(), "Monitor", widget.monitor.c_str());
        if (widget.position) {
            g_key_file_set_double(keys, group.c_str(), "X", widget.position->x);
            g_key_file_set_double(keys, group.c_str(), "Y", widget.position->y);
        }
    }
    gsize length = 0;
    g_autofree char* text = g_key_file_to_data(keys, &length, nullptr);
    return "# The widgets on the desktop, kept by JotbirdWidgetsDesktop.\n" +
           std::string(text, length);
}

std::error_code saveSettings(const std::filesystem::path& file, const DesktopSettings& settings) {
    if (auto error = foundation::createDirectory(file.parent_path(), 0700)) return error;
    return foundation::writeFileAtomically(file, settingsText(settings));
}

}  // namespace desktop
