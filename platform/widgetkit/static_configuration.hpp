#pragma once
// A widget's configuration without user options: kind, provider, content and gallery texts.

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/text_content.hpp"
#include "platform/widgetkit/timeline.hpp"
#include "platform/widgetkit/widget_family.hpp"

namespace widgetkit {

template <TimelineProvider Provider, class Content>
struct StaticConfiguration {
    std::string kind;
    Provider provider;
    Content content;  // entry -> view
    ui::LocalizedStringKey displayNameKey;
    ui::LocalizedStringKey descriptionKey;
    // Without supportedFamilies(_:), every family is offered.
    std::vector<WidgetFamily> families{WidgetFamily::systemSmall, WidgetFamily::systemMedium,
                                       WidgetFamily::systemLarge};

    StaticConfiguration(std::string kind, Provider provider, Content content)
        : kind(std::move(kind)), provider(std::move(provider)), content(std::move(content)) {}

    StaticConfiguration configurationDisplayName(ui::LocalizedStringKey name) && {
        displayNameKey = std::move(name);
        return std::move(*this);
    }
    StaticConfiguration description(ui::LocalizedStringKey text) && {
        descriptionKey = std::move(text);
        return std::move(*this);
    }
    StaticConfiguration supportedFamilies(std::vector<WidgetFamily> supported) && {
        families = std::move(supported);
        return std::move(*this);
    }
};

}  // namespace widgetkit
