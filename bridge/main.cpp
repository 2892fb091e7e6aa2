#include <string_view>
#include <vector>

#include "bridge/widget_bridge.hpp"

int main(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv, argv + argc);
    jotbird::WidgetBridge::main(arguments);
    return 0;
}
