// Times the boot run's own work on a real application folder: load the
// image list, draw, read the style and hand over to a wallpaper service
// that does nothing. Prints the median time of several runs and the
// process's peak memory.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "PosixFileSystem.h"
#include "boot/frmMain.h"
#include "store/IniFileStore.h"

namespace {

using namespace vlmr;

class BenchRuntime : public Runtime {
public:
    explicit BenchRuntime(std::string folder) : folder_(std::move(folder)) {}
    InstanceCheck CheckOtherInstance() override { return InstanceCheck::Alone; }
    std::string CommandLineText() override { return ""; }
    std::string AppFolder() override { return folder_; }
    std::string AppFile(std::string_view name) override { return folder_ + "/" + std::string(name); }
    std::string FallbackImage() override { return AppFile("logo.gif"); }
    void ShowMessage(std::string_view text, std::string_view, MessageIcon) override {
        std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
        failed = true;
    }
    void DeliverPendingMessages() override {}
    void EndProgram() override { ended = true; }
    double SecondsSinceMidnight() override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return static_cast<double>(ts.tv_sec % 86400) + static_cast<double>(ts.tv_nsec) / 1e9;
    }
    std::string TodayShortDate() override { return ""; }
    std::vector<std::string> OfferedPictureTypes() override { return {}; }

    bool ended = false;
    bool failed = false;

private:
    std::string folder_;
};

// Accepts every call and does nothing, so only our own work is timed.
class NullDesktop : public ActiveDesktop {
public:
    explicit NullDesktop(std::string& chosen) : chosen_(chosen) {}
    bool GetDesktopItemOptions(ComponentsOpt& o) override { o.fActiveDesktop = 1; return true; }
    bool SetDesktopItemOptions(const ComponentsOpt&) override { return true; }
    bool SetWallpaperOptions(const WallpaperOpt&) override { return true; }
    bool SetWallpaper(const std::string& path) override { chosen_ = path; return true; }
    bool ApplyChanges(std::uint32_t) override { return true; }

private:
    std::string& chosen_;
};

class NullWallpaper : public WallpaperService {
public:
    std::unique_ptr<ActiveDesktop> Create() override { return std::make_unique<NullDesktop>(chosen); }
    std::string Mechanism() override { return "none (benchmark)"; }
    std::string chosen;
};

class NullShell : public Shell {
public:
    BrowserLookup FindBrowser() override { return {}; }
    void StartBrowser(WindowHandle, const std::string&, const std::string&) override {}
};

class NullView : public MainView {
public:
    void Show() override {}
    void Focus() override {}
    void Hide() override {}
    void Unload() override {}
    WindowHandle Handle() override { return 0; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s APP_FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    BenchRuntime runtime(folder);
    PosixFileSystem files;
    IniFileStore settings(files);
    NullWallpaper wallpaper;
    NullShell shell;
    NullView view;
    Services services{runtime, files, settings, wallpaper, shell};

    std::vector<double> millis;
    std::size_t entries = 0;
    for (int i = 0; i < runs; ++i) {
        runtime.ended = false;
        const auto start = std::chrono::steady_clock::now();
        {
            frmMain form(services, view, [] {});
            form.Load();
            entries = form.PList.Count();
        }
        const auto stop = std::chrono::steady_clock::now();
        if (!runtime.ended || runtime.failed || wallpaper.chosen.empty()) {
            std::fprintf(stderr, "the boot run did not complete\n");
            return 1;
        }
        millis.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(millis.begin(), millis.end());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("entries=%zu median_ms=%.2f min_ms=%.2f peak_rss_kb=%ld\n", entries, millis[millis.size() / 2],
                millis.front(), usage.ru_maxrss);
    return 0;
}
