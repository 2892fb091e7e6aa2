#pragma once
// The size classes a widget comes in, under the widget kit's name. The type lives in the ui
// layer below, whose environment hands it to the views; the kit uses that one.

#include "platform/ui/widget_family.hpp"

namespace widgetkit {

using ui::familyFromShortName;
using ui::familyName;
using ui::familyShortName;
using ui::WidgetFamily;

}  // namespace widgetkit
