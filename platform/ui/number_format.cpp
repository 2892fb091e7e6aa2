#include "platform/ui/number_format.hpp"

#include <unicode/numfmt.h>

#include <memory>

namespace ui {
namespace {

struct Formatter {
    std::string locale;
    std::unique_ptr<icu::NumberFormat> format;
};

std::unique_ptr<icu::NumberFormat> makeFormat(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> format(
        icu::NumberFormat::createInstance(icu::Locale::createCanonical(name.c_str()), status));
    if (U_FAILURE(status) || !format) return nullptr;
    format->setGroupingUsed(false);
    return format;
}

// Making a formatter loads locale data; one per thread is kept for the locale last asked
// for, as times of day keep theirs.
icu::NumberFormat* formatFor(std::string_view locale) {
    thread_local Formatter cached;
    if (!cached.format || cached.locale != locale)
        cached = {std::string(locale), makeFormat(std::string(locale))};
    return cached.format.get();
}

}  // namespace

std::string localizedInteger(std::int64_t number, std::string_view locale) {
    if (locale.empty()) return std::to_string(number);
    icu::NumberFormat* format = formatFor(locale);
    if (format == nullptr) return std::to_string(number);
    icu::UnicodeString text;
    format->format(static_cast<int64_t>(number), text);
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

}  // namespace ui
