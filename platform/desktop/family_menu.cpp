#include "platform/desktop/family_menu.hpp"

#include "platform/desktop/desktop_window.hpp"
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

GtkWidget* familyItem(DesktopWindow& window, GSList*& group, const char* label,
                      widgetkit::WidgetFamily family) {
    GtkWidget* item = gtk_radio_menu_item_new_with_label(group, label);
    group = gtk_radio_menu_item_get_group(GTK_RADIO_MENU_ITEM(item));
    g_object_set_data(G_OBJECT(item), familyKey, GINT_TO_POINTER(int(family)));
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), family == window.live.request.family);
    g_signal_connect(item, "activate", G_CALLBACK(chooseFamily), &window);
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
    GtkWidget* quitItem = gtk_menu_item_new_with_label(shown(N_("Quit")).c_str());
    g_signal_connect(quitItem, "activate", G_CALLBACK(quit), nullptr);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), quitItem);
    gtk_widget_show_all(menu);
    // The menu goes when it closes.
    g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkMenuShell* shell, gpointer) {
                         g_idle_add_full(
                             G_PRIORITY_DEFAULT_IDLE,
                             +[](gpointer data) -> gboolean {
                                 gtk_widget_destroy(GTK_WIDGET(data));
                                 return G_SOURCE_REMOVE;
                             },
                             shell, nullptr);
                     }),
                     nullptr);
    gtk_menu_attach_to_widget(GTK_MENU(menu), window.window, nullptr);
    gtk_menu_popup_at_pointer(GTK_MENU(menu), trigger);
}

}  // namespace desktop
