#include "support/samples.hpp"

namespace testsupport {

jotbird::WidgetSnapshot sampleSnapshot() {
    return {.schema = 1,
            .updatedAt = 1700000000123.5,
            .account = "me@example.com",
            .total = 7,
            .notes = {{"note-1", "Buy milk", 1700000360000.0},
                      {"note-2", "回电话 ☎️", std::nullopt}},
            .folded = 3,
            .theme = "dark"};
}

std::string paddedTo(std::string json, std::size_t size) {
    if (json.size() < size) json.append(size - json.size(), ' ');
    return json;
}

std::string repeated(std::string_view unit, std::size_t count) {
    std::string text;
    text.reserve(unit.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += unit;
    return text;
}

std::string nestedArrays(std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

std::string nestedObjects(std::size_t depth) {
    return repeated("{\"a\":", depth) + "1" + std::string(depth, '}');
}

}  // namespace testsupport
