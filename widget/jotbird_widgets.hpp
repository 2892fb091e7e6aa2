#pragma once
// The one widget the extension offers: kind "JotbirdNotes" in three sizes.

#include <string>

#include "platform/ui/localization.hpp"
#include "platform/widgetkit/static_configuration.hpp"
#include "widget/jotbird_provider.hpp"
#include "widget/view/jotbird_widget_view.hpp"

namespace jotbird {

struct JotbirdWidgets {
    const std::string kind = "JotbirdNotes";

    auto body() const {
        return widgetkit::StaticConfiguration(
                   kind, JotbirdProvider{},
                   [](const JotbirdEntry& entry) { return JotbirdWidgetView{entry}; })
            .configurationDisplayName({ui::N_("Jotbird")})
            // TRANSLATORS: what the widget gallery says of the widget.
            .description({ui::N_("桌面上的待办与提醒，点一下回到便签。")})
            .supportedFamilies({widgetkit::WidgetFamily::systemSmall,
                                widgetkit::WidgetFamily::systemMedium,
                                widgetkit::WidgetFamily::systemLarge});
    }
};

}  // namespace jotbird
