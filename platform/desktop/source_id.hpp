#pragma once
// A GLib main-loop source (fd watch or timer) owned by whoever holds it: removed when it goes.

#include <glib.h>

namespace desktop {

struct SourceId {
    guint id = 0;
    SourceId() = default;
    SourceId(const SourceId&) = delete;
    SourceId& operator=(const SourceId&) = delete;
    ~SourceId() { reset(); }
    void reset() {
        if (id != 0) g_source_remove(id);
        id = 0;
    }
};

}  // namespace desktop
