#pragma once
// The gallery a person adds widgets from: a window "Jotbird Widgets" with the widget's name
// and description and each family it supports drawn from its preview entry, each a button
// named after its family. Choosing one hands the family on and closes the gallery; Escape
// closes it too.

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/laid_out_view.hpp"
#include "platform/widgetkit/host_request.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace desktop {

// One family as the gallery shows it.
struct GalleryItem {
    widgetkit::HostRequest request;  // the preview's, at the family's default size
    ui::LaidOutView root;
};

struct Gallery {
    GtkWidget* window = nullptr;  // none while closed; destroyed with the gallery
    std::vector<std::unique_ptr<GalleryItem>> items;
    std::function<void(widgetkit::WidgetFamily)> chosen;

    Gallery() = default;
    Gallery(const Gallery&) = delete;
    Gallery& operator=(const Gallery&) = delete;
    ~Gallery();
};

// How much smaller than on the desktop the gallery draws each widget.
inline constexpr double galleryScale = 0.6;

// Opens the gallery, or brings it forward when it is open. `base` gives the scheme and
// legacy layout; `chosen` is called with the family picked, after the gallery has closed.
void openGallery(Gallery& gallery, const widgetkit::WidgetRuntime& runtime,
                 const widgetkit::HostRequest& base,
                 std::function<void(widgetkit::WidgetFamily)> chosen);

// The accessible name and label of a family's button: "Small", "Medium" or "Large", in the
// user's language.
std::string familyTitle(widgetkit::WidgetFamily family);

}  // namespace desktop
