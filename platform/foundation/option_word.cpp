#include "platform/foundation/option_word.hpp"

namespace foundation {

OptionWord splitOption(std::string_view word) {
    const auto equals = word.find('=');
    if (!word.starts_with("--") || equals == std::string_view::npos) return {word, std::nullopt};
    return {word.substr(0, equals), word.substr(equals + 1)};
}

}  // namespace foundation
