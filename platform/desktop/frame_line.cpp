#include "platform/desktop/frame_line.hpp"

#include <nlohmann/json.hpp>

namespace desktop {

std::string frameLine(widgetkit::WidgetFamily family, std::string_view reason,
                      ui::PixelSize pixels) {
    nlohmann::ordered_json line;
    line["family"] = widgetkit::familyShortName(family);
    line["reason"] = reason;
    line["width"] = pixels.width;
    line["height"] = pixels.height;
    return line.dump();
}

}  // namespace desktop
