#include "platform/desktop/link_overlay.hpp"

#include <cmath>
#include <vector>

#include "platform/desktop/gtk_signals.hpp"
#include "platform/desktop/url_opening.hpp"

namespace desktop {
namespace {

constexpr const char* linkButtonClass = "jotbird-link";
constexpr const char* transparentButton =
    "button.jotbird-link { background: none; border: none; box-shadow: none; outline: none; "
    "padding: 0; margin: 0; min-width: 0; min-height: 0; }";

constexpr const char* targetIndexKey = "jotbird-link-index";

std::size_t targetIndex(GtkWidget* button) {
    return GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(button), targetIndexKey));
}

void clicked(GtkButton* button, gpointer data) {
    const auto& window = *static_cast<DesktopWindow*>(data);
    const std::size_t index = targetIndex(GTK_WIDGET(button));
    if (index < window.targets.size()) openURL(GTK_WIDGET(button), window.targets[index].url);
}

// The ring follows the focus; the buttons themselves draw nothing. GTK goes on handling the
// focus change.
gboolean focusChanged(GtkWidget*, GdkEventFocus*, gpointer data) {
    gtk_widget_queue_draw(static_cast<DesktopWindow*>(data)->area);
    return FALSE;
}

// The whole points a frame covers: rounded outward.
GdkRectangle boxFor(const ui::CGRect& frame) {
    const int x = int(std::floor(frame.origin.x));
    const int y = int(std::floor(frame.origin.y));
    return {x, y, int(std::ceil(ui::CGRectGetMaxX(frame))) - x,
            int(std::ceil(ui::CGRectGetMaxY(frame))) - y};
}

// Moves and names a child only where that changed: moving or resizing a child makes GTK lay
// out the window again, which costs X round trips on every redraw.
void place(DesktopWindow& window, GtkWidget* child, const ui::CGRect& frame,
           const std::string& name) {
    const GdkRectangle box = boxFor(frame);
    int x = 0, y = 0, width = 0, height = 0;
    gtk_container_child_get(GTK_CONTAINER(window.links), child, "x", &x, "y", &y, nullptr);
    gtk_widget_get_size_request(child, &width, &height);
    if (width != box.width || height != box.height)
        gtk_widget_set_size_request(child, box.width, box.height);
    if (x != box.x || y != box.y) gtk_fixed_move(GTK_FIXED(window.links), child, box.x, box.y);
    AtkObject* accessible = gtk_widget_get_accessible(child);
    const char* shown = atk_object_get_name(accessible);
    if (!shown || name != shown) atk_object_set_name(accessible, name.c_str());
}

// Points a button at a target.
void fit(DesktopWindow& window, GtkWidget* button, std::size_t index) {
    const LinkTarget& target = window.targets[index];
    g_object_set_data(G_OBJECT(button), targetIndexKey, GSIZE_TO_POINTER(index));
    place(window, button, target.frame, target.name);
}

GtkWidget* linkButton(DesktopWindow& window) {
    GtkWidget* button = gtk_button_new();
    gtk_style_context_add_class(gtk_widget_get_style_context(button), linkButtonClass);
    gtk_widget_set_focus_on_click(button, FALSE);
    atk_object_set_role(gtk_widget_get_accessible(button), ATK_ROLE_LINK);
    connect(button, signals::clicked, clicked, &window);
    connect(button, signals::focusIn, focusChanged, &window);
    connect(button, signals::focusOut, focusChanged, &window);
    gtk_fixed_put(GTK_FIXED(window.links), button, 0, 0);
    gtk_widget_show(button);
    return button;
}

// The children of `links` that are buttons, or that are image labels, in the order made.
std::vector<GtkWidget*> overlayChildren(const DesktopWindow& window, bool buttons) {
    std::vector<GtkWidget*> found;
    g_autoptr(GList) children = gtk_container_get_children(GTK_CONTAINER(window.links));
    for (GList* child = children; child; child = child->next)
        if (child->data != window.area && bool(GTK_IS_BUTTON(child->data)) == buttons)
            found.push_back(GTK_WIDGET(child->data));
    return found;
}

std::vector<GtkWidget*> linkButtons(const DesktopWindow& window) {
    return overlayChildren(window, true);
}

// An image as a screen reader meets it: a label with no text and no window of its own, so
// that it draws nothing and every press goes on to the window.
GtkWidget* imageLabel(DesktopWindow& window) {
    GtkWidget* label = gtk_label_new(nullptr);
    atk_object_set_role(gtk_widget_get_accessible(label), ATK_ROLE_IMAGE);
    gtk_fixed_put(GTK_FIXED(window.links), label, 0, 0);
    gtk_widget_show(label);
    return label;
}

void rebuildImageLabels(DesktopWindow& window) {
    std::vector<GtkWidget*> labels = overlayChildren(window, false);
    while (labels.size() > window.images.size()) {
        gtk_widget_destroy(labels.back());
        labels.pop_back();
    }
    while (labels.size() < window.images.size())
        labels.push_back(imageLabel(window));
    for (std::size_t i = 0; i < labels.size(); ++i)
        place(window, labels[i], window.images[i].frame, window.images[i].name);
}

}  // namespace

std::string focusedURL(const DesktopWindow& window) {
    const LinkTarget* target = focusedTarget(window);
    return target ? target->url : std::string();
}

void installLinkButtonStyle() {
    g_autoptr(GtkCssProvider) css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, transparentButton, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void rebuildLinkButtons(DesktopWindow& window, const std::string& keepFocus) {
    rebuildImageLabels(window);
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window.window));
    std::vector<GtkWidget*> buttons = linkButtons(window);
    while (buttons.size() > window.targets.size()) {
        gtk_widget_destroy(buttons.back());
        buttons.pop_back();
    }
    while (buttons.size() < window.targets.size())
        buttons.push_back(linkButton(window));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        fit(window, buttons[i], i);
        if (!keepFocus.empty() && window.targets[i].url == keepFocus && buttons[i] != focus)
            gtk_widget_grab_focus(buttons[i]);
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
