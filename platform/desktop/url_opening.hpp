#pragma once
// Opening a widget's URL with the desktop's default handler for its scheme, through GIO.

#include <gtk/gtk.h>

#include <string>

namespace desktop {

// Hands `url` to its scheme's handler; with none, one line on standard error and nothing else.
void openURL(GtkWidget* from, const std::string& url);

}  // namespace desktop
