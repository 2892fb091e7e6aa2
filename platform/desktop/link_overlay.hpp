#pragma once
// The links as real GTK widgets: a transparent, focusable button over each link's frame, so
// that Tab, Shift+Tab, Enter and Space and the accessibility tree come from GTK itself. The
// buttons draw nothing; the window draws the focus ring (see painting.hpp).

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// Makes the link buttons of every window transparent; once, after the display is open.
void installLinkButtonStyle();

// The URL of the link that has the keyboard focus; empty when none has it.
std::string focusedURL(const DesktopWindow& window);

// Fits the buttons to `window.targets`, one per target, and gives the keyboard focus to the
// link whose URL is `keepFocus` (taken before the targets changed), when there is one.
void rebuildLinkButtons(DesktopWindow& window, const std::string& keepFocus);

// The target whose button has the visible keyboard focus, if any.
const LinkTarget* focusedTarget(const DesktopWindow& window);

}  // namespace desktop
