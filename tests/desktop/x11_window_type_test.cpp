// The X11 window type the host asks for under each window manager.

#include <gtest/gtest.h>

#include "platform/desktop/x11_window_type.hpp"

namespace desktop {
namespace {

TEST(X11WindowType, NormalUnlessTheWindowManagerCyclesToOrFlagsNormalWindows) {
    EXPECT_EQ(x11WindowTypeFor("Fluxbox"), X11WindowType::desktop);
    EXPECT_EQ(x11WindowTypeFor("KWin"), X11WindowType::toolbar);
    for (const char* name : {"Openbox", "Xfwm4", "GNOME Shell", "Mutter (Muffin)", "i3", ""})
        EXPECT_EQ(x11WindowTypeFor(name), X11WindowType::normal) << name;
}

}  // namespace
}  // namespace desktop
