// The autostart entry against real files in a temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "XdgAutostart.h"

namespace vlmr {
namespace {

namespace fs = std::filesystem;

class XdgAutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vlmr-autostart-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path root_;
};

TEST_F(XdgAutostartTest, WritesTheEntryIntoAFolderItCreates) {
    const fs::path folder = root_ / "config" / "autostart";
    XdgAutostart autostart(folder.string());
    ASSERT_TRUE(autostart.WriteEntry("VLMR", "/opt/velmora/VLMR").ok());
    EXPECT_EQ(Read(folder / "VLMR.desktop"),
              "[Desktop Entry]\nType=Application\nName=Velmora\nExec=/opt/velmora/VLMR\nIcon=velmora\n");

    // A later write replaces the whole file and leaves no temporary beside it.
    ASSERT_TRUE(autostart.WriteEntry("VLMR", "/home/ann/my apps/VLMR").ok());
    EXPECT_NE(Read(folder / "VLMR.desktop").find("Exec=\"/home/ann/my apps/VLMR\"\n"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(XdgAutostartTest, DeletingRemovesOnlyThatEntryAndAMissingOneIsNoError) {
    const fs::path folder = root_ / "autostart";
    XdgAutostart autostart(folder.string());
    EXPECT_TRUE(autostart.DeleteEntry("VLMR").ok()) << "no folder yet";
    ASSERT_TRUE(autostart.WriteEntry("VLMR", "/opt/velmora/VLMR").ok());
    std::ofstream(folder / "other.desktop") << "[Desktop Entry]\n";
    std::ofstream(folder / "VLMR.desktop.bak") << "keep\n";

    EXPECT_TRUE(autostart.DeleteEntry("VLMR").ok());
    EXPECT_FALSE(fs::exists(folder / "VLMR.desktop"));
    EXPECT_TRUE(fs::exists(folder / "other.desktop"));
    EXPECT_TRUE(fs::exists(folder / "VLMR.desktop.bak"));
    EXPECT_TRUE(autostart.DeleteEntry("VLMR").ok()) << "already gone";
}

TEST_F(XdgAutostartTest, AFolderThatCannotBeMadeIsAFailure) {
    std::ofstream(root_ / "config") << "a file where the folder should be";
    XdgAutostart autostart((root_ / "config" / "autostart").string());
    EXPECT_FALSE(autostart.WriteEntry("VLMR", "/opt/velmora/VLMR").ok());
}

TEST_F(XdgAutostartTest, TheFolderFollowsXdgConfigHome) {
    const char* oldHome = std::getenv("HOME");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    const std::string savedConfig = oldConfig ? oldConfig : "";

    ::setenv("HOME", (root_ / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ / "cfg").c_str(), 1);
    EXPECT_EQ(XdgAutostart::AutostartFolder(), (root_ / "cfg" / "autostart").string());
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
    EXPECT_EQ(XdgAutostart::AutostartFolder(), (root_ / "home" / ".config" / "autostart").string());
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(XdgAutostart::AutostartFolder(), (root_ / "home" / ".config" / "autostart").string());

    if (oldHome) ::setenv("HOME", savedHome.c_str(), 1); else ::unsetenv("HOME");
    if (oldConfig) ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
}

}  // namespace
}  // namespace vlmr
