#pragma once
// A ui header that reaches up into the widget kit: the layering check must refuse it.

#include "platform/widgetkit/widget_host.hpp"
