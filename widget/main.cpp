#include "platform/widgetkit/widget_runtime.hpp"
#include "widget/jotbird_widgets.hpp"

// The runtime takes over from here; it returns only when the command is done.
int main(int argc, char** argv) {
    return widgetkit::main<jotbird::JotbirdWidgets>(argc, argv);
}
