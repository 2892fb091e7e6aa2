#pragma once
// The links as real GTK widgets: a transparent, focusable button over each link's frame, so
// that Tab, Shift+Tab, Enter and Space and the accessibility tree come from GTK itself. The
// buttons draw nothing; the window draws the focus ring (see painting.hpp).

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// Makes the link buttons of every window transparent; once, after the display is open.
void installLinkButtonStyle();

// Replaces the buttons by one per target of `window.targets`, keeping the keyboard focus on
// the link with the same URL when there is one.
void rebuildLinkButtons(DesktopWindow& window);

// The target whose button has the visible keyboard focus, if any.
const LinkTarget* focusedTarget(const DesktopWindow& window);

}  // namespace desktop
