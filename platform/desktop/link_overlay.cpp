#include "platform/desktop/link_overlay.hpp"

#include <cmath>

#include "platform/desktop/url_opening.hpp"

namespace desktop {
namespace {

constexpr const char* transparentButton =
    "button { background: none; border: none; box-shadow: none; outline: none; padding: 0; "
    "margin: 0; min-width: 0; min-height: 0; }";

constexpr const char* targetIndexKey = "jotbird-link-index";

void applyTransparency(GtkWidget* button) {
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, transparentButton, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(button), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
}

std::size_t targetIndex(GtkWidget* button) {
    return GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(button), targetIndexKey));
}

void clicked(GtkButton* button, gpointer data) {
    const auto& window = *static_cast<DesktopWindow*>(data);
    const std::size_t index = targetIndex(GTK_WIDGET(button));
    if (index < window.targets.size()) openURL(GTK_WIDGET(button), window.targets[index].url);
}

// The ring follows the focus; the buttons themselves draw nothing.
void focusChanged(GtkWidget*, GdkEvent*, gpointer data) {
    gtk_widget_queue_draw(static_cast<DesktopWindow*>(data)->area);
}

GtkWidget* linkButton(DesktopWindow& window, const LinkTarget& target, std::size_t index) {
    GtkWidget* button = gtk_button_new();
    applyTransparency(button);
    gtk_widget_set_focus_on_click(button, FALSE);
    g_object_set_data(G_OBJECT(button), targetIndexKey, GSIZE_TO_POINTER(index));
    const int x = int(std::floor(target.frame.origin.x));
    const int y = int(std::floor(target.frame.origin.y));
    gtk_widget_set_size_request(button, int(std::ceil(ui::CGRectGetMaxX(target.frame))) - x,
                                int(std::ceil(ui::CGRectGetMaxY(target.frame))) - y);
    AtkObject* accessible = gtk_widget_get_accessible(button);
    atk_object_set_name(accessible, target.name.c_str());
    atk_object_set_role(accessible, ATK_ROLE_LINK);
    g_signal_connect(button, "clicked", G_CALLBACK(clicked), &window);
    g_signal_connect(button, "focus-in-event", G_CALLBACK(focusChanged), &window);
    g_signal_connect(button, "focus-out-event", G_CALLBACK(focusChanged), &window);
    gtk_fixed_put(GTK_FIXED(window.links), button, x, y);
    return button;
}

std::string focusedURL(const DesktopWindow& window) {
    const LinkTarget* target = focusedTarget(window);
    return target ? target->url : std::string();
}

}  // namespace

void rebuildLinkButtons(DesktopWindow& window) {
    const std::string keepFocus = focusedURL(window);
    GList* children = gtk_container_get_children(GTK_CONTAINER(window.links));
    for (GList* child = children; child; child = child->next)
        if (child->data != window.area) gtk_widget_destroy(GTK_WIDGET(child->data));
    g_list_free(children);
    for (std::size_t i = 0; i < window.targets.size(); ++i) {
        GtkWidget* button = linkButton(window, window.targets[i], i);
        gtk_widget_show(button);
        if (!keepFocus.empty() && window.targets[i].url == keepFocus) gtk_widget_grab_focus(button);
    }
}

const LinkTarget* focusedTarget(const DesktopWindow& window) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window.window));
    if (!focus || focus == window.area || gtk_widget_get_parent(focus) != window.links)
        return nullptr;
    const std::size_t index = targetIndex(focus);
    return index < window.targets.size() ? &window.targets[index] : nullptr;
}

}  // namespace desktop
