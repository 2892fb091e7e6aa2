#include "widget/jotbird_provider.hpp"

#include "shared/container_storage.hpp"

namespace jotbird {

WidgetSnapshot JotbirdProvider::sampleSnapshot() {
    WidgetSnapshot sample;
    sample.schema = 1;
    sample.updatedAt = 0;
    sample.account = "";
    sample.total = 3;  // the header shows the count it is given, not the rows
    sample.notes = {{"sample", "给今天留一点空间", std::nullopt},
                    {"sample2", "把重要的事记下来", std::nullopt}};
    return sample;
}

JotbirdEntry JotbirdProvider::placeholder(const widgetkit::TimelineProviderContext&) const {
    return {foundation::now(), sampleSnapshot()};
}

void JotbirdProvider::getSnapshot(const widgetkit::TimelineProviderContext& context,
                                  const std::function<void(JotbirdEntry)>& completion) const {
    const bool isPreview = context.isPreview;
    const foundation::Date now = foundation::now();
    completion({now, isPreview ? sampleSnapshot() : readSnapshot()});
}

void JotbirdProvider::getTimeline(
    const widgetkit::TimelineProviderContext& context,
    const std::function<void(widgetkit::Timeline<JotbirdEntry>)>& completion) const {
    // 1. Width memory, for placed medium widgets only; storage decides what is plausible.
    if (context.family == widgetkit::WidgetFamily::systemMedium && !context.isPreview)
        rememberMediumWidth(context.displaySize.width);
    // 2. One entry from the stored data, previews included.
    const foundation::Date t0 = foundation::now();
    JotbirdEntry entry{t0, readSnapshot()};
    // 3. The reload instant counts from after the file was read.
    const foundation::Date t1 = foundation::now();
    // 4. Exactly one entry.
    completion({{std::move(entry)}, widgetkit::TimelineReloadPolicy::after(t1 + reloadInterval)});
}

}  // namespace jotbird
