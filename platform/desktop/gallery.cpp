#include "platform/desktop/gallery.hpp"

#include <cmath>
#include <exception>
#include <string>
#include <utility>

#include "platform/desktop/desktop_state.hpp"
#include "platform/desktop/gtk_signals.hpp"
#include "platform/ui/drawing.hpp"
#include "platform/ui/localization.hpp"

namespace desktop {
namespace {

constexpr const char* familyKey = "jotbird-family";

void close(Gallery& gallery) {
    if (GtkWidget* window = std::exchange(gallery.window, nullptr)) gtk_widget_destroy(window);
    gallery.items.clear();
}

// The preview drawn as the desktop draws the widget, only smaller: into an image of the
// area's device pixels, copied one to one.
gboolean paintPreview(GtkWidget* area, cairo_t* cairo, gpointer data) {
    const auto& item = *static_cast<const GalleryItem*>(data);
    const int factor = gtk_widget_get_scale_factor(area);
    ui::Canvas canvas = widgetkit::canvasFor(item.request);
    canvas.scale = factor * galleryScale;
    // Over the gallery's own background: at 0.6 of a point the picture's last row and column
    // are only partly covered.
    const auto error = ui::drawImage(item.root, canvas, [&](cairo_surface_t* picture) {
        cairo_save(cairo);
        cairo_scale(cairo, 1.0 / factor, 1.0 / factor);
        cairo_set_source_surface(cairo, picture, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
        cairo_paint(cairo);
        cairo_restore(cairo);
        return std::error_code{};
    });
    if (error)
        report("cannot draw the gallery's " +
               std::string(widgetkit::familyShortName(item.request.family)) +
               " widget: " + error.message());
    return TRUE;
}

void familyChosen(GtkButton* button, gpointer data) {
    auto& gallery = *static_cast<Gallery*>(data);
    const auto family =
        widgetkit::WidgetFamily(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), familyKey)));
    // Closed first: what is chosen may open windows of its own.
    const auto chosen = gallery.chosen;
    close(gallery);
    if (chosen) chosen(family);
}

gboolean keyPressed(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    close(*static_cast<Gallery*>(data));
    return TRUE;
}

gboolean closeAsked(GtkWidget*, GdkEvent*, gpointer data) {
    close(*static_cast<Gallery*>(data));
    return TRUE;
}

GtkWidget* label(const std::string& text, const char* cssClass) {
    GtkWidget* widget = gtk_label_new(text.c_str());
    gtk_label_set_line_wrap(GTK_LABEL(widget), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(widget), 60);
    gtk_label_set_xalign(GTK_LABEL(widget), 0);
    gtk_style_context_add_class(gtk_widget_get_style_context(widget), cssClass);
    return widget;
}

// A family's button: its preview above its name, which is also what a screen reader says.
GtkWidget* familyButton(Gallery& gallery, GalleryItem& item) {
    const ui::CGSize size = item.request.displaySize;
    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_set_size_request(area, int(std::ceil(size.width * galleryScale)),
                                int(std::ceil(size.height * galleryScale)));
    connect(area, signals::draw, paintPreview, &item);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_pack_start(GTK_BOX(column), area, FALSE, FALSE, 0);
    const std::string title = familyTitle(item.request.family);
    gtk_box_pack_start(GTK_BOX(column), gtk_label_new(title.c_str()), FALSE, FALSE, 0);
    GtkWidget* button = gtk_button_new();
    gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
    gtk_widget_set_valign(button, GTK_ALIGN_END);
    gtk_container_add(GTK_CONTAINER(button), column);
    atk_object_set_name(gtk_widget_get_accessible(button), title.c_str());
    g_object_set_data(G_OBJECT(button), familyKey, GINT_TO_POINTER(int(item.request.family)));
    connect(button, signals::clicked, familyChosen, &gallery);
    return button;
}

// The preview entry of each family, laid out as the desktop lays out its widgets.
void layOutItems(Gallery& gallery, const widgetkit::WidgetRuntime& runtime,
                 const widgetkit::HostRequest& base) {
    for (widgetkit::WidgetFamily family : runtime.families) {
        auto item = std::make_unique<GalleryItem>();
        item->request = base;
        item->request.family = family;
        item->request.isPreview = true;
        item->request.displaySize = widgetkit::defaultDisplaySize(family);
        try {
            item->root = widgetkit::layoutEntry(widgetkit::entryToShow(runtime, item->request),
                                                item->request);
        } catch (const std::exception& error) {
            report(std::string("cannot lay out the gallery's widget: ") + error.what());
            continue;
        }
        gallery.items.push_back(std::move(item));
    }
}

GtkWidget* contents(Gallery& gallery, const widgetkit::WidgetRuntime& runtime) {
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(column), 18);
    gtk_box_pack_start(GTK_BOX(column), label(ui::localizedString(runtime.displayName), "title"),
                       FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column),
                       label(ui::localizedString(runtime.description), "dim-label"), FALSE, FALSE,
                       0);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    for (const auto& item : gallery.items)
        gtk_box_pack_start(GTK_BOX(row), familyButton(gallery, *item), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), row, FALSE, FALSE, 6);
    return column;
}

}  // namespace

Gallery::~Gallery() {
    close(*this);
}

std::string familyTitle(widgetkit::WidgetFamily family) {
    using ui::N_;
    switch (family) {
        case widgetkit::WidgetFamily::systemSmall:
            return ui::localizedString({N_("Small")});
        case widgetkit::WidgetFamily::systemMedium:
            return ui::localizedString({N_("Medium")});
        case widgetkit::WidgetFamily::systemLarge:
            return ui::localizedString({N_("Large")});
    }
    return {};
}

void openGallery(Gallery& gallery, const widgetkit::WidgetRuntime& runtime,
                 const widgetkit::HostRequest& base,
                 std::function<void(widgetkit::WidgetFamily)> chosen) {
    gallery.chosen = std::move(chosen);
    if (gallery.window) {
        gtk_window_present(GTK_WINDOW(gallery.window));
        return;
    }
    layOutItems(gallery, runtime, base);
    gallery.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(gallery.window);
    // TRANSLATORS: the title of the window widgets are added from; as the desktop entry's name.
    gtk_window_set_title(window, ui::localizedString({ui::N_("Jotbird Widgets")}).c_str());
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_container_add(GTK_CONTAINER(window), contents(gallery, runtime));
    connect(gallery.window, signals::keyPress, keyPressed, &gallery);
    connect(gallery.window, signals::deleteEvent, closeAsked, &gallery);
    gtk_widget_show_all(gallery.window);
}

}  // namespace desktop
