#include "platform/desktop/desktop_host.hpp"
#include "platform/foundation/container_lookup.hpp"
#include "shared/container_storage.hpp"
#include "widget/jotbird_widgets.hpp"

// The widget on the desktop: the desktop host takes over from here and returns when it is
// stopped. It learns the widget's group container here, as the command-line runtime does.
int main(int argc, char** argv) {
    return desktop::main<jotbird::JotbirdWidgets>(
        argc, argv,
        foundation::containerURLForSecurityApplicationGroupIdentifier(jotbird::jotbirdGroup));
}
