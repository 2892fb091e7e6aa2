#include "platform/desktop/family_menu.hpp"

#include "platform/desktop/desktop_widgets.hpp"
#include "platform/desktop/desktop_window.hpp"
#include "platform/desktop/gtk_signals.hpp"
#include "platform/desktop/host_monitor.hpp"
#include "platform/ui/localization.hpp"

namespace desktop {
namespace {

constexpr const char* familyKey = "jotbird-family";

void chooseFamily(GtkMenuItem* item, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    if (!gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item))) return;
    const auto family =
        widgetkit::WidgetFamily(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), familyKey)));
    if (family != window.live.request.family) changeFamily(window, family);
}

// A menu text in the user's language.
std::string shown(const char* key) {
    return ui::localizedString({key});
}

void quit(GtkMenuItem*, gpointer) {
    gtk_main_quit();
}

void addAsked(GtkMenuItem*, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    DesktopHost& host = *window.host;
    widgetkit::HostRequest base;
    base.scheme = host.scheme;
    base.legacy = host.options.legacy;
    // The new widget goes on the monitor of the one whose menu asked.
    const std::string monitor =
        window.monitor.empty() && window.placedOn
            ? monitorName(gtk_widget_get_display(window.window), window.placedOn)
            : window.monitor;
    openGallery(host.gallery, host.runtime, base, [&host, monitor](widgetkit::WidgetFamily family) {
        addWidget(host, family, monitor);
    });
}

void removeAsked(GtkMenuItem*, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    removeWidget(*window.host, window);
}

gboolean destroyNow(gpointer widget) {
    gtk_widget_destroy(GTK_WIDGET(widget));
    return G_SOURCE_REMOVE;
}

// A closed menu is destroyed once the activation it closed for has run.
void destroyWhenIdle(GtkMenuShell* menu, gpointer) {
    g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, destroyNow, menu, nullptr);
}

GtkWidget* actionItem(const char* label, void (*action)(GtkMenuItem*, gpointer), gpointer data) {
    GtkWidget* item = gtk_menu_item_new_with_label(label);
    connect(item, signals::activate, action, data);
    return item;
}

GtkWidget* familyItem(DesktopWindow& window, GSList*& group, const char* label,
                      widgetkit::WidgetFamily family) {
    GtkWidget* item = gtk_radio_menu_item_new_with_label(group, label);
    group = gtk_radio_menu_item_get_group(GTK_RADIO_MENU_ITEM(item));
    g_object_set_data(G_OBJECT(item), familyKey, GINT_TO_POINTER(int(family)));
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), family == window.live.request.family);
    connect(item, signals::activate, chooseFamily, &window);
    return item;
}

}  // namespace

void popUpFamilyMenu(DesktopWindow& window, const GdkEvent* trigger) {
    GtkWidget* menu = gtk_menu_new();
    GSList* group = nullptr;
    using ui::N_;
    using widgetkit::WidgetFamily;
    const std::pair<const char*, WidgetFamily> families[] = {
        // TRANSLATORS: the widget's sizes, in the menu of its window on the desktop.
        {N_("Small"), WidgetFamily::systemSmall},
        {N_("Medium"), WidgetFamily::systemMedium},
        {N_("Large"), WidgetFamily::systemLarge}};
    for (const auto& [label, family] : families)
        gtk_menu_shell_append(GTK_MENU_SHELL(menu),
                              familyItem(window, group, shown(label).c_str(), family));
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
    gtk_menu_shell_append(GTK_MENU_SHELL(menu),
                          actionItem(shown(N_("Add Widget…")).c_str(), addAsked, &window));
    GtkWidget* remove = actionItem(shown(N_("Remove Widget")).c_str(), removeAsked, &window);
    // The last widget stays: Quit ends the host.
    gtk_widget_set_sensitive(remove, window.host->windows.size() > 1);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), remove);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
    gtk_menu_shell_append(GTK_MENU_SHELL(menu),
                          actionItem(shown(N_("Quit")).c_str(), quit, nullptr));
    gtk_widget_show_all(menu);
    // The menu goes when it closes.
    connect(menu, signals::deactivate, destroyWhenIdle, nullptr);
    gtk_menu_attach_to_widget(GTK_MENU(menu), window.window, nullptr);
    gtk_menu_popup_at_pointer(GTK_MENU(menu), trigger);
}

}  // namespace desktop
