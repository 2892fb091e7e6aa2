// Publishers and readers sharing one container at the same time, with no locks: a reader must
// only ever see a whole snapshot that some publisher wrote.

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bridge_fixture.hpp"
#include "shared/snapshot_coding.hpp"
#include "support/samples.hpp"

namespace bridgetest {
namespace {

constexpr int publishers = 4;
constexpr int publishesEach = 50;
constexpr int bridgeReaders = 2;
constexpr int libraryReaders = 2;

// Large enough (about 8 KB) that a file written in pieces could be caught half done.
jotbird::WidgetSnapshot snapshotFor(int publisher, int round) {
    jotbird::WidgetSnapshot snapshot = testsupport::sampleSnapshot();
    snapshot.account = "publisher " + std::to_string(publisher) + " round " + std::to_string(round);
    snapshot.total = publisher * 1000 + round;
    snapshot.notes.clear();
    for (int i = 0; i < 12; ++i)
        snapshot.notes.push_back({std::to_string(publisher) + "-" + std::to_string(i),
                                  testsupport::repeated("\u4E2D", 200), double(round)});
    return snapshot;
}

using BridgeConcurrencyTest = BridgeTest;

TEST_F(BridgeConcurrencyTest, ReadersOnlySeeWholePublishedSnapshots) {
    std::set<std::string> published;
    std::vector<std::vector<std::string>> inputs(publishers);
    for (int p = 0; p < publishers; ++p) {
        for (int r = 0; r < publishesEach; ++r) {
            inputs[p].push_back(*jotbird::encode(snapshotFor(p, r)));
            published.insert(inputs[p].back());
        }
    }
    const std::string first = *jotbird::encode(snapshotFor(publishers, 0));
    published.insert(first);
    // From here on every read has a published snapshot to find.
    expectAnswer(run({"publish"}, first), acknowledgement);

    // The library reader in this process looks the container up as the bridge does.
    testsupport::ScopedEnvironmentVariable dataHomeHere("XDG_DATA_HOME", dataHome().string());

    std::atomic<bool> publishing{true};
    std::mutex lock;
    std::vector<std::string> faults;
    auto fault = [&](std::string text) {
        std::lock_guard guard(lock);
        if (faults.size() < 10) faults.push_back(std::move(text));
    };

    std::vector<std::thread> readers;
    for (int i = 0; i < bridgeReaders; ++i) {
        readers.emplace_back([&] {
            do {
                const ProcessResult result = run({"read"});
                if (!result.exited || result.exitStatus != 0)
                    fault("read failed: " + describe(result));
                else if (!published.contains(result.standardOutput))
                    fault("read printed an unpublished snapshot: " +
                          result.standardOutput.substr(0, 200));
            } while (publishing);
        });
    }
    for (int i = 0; i < libraryReaders; ++i) {
        readers.emplace_back([&] {
            do {
                const auto json = jotbird::encode(jotbird::readSnapshot());
                if (!json || !published.contains(*json))
                    fault("readSnapshot gave an unpublished snapshot: " +
                          json.value_or("(none)").substr(0, 200));
            } while (publishing);
        });
    }

    std::vector<std::thread> writers;
    for (int p = 0; p < publishers; ++p) {
        writers.emplace_back([&, p] {
            for (const std::string& input : inputs[p]) {
                const ProcessResult result = run({"publish"}, input);
                if (!result.exited || result.exitStatus != 0 ||
                    result.standardOutput != acknowledgement)
                    fault("publish failed: " + describe(result));
            }
        });
    }
    for (auto& writer : writers)
        writer.join();
    publishing = false;
    for (auto& reader : readers)
        reader.join();

    EXPECT_TRUE(faults.empty()) << [&] {
        std::string text;
        for (const auto& f : faults)
            text += f + "\n";
        return text;
    }();
    // The last replacement stays, and nothing else is left in the container.
    EXPECT_TRUE(published.contains(testsupport::readFile(snapshotFile()).value_or("")));
    EXPECT_EQ(testsupport::directoryEntries(container()),
              std::set<std::string>{"widget-snapshot.json"});
}

}  // namespace
}  // namespace bridgetest
