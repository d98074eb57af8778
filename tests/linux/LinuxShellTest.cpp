#include "LinuxShell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace vlmr {
namespace {

namespace fs = std::filesystem;

// PATH points at a folder holding a recording xdg-open, for one test.
class LinuxShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vlmr-shell-XXXXXX";
        root_ = mkdtemp(pattern);
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "/usr/bin:/bin";
        setenv("PATH", (root_ + "/empty:" + root_ + "/bin").c_str(), 1);
        fs::create_directories(root_ + "/bin");
        fs::create_directories(root_ + "/empty/xdg-open");  // a folder of that name is no program
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        fs::remove_all(root_);
    }
    void InstallRecorder() {
        std::ofstream(root_ + "/bin/xdg-open") << "#!/bin/sh\nprintf '%s|' \"$@\" > \"" << root_ << "/opened.tmp\"\n"
                                               << "/bin/mv \"" << root_ << "/opened.tmp\" \"" << root_ << "/opened\"\n";
        fs::permissions(root_ + "/bin/xdg-open", fs::perms::owner_all);
    }

    std::string root_;
    std::string oldPath_;
};

TEST_F(LinuxShellTest, WithoutXdgOpenThereIsNoBrowser) {
    LinuxShell shell;
    EXPECT_EQ(shell.FindBrowser().result, BrowserLookup::Result::NotFound);
}

TEST_F(LinuxShellTest, StartsXdgOpenWithTheAddressAsItsOnlyArgument) {
    InstallRecorder();
    LinuxShell shell;
    const BrowserLookup lookup = shell.FindBrowser();
    ASSERT_EQ(lookup.result, BrowserLookup::Result::Found);
    EXPECT_EQ(lookup.browser, root_ + "/bin/xdg-open");

    shell.StartBrowser(0, lookup.browser, "https://velmora.example/a b?c=1&d=2");
    const std::string record = root_ + "/opened";
    for (int i = 0; i < 200 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream in(record);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "https://velmora.example/a b?c=1&d=2|");
}

}  // namespace
}  // namespace vlmr
