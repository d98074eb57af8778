#pragma once
// The base of every scenario: the recorder is registered once per suite, and
// each test gets its own application folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScenarioSupport.h"
#include "WindowProbe.h"

namespace vlmr::wintest {

class Scenario : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        const auto dll = RecorderDll();
        ASSERT_TRUE(std::filesystem::exists(dll)) << "recorder DLL missing: " << Narrow(dll.wstring());
        ASSERT_EQ(RegisterRecorder(dll), ERROR_SUCCESS);
    }

protected:
    AppFolder folder_;
};

// What a boot run hands the recorder, in order.
inline std::vector<std::string> ExpectedBootLog(bool activeDesktopOn, int style, const std::string& path) {
    std::vector<std::string> log{"GetDesktopItemOptions 12"};
    if (!activeDesktopOn) log.push_back("SetDesktopItemOptions 12 1 1");
    log.push_back("SetWallpaperOptions 8 " + std::to_string(style));
    log.push_back("SetWallpaper " + path);
    log.push_back("ApplyChanges 7");
    log.push_back("Release");
    return log;
}

// The path of the log's SetWallpaper line, or "" when there is none.
inline std::string WallpaperOf(const std::vector<std::string>& log) {
    const std::string prefix = "SetWallpaper ";
    for (const std::string& line : log) {
        if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
    }
    return {};
}

}  // namespace vlmr::wintest
