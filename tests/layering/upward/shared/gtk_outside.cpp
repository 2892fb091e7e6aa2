// Shared code on GTK: only the desktop host may include it.

#include <gtk/gtk.h>
