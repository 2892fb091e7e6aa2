// The timeline provider against a real container: sample data, stored data, the reload
// instant and the medium widget's width.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"
#include "support/files.hpp"
#include "widget/jotbird_provider.hpp"

static_assert(widgetkit::TimelineProvider<jotbird::JotbirdProvider>);

namespace {

using jotbird::JotbirdEntry;
using jotbird::JotbirdProvider;
using widgetkit::TimelineProviderContext;
using widgetkit::WidgetFamily;

class ProviderTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory home;
    testsupport::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", home.path().string()};
    std::filesystem::path container = home.path() / "group-containers" / jotbird::jotbirdGroup;

    void store(const jotbird::WidgetSnapshot& snapshot) {
        std::filesystem::create_directories(container);
        testsupport::writeFile(container / "widget-snapshot.json", *jotbird::encode(snapshot));
    }
    std::optional<std::string> storedWidth() {
        return testsupport::readFile(container / "medium-width.txt");
    }
};

jotbird::WidgetSnapshot storedSample() {
    jotbird::WidgetSnapshot snapshot;
    snapshot.updatedAt = 1234;
    snapshot.total = 9;
    snapshot.notes = {{"x", "stored", 5.0}};
    return snapshot;
}

JotbirdEntry snapshotEntry(const TimelineProviderContext& context) {
    std::optional<JotbirdEntry> result;
    int calls = 0;
    JotbirdProvider{}.getSnapshot(context, [&](JotbirdEntry entry) {
        result = entry;
        ++calls;
    });
    EXPECT_EQ(calls, 1);
    return *result;
}

widgetkit::Timeline<JotbirdEntry> timelineFor(const TimelineProviderContext& context) {
    std::optional<widgetkit::Timeline<JotbirdEntry>> result;
    int calls = 0;
    JotbirdProvider{}.getTimeline(context, [&](widgetkit::Timeline<JotbirdEntry> timeline) {
        result = timeline;
        ++calls;
    });
    EXPECT_EQ(calls, 1);
    return *result;
}

TEST_F(ProviderTest, PlaceholderAndPreviewShowTheSampleWhateverIsStored) {
    store(storedSample());
    const auto sample = JotbirdProvider::sampleSnapshot();
    EXPECT_EQ(sample.total, 3);
    ASSERT_EQ(sample.notes.size(), 2u);
    EXPECT_EQ(sample.notes[0], (jotbird::NotePreview{"sample", "给今天留一点空间", {}}));
    EXPECT_EQ(sample.notes[1], (jotbird::NotePreview{"sample2", "把重要的事记下来", {}}));
    EXPECT_EQ(sample.updatedAt, 0);
    EXPECT_FALSE(sample.folded || sample.theme);

    EXPECT_EQ(JotbirdProvider{}.placeholder({}).snapshot, sample);
    EXPECT_EQ(snapshotEntry({WidgetFamily::systemLarge, true, {}}).snapshot, sample);
    EXPECT_EQ(snapshotEntry({WidgetFamily::systemLarge, false, {}}).snapshot, storedSample());
}

TEST_F(ProviderTest, WithoutAFileEveryLiveRequestShowsTheEmptySnapshot) {
    const auto before = foundation::now();
    const auto entry = snapshotEntry({WidgetFamily::systemSmall, false, {}});
    EXPECT_TRUE(entry.snapshot.notes.empty());
    EXPECT_EQ(entry.snapshot.total, 0);

    const auto timeline = timelineFor({WidgetFamily::systemSmall, false, {170, 170}});
    ASSERT_EQ(timeline.entries.size(), 1u);
    EXPECT_TRUE(timeline.entries[0].snapshot.notes.empty());
    EXPECT_GE(timeline.entries[0].date, before);
}

TEST_F(ProviderTest, TimelineHasOneEntryAndReloadsFifteenMinutesAfterTheRead) {
    store(storedSample());
    const auto before = foundation::now();
    const auto timeline = timelineFor({WidgetFamily::systemLarge, false, {364, 382}});
    const auto after = foundation::now();
    ASSERT_EQ(timeline.entries.size(), 1u);
    EXPECT_EQ(timeline.entries[0].snapshot, storedSample());
    EXPECT_EQ(timeline.policy.kind, widgetkit::TimelineReloadPolicy::Kind::after);
    EXPECT_GE(timeline.policy.date, timeline.entries[0].date + std::chrono::seconds(900));
    EXPECT_GE(timeline.policy.date, before + std::chrono::seconds(900));
    EXPECT_LE(timeline.policy.date, after + std::chrono::seconds(900));
}

TEST_F(ProviderTest, PreviewTimelineShowsStoredDataAndRecordsNoWidth) {
    store(storedSample());
    const auto timeline = timelineFor({WidgetFamily::systemMedium, true, {364, 170}});
    EXPECT_EQ(timeline.entries.at(0).snapshot, storedSample());
    EXPECT_FALSE(storedWidth());
}

TEST_F(ProviderTest, OnlyPlacedMediumWidgetsRecordTheirWidth) {
    struct Case {
        WidgetFamily family;
        bool preview;
        double width;
        std::optional<std::string> stored;
    };
    const Case cases[] = {
        {WidgetFamily::systemMedium, false, 364.6, "365"},
        {WidgetFamily::systemMedium, false, 300.5, "301"},
        {WidgetFamily::systemMedium, false, 280, "280"},
        {WidgetFamily::systemMedium, false, 279.99, std::nullopt},
        {WidgetFamily::systemMedium, false, 480.2, std::nullopt},
        {WidgetFamily::systemMedium, true, 364, std::nullopt},
        {WidgetFamily::systemSmall, false, 364, std::nullopt},
        {WidgetFamily::systemLarge, false, 364, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(widgetkit::familyName(c.family)) +
                     (c.preview ? " preview " : " ") + std::to_string(c.width));
        std::filesystem::remove_all(container);
        std::filesystem::create_directories(container);
        timelineFor({c.family, c.preview, {c.width, 170}});
        EXPECT_EQ(storedWidth(), c.stored);
    }
}

TEST_F(ProviderTest, AnUnchangedWidthIsNotWrittenAgain) {
    std::filesystem::create_directories(container);
    timelineFor({WidgetFamily::systemMedium, false, {364, 170}});
    const struct stat before = testsupport::fileStatus(container / "medium-width.txt");
    timelineFor({WidgetFamily::systemMedium, false, {364.4, 170}});
    const struct stat after = testsupport::fileStatus(container / "medium-width.txt");
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(storedWidth(), "364");
}

}  // namespace
