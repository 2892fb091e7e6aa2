#pragma once
// The widget's view: a function of its entry and of the size class and colour scheme of
// the environment it is rendered in.

#include <cstdint>

#include "platform/ui/color.hpp"
#include "platform/ui/environment.hpp"
#include "platform/ui/view.hpp"
#include "platform/widgetkit/widget_family.hpp"
#include "widget/jotbird_entry.hpp"

namespace jotbird {

struct JotbirdWidgetView {
    JotbirdEntry entry;
    ui::Environment<widgetkit::WidgetFamily> family{&ui::EnvironmentValues::widgetFamily};
    ui::Environment<ui::ColorScheme> systemColorScheme{&ui::EnvironmentValues::colorScheme};

    // The scheme in force: the snapshot's "dark" or "light", else the system's.
    ui::ColorScheme colorScheme(const ui::EnvironmentValues& environment) const;
    // Outline of each row's marker circle.
    ui::Color ring(const ui::EnvironmentValues& environment) const;
    // Behind the whole widget.
    ui::Color backgroundColor(const ui::EnvironmentValues& environment) const;
    // Fill of the add button's icon, the same in both schemes.
    static ui::Color addMarkYellow();
    // The most note rows shown at the current size.
    std::int64_t limit(const ui::EnvironmentValues& environment) const;

    // The scheme put in force and the widget background, around `content`.
    ui::View body(const ui::EnvironmentValues& environment) const;
    // Header, rows or empty state, flexible space, divider, footer.
    ui::View content(const ui::EnvironmentValues& environment) const;
};

}  // namespace jotbird
