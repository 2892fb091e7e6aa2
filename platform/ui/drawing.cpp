#include "platform/ui/drawing.hpp"

namespace ui {

std::error_code drawPNG(const LaidOutView&, const Canvas&, const std::filesystem::path&,
                        PixelSize*) {
    return std::make_error_code(std::errc::function_not_supported);
}

}  // namespace ui
