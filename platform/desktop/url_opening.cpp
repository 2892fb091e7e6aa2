#include "platform/desktop/url_opening.hpp"

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

void openURL(GtkWidget* from, const std::string& url) {
    g_autoptr(GdkAppLaunchContext) context =
        gdk_display_get_app_launch_context(gtk_widget_get_display(from));
    gdk_app_launch_context_set_timestamp(context, gtk_get_current_event_time());
    g_autoptr(GError) error = nullptr;
    if (!g_app_info_launch_default_for_uri(url.c_str(), G_APP_LAUNCH_CONTEXT(context), &error))
        report("cannot open " + url + ": " + (error ? error->message : "no handler"));
}

}  // namespace desktop
