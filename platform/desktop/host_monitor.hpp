#pragma once
// The monitor the host's windows sit on, and keeping them there: chosen by --monitor, else the
// primary, else the first, and chosen again whenever monitors come, go or change.

#include <gtk/gtk.h>

#include <string>

#include "platform/ui/geometry.hpp"

namespace desktop {

struct DesktopHost;

// The monitor for `wanted` (a connector name, or empty); null only without any monitor.
GdkMonitor* chosenMonitor(GdkDisplay* display, const std::string& wanted);

// The monitor's connector name; empty where it cannot be told.
std::string monitorName(GdkDisplay* display, GdkMonitor* monitor);

// Whether a monitor has that connector name.
bool hasMonitorNamed(GdkDisplay* display, const std::string& name);

// Its work area, in points; a stand-in without a monitor.
ui::CGRect workAreaOf(GdkMonitor* monitor);

// Changes come in bursts (a monitor removed, the others moved and resized): places the
// windows again once they have settled.
void placeWhenSettled(DesktopHost& host);

// Places the windows again, once, after monitors are added, removed, resized or rescaled.
void watchMonitors(DesktopHost& host);

}  // namespace desktop
