// The widgets kept across sessions in desktop.ini: written and read back, where the file is
// looked for, and a file that cannot be used never lost or written over blind.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/desktop/desktop_settings.hpp"
#include "support/files.hpp"

namespace desktop {
namespace {

namespace fs = std::filesystem;
using ui::WidgetFamily;

class DesktopSettingsTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory scratch;
    fs::path file = scratch.path() / "config/jotbird-widgets/desktop.ini";
};

TEST_F(DesktopSettingsTest, WidgetsAreWrittenPrivatelyAndReadBackInOrder) {
    const testsupport::ScopedUmask open(0);
    const DesktopSettings settings{{{WidgetFamily::systemMedium, "HDMI-1", ui::CGPoint{24, 40.5}},
                                    {WidgetFamily::systemSmall, "", std::nullopt},
                                    {WidgetFamily::systemLarge, "DP-2", ui::CGPoint{-8, 0}}}};
    ASSERT_FALSE(saveSettings(file, settings));
    EXPECT_EQ(testsupport::fileStatus(file).st_mode & 0777, 0600u);
    EXPECT_EQ(testsupport::fileStatus(file.parent_path()).st_mode & 0777, 0700u);
    EXPECT_EQ(testsupport::readFile(file),
              "# The widgets on the desktop, kept by JotbirdWidgetsDesktop.\n"
              "[Widget 1]\nFamily=medium\nMonitor=HDMI-1\nX=24\nY=40.5\n\n"
              "[Widget 2]\nFamily=small\n\n"
              "[Widget 3]\nFamily=large\nMonitor=DP-2\nX=-8\nY=0\n");

    const LoadedSettings loaded = loadSettings(file);
    EXPECT_EQ(loaded.problem, "");
    ASSERT_TRUE(loaded.settings);
    EXPECT_EQ(loaded.settings->widgets, settings.widgets);

    // No widget at all is a setting too: the person removed them.
    ASSERT_FALSE(saveSettings(file, {}));
    ASSERT_TRUE(loadSettings(file).settings);
    EXPECT_TRUE(loadSettings(file).settings->widgets.empty());
}

TEST_F(DesktopSettingsTest, NoFileMeansNoSettingsAndNothingToSay) {
    const LoadedSettings loaded = loadSettings(file);
    EXPECT_FALSE(loaded.settings);
    EXPECT_EQ(loaded.problem, "");
}

TEST_F(DesktopSettingsTest, AMalformedFileIsKeptAsideWithOneLineSaid) {
    for (const std::string& text : std::vector<std::string>{
             "not a key file\n",
             "[Widget 1]\nFamily=huge\n",
             "[Widget 1]\nMonitor=HDMI-1\n",
             "[Widget 1]\nFamily=small\nX=10\n",
             "[Widget 1]\nFamily=small\nX=ten\nY=10\n",
             "[Widget 1]\nFamily=small\nX=1e300\nY=10\n",
             "[Widget 1]\nFamily=small\nX=nan\nY=10\n",
             std::string(70 * 1024, '#'),
         }) {
        SCOPED_TRACE(text.substr(0, 40));
        fs::create_directories(file.parent_path());
        fs::remove(file.string() + ".malformed");
        testsupport::writeFile(file, text);
        const LoadedSettings loaded = loadSettings(file);
        EXPECT_FALSE(loaded.settings);
        EXPECT_NE(loaded.problem.find("is malformed"), std::string::npos) << loaded.problem;
        EXPECT_EQ(loaded.problem.find('\n'), std::string::npos);
        EXPECT_FALSE(fs::exists(file)) << "a later save must not write over it";
        EXPECT_EQ(testsupport::readFile(file.string() + ".malformed"), text);
    }
    // Groups that are not widgets are someone else's: left out, not malformed.
    testsupport::writeFile(file, "[Other]\nKey=1\n[Widget 1]\nFamily=small\n");
    ASSERT_TRUE(loadSettings(file).settings);
    EXPECT_EQ(loadSettings(file).settings->widgets.size(), 1u);
}

TEST_F(DesktopSettingsTest, AFileThatCannotBeReadIsLeftAsItIs) {
    fs::create_directories(file);  // a directory where the file should be
    const LoadedSettings loaded = loadSettings(file);
    EXPECT_FALSE(loaded.settings);
    EXPECT_NE(loaded.problem.find("cannot read"), std::string::npos) << loaded.problem;
    EXPECT_TRUE(fs::is_directory(file));
}

TEST(DesktopSettingsFile, FollowsXdgConfigHomeThenHome) {
    struct Case {
        std::optional<std::string> config, home;
        std::optional<fs::path> file;
    };
    for (const Case& c : std::vector<Case>{
             {"/c", "/h", "/c/jotbird-widgets/desktop.ini"},
             {"relative", "/h", "/h/.config/jotbird-widgets/desktop.ini"},
             {std::nullopt, "/h", "/h/.config/jotbird-widgets/desktop.ini"},
             {"", "", std::nullopt},
             {std::nullopt, std::nullopt, std::nullopt},
         }) {
        const testsupport::ScopedEnvironmentVariable config("XDG_CONFIG_HOME", c.config);
        const testsupport::ScopedEnvironmentVariable home("HOME", c.home);
        EXPECT_EQ(settingsFile(), c.file) << c.config.value_or("(unset)");
    }
}

}  // namespace
}  // namespace desktop
