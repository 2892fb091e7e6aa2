// What both live hosts do, driven with a clock the tests set: which timeline step comes when
// for each reload policy, how long a host sleeps, and how it binds its socket again.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/widgetkit/host_policy.hpp"
#include "support/files.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using widgetkit::TimelineReloadPolicy;
using widgetkit::TimelineStep;

const foundation::Date t0 = foundation::Date(std::chrono::seconds(1'800'000'000));

// A provider that answers entries at the given offsets from t0 and the given policy.
widgetkit::WidgetRuntime runtimeAnswering(std::vector<std::chrono::seconds> entries,
                                          TimelineReloadPolicy policy) {
    widgetkit::WidgetRuntime runtime;
    runtime.timeline = [=](const widgetkit::TimelineProviderContext&) {
        widgetkit::RenderableTimeline timeline{{}, policy};
        for (auto offset : entries)
            timeline.entries.push_back({t0 + offset, "{}", {}});
        return timeline;
    };
    return runtime;
}

widgetkit::LiveFamily family() {
    return widgetkit::liveFamily(widgetkit::WidgetFamily::systemMedium, {}, "medium.png");
}

struct Moment {
    std::chrono::seconds at;  // after t0
    TimelineStep step;
    std::size_t shownAfter;  // the entry shown once the step is taken
};

// Each policy, with entries that begin later: the steps a host sees as time goes on.
TEST(HostPolicyTimeline, EachReloadPolicyGivesItsStepsAsTimeGoesOn) {
    struct Case {
        const char* name;
        std::vector<std::chrono::seconds> entries;
        TimelineReloadPolicy policy;
        std::vector<Moment> moments;
    };
    const std::vector<Case> cases = {
        {"after, one entry",
         {0s},
         TimelineReloadPolicy::after(t0 + 900s),
         {{899s, TimelineStep::nothing, 0}, {900s, TimelineStep::reload, 0}}},
        {"after, an instant already past waits the least delay",
         {0s},
         TimelineReloadPolicy::after(t0 - 60s),
         {{0s, TimelineStep::nothing, 0}, {1s, TimelineStep::reload, 0}}},
        {"at end, three entries",
         {0s, 60s, 120s},
         {TimelineReloadPolicy::Kind::atEnd, {}},
         {{30s, TimelineStep::nothing, 0},
          {60s, TimelineStep::showEntry, 1},
          {119s, TimelineStep::nothing, 1},
          {120s, TimelineStep::reload, 2}}},
        {"never, two entries",
         {0s, 300s},
         {TimelineReloadPolicy::Kind::never, {}},
         {{299s, TimelineStep::nothing, 0},
          {300s, TimelineStep::showEntry, 1},
          {100'000s, TimelineStep::nothing, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto runtime = runtimeAnswering(c.entries, c.policy);
        widgetkit::LiveFamily live = family();
        ASSERT_EQ(widgetkit::reloadTimeline(live, runtime, t0), "");
        EXPECT_EQ(live.shownEntry, 0u);
        for (const Moment& moment : c.moments) {
            const foundation::Date now = t0 + moment.at;
            SCOPED_TRACE(moment.at.count());
            EXPECT_EQ(widgetkit::timelineStep(live, now), moment.step);
            if (moment.step == TimelineStep::showEntry) widgetkit::pickCurrentEntry(live, now);
            if (moment.step == TimelineStep::reload) widgetkit::reloadTimeline(live, runtime, now);
            EXPECT_EQ(live.shownEntry, moment.shownAfter);
        }
    }
}

TEST(HostPolicyTimeline, AFailingProviderIsAskedAgainAfterTheLeastDelay) {
    widgetkit::WidgetRuntime runtime;
    runtime.timeline = [](const auto&) -> widgetkit::RenderableTimeline {
        throw std::runtime_error("no notes today");
    };
    widgetkit::LiveFamily live = family();
    EXPECT_EQ(widgetkit::reloadTimeline(live, runtime, t0), "no notes today");
    EXPECT_EQ(widgetkit::timelineStep(live, t0), TimelineStep::nothing);
    EXPECT_EQ(widgetkit::timelineStep(live, t0 + widgetkit::minimumReloadDelay),
              TimelineStep::reload);
}

TEST(HostPolicySleep, AHostSleepsUntilItsEarliestStepAndNoLonger) {
    const auto steady = std::chrono::steady_clock::time_point(1000s);
    const auto runtime = runtimeAnswering({0s, 60s}, TimelineReloadPolicy::after(t0 + 900s));
    widgetkit::LiveFamily first = family(), second = family();
    widgetkit::reloadTimeline(first, runtime, t0);
    widgetkit::reloadTimeline(second, runtime, t0);
    widgetkit::pickCurrentEntry(second, t0 + 60s);

    widgetkit::Listening listening;
    // The first family's next entry comes at 60 s; the second waits for its reload at 900 s.
    EXPECT_EQ(widgetkit::sleepFor(listening, steady, {&second}, t0), 900'000ms);
    EXPECT_EQ(widgetkit::sleepFor(listening, steady, {&first, &second}, t0), 60'000ms);
    EXPECT_EQ(widgetkit::sleepFor(listening, steady, {&first, &second}, t0 + 59'999ms), 1ms);
    EXPECT_EQ(widgetkit::sleepFor(listening, steady, {&first}, t0 + 61s), 0ms);
    // A rebind due sooner shortens it; nothing at all means the longest wait.
    listening.rebindAt = steady + 200ms;
    EXPECT_EQ(widgetkit::sleepFor(listening, steady, {&first, &second}, t0), 200ms);
    EXPECT_EQ(widgetkit::sleepFor({}, steady, {}, t0), widgetkit::longestWait);

    // A reload instant a year away still sleeps only the longest wait.
    const auto far = runtimeAnswering({0s}, TimelineReloadPolicy::after(t0 + 365 * 24h));
    widgetkit::reloadTimeline(first, far, t0);
    EXPECT_EQ(widgetkit::sleepFor({}, steady, {&first}, t0), widgetkit::longestWait);
}

class HostPolicyListening : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory scratch;
    fs::path container = scratch.path() / "container";
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point(5000s);
};

TEST_F(HostPolicyListening, AMissingContainerIsWaitedForAndTheSocketBoundOnceItComes) {
    widgetkit::Listening listening{container};
    const auto start = widgetkit::startListening(listening, true, now);
    EXPECT_FALSE(start.cannotRun);
    EXPECT_FALSE(listening.listener);
    ASSERT_EQ(start.messages.size(), 1u);
    EXPECT_NE(start.messages[0].find("listening as soon as it appears"), std::string::npos);

    // Still missing: told once already, so nothing more is said.
    const auto again = widgetkit::keepListening(listening, now + 1s);
    EXPECT_TRUE(again.messages.empty());
    EXPECT_FALSE(again.redrawAll);

    fs::create_directory(container);
    const auto bound = widgetkit::keepListening(listening, now + 2s);
    ASSERT_TRUE(listening.listener);
    EXPECT_TRUE(bound.listenerChanged);
    EXPECT_TRUE(bound.redrawAll) << "requests may have been missed while nobody listened";
    EXPECT_TRUE(fs::exists(container / "widget-host.sock"));
}

TEST_F(HostPolicyListening, AVanishedSocketIsBoundAgainOnlyAfterTheRebindDelay) {
    fs::create_directory(container);
    widgetkit::Listening listening{container};
    ASSERT_TRUE(widgetkit::startListening(listening, true, now).listenerChanged);
    EXPECT_TRUE(widgetkit::keepListening(listening, now).messages.empty()) << "still ours";

    fs::remove(container / "widget-host.sock");
    const auto gone = widgetkit::keepListening(listening, now);
    EXPECT_TRUE(gone.listenerChanged);
    EXPECT_FALSE(listening.listener);
    ASSERT_EQ(gone.messages.size(), 1u);
    EXPECT_NE(gone.messages[0].find("is gone or taken over"), std::string::npos);

    EXPECT_FALSE(widgetkit::listenStepDue(listening, now + 199ms));
    EXPECT_FALSE(widgetkit::keepListening(listening, now + 199ms).listenerChanged);
    EXPECT_FALSE(fs::exists(container / "widget-host.sock"));
    EXPECT_TRUE(widgetkit::listenStepDue(listening, now + widgetkit::rebindDelay));
    const auto back = widgetkit::keepListening(listening, now + widgetkit::rebindDelay);
    EXPECT_TRUE(back.listenerChanged && back.redrawAll);
    EXPECT_TRUE(listening.listener);
    EXPECT_FALSE(widgetkit::listenStepDue(listening, now + 1h));
}

TEST_F(HostPolicyListening, AnotherHostStopsTheStartAndWithoutAWatchTheHostChecksEachSecond) {
    fs::create_directory(container);
    widgetkit::Listening first{container};
    ASSERT_TRUE(widgetkit::startListening(first, true, now).listenerChanged);

    widgetkit::Listening second{container};
    const auto refused = widgetkit::startListening(second, true, now);
    EXPECT_TRUE(refused.cannotRun);
    EXPECT_EQ(refused.failure, widgetkit::ListenFailure::anotherHost);

    // Where the container cannot be watched, the checks come each interval.
    widgetkit::Listening unwatched{scratch.path() / "elsewhere"};
    widgetkit::startListening(unwatched, false, now);
    EXPECT_FALSE(widgetkit::listenStepDue(unwatched, now + 999ms));
    EXPECT_TRUE(widgetkit::listenStepDue(unwatched, now + widgetkit::listenCheckInterval));
    widgetkit::keepListening(unwatched, now + widgetkit::listenCheckInterval);
    EXPECT_FALSE(widgetkit::listenStepDue(unwatched, now + 1999ms));
    EXPECT_TRUE(widgetkit::listenStepDue(unwatched, now + 2s));
}

}  // namespace
