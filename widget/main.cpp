#include "platform/foundation/container_lookup.hpp"
#include "platform/widgetkit/widget_runtime.hpp"
#include "shared/container_storage.hpp"
#include "widget/jotbird_widgets.hpp"

// The runtime takes over from here; it returns only when the command is done. It learns the
// widget's group container here, as a host would from the extension's signature.
int main(int argc, char** argv) {
    return widgetkit::main<jotbird::JotbirdWidgets>(
        argc, argv,
        foundation::containerURLForSecurityApplicationGroupIdentifier(jotbird::jotbirdGroup));
}
