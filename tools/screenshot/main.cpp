// Writes a rectangle of the X screen to a PNG: the demo's picture of the desktop host, taken
// with the toolkit the host already needs, so the demo asks for no screenshot program.
//   jotbird_screenshot X Y WIDTH HEIGHT FILE   (pixels of the root window)

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: jotbird_screenshot X Y WIDTH HEIGHT FILE\n");
        return 2;
    }
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "jotbird_screenshot: cannot open the display\n");
        return 1;
    }
    // Root-window pixels, whatever scale GDK would apply to its own windows.
    GdkWindow* root = gdk_get_default_root_window();
    const int scale = gdk_window_get_scale_factor(root);
    GdkPixbuf* picture =
        gdk_pixbuf_get_from_window(root, std::atoi(argv[1]) / scale, std::atoi(argv[2]) / scale,
                                   std::atoi(argv[3]) / scale, std::atoi(argv[4]) / scale);
    GError* error = nullptr;
    if (!picture || !gdk_pixbuf_save(picture, argv[5], "png", &error, nullptr)) {
        std::fprintf(stderr, "jotbird_screenshot: %s\n",
                     error ? error->message : "cannot read the screen");
        return 1;
    }
    g_object_unref(picture);
    return 0;
}
