#include "bench/support/medium_scene.hpp"

#include <stdlib.h>

#include "platform/foundation/atomic_file.hpp"
#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"
#include "widget/jotbird_widgets.hpp"

namespace bench {
namespace {

namespace fs = std::filesystem;

// Points XDG_DATA_HOME at a new directory under /tmp and stores the snapshot there.
fs::path prepareDataHome(const jotbird::WidgetSnapshot& snapshot) {
    char pattern[] = "/tmp/jotbird-bench-XXXXXX";
    const fs::path home = ::mkdtemp(pattern);
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path snapshotFile = *jotbird::snapshotURL();
    fs::create_directories(snapshotFile.parent_path());
    (void)foundation::writeFileAtomically(snapshotFile, *jotbird::encode(snapshot));
    return home;
}

}  // namespace

jotbird::WidgetSnapshot typicalSnapshot() {
    jotbird::WidgetSnapshot snapshot;
    snapshot.updatedAt = 1700000000000.0;
    snapshot.account = "me@example.com";
    snapshot.total = 9;
    snapshot.folded = 6;
    snapshot.notes = {{"n1", "给今天留一点空间", 1700000000000.0},
                      {"n2", "Call the plumber about the kitchen sink, again", std::nullopt},
                      {"n3", "把重要的事记下来，然后慢慢做", 1700003600000.0}};
    return snapshot;
}

jotbird::WidgetSnapshot scriptsSnapshot() {
    jotbird::WidgetSnapshot snapshot = typicalSnapshot();
    snapshot.notes = {{"n1", "ซื้อนม 🥛 และไข่ 👨‍👩‍👧‍👦",
                       1700000000000.0},
                      {"n2", "اشترِ الحليب ﷺ 🇯🇵🇫🇷 👍🏽", std::nullopt},
                      {"n3", "दूध खरीदें ✅ 直角骨写今 を忘れずに買っておくこと", 1700003600000.0}};
    return snapshot;
}

MediumScene::MediumScene(const jotbird::WidgetSnapshot& snapshot)
    : home(prepareDataHome(snapshot)),
      runtime(widgetkit::eraseConfiguration(jotbird::JotbirdWidgets{}.body())),
      request{.family = widgetkit::WidgetFamily::systemMedium,
              .displaySize = widgetkit::defaultDisplaySize(widgetkit::WidgetFamily::systemMedium),
              .scale = 2},
      entry(widgetkit::entryToShow(runtime, request)) {}

MediumScene::~MediumScene() {
    std::error_code ignored;
    fs::remove_all(home, ignored);
}

}  // namespace bench
