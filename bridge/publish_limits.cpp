#include "bridge/publish_limits.hpp"

#include "platform/foundation/text_segmentation.hpp"

namespace jotbird {
namespace {

bool atMostCharacters(const std::string& text, std::size_t limit) {
    // Every character takes at least one byte and one code point, so a text short in
    // either needs no segmenting.
    return text.size() <= limit || foundation::codePointCount(text) <= limit ||
           foundation::graphemeClusterCount(text, limit) <= limit;
}

}  // namespace

bool withinPublishLimits(const WidgetSnapshot& snapshot) {
    if (snapshot.schema != 1) return false;
    if (snapshot.notes.size() > maxPublishedNotes) return false;
    if (snapshot.total < 0) return false;
    for (const NotePreview& note : snapshot.notes) {
        if (!atMostCharacters(note.id, maxIdCharacters)) return false;
        if (!atMostCharacters(note.title, maxTitleCharacters)) return false;
    }
    return true;
}

}  // namespace jotbird
