#pragma once
// Test doubles for the platform seam. Each records what it was asked, in
// order, into one shared journal so a test can assert the exact sequence.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "boot/frmMain.h"
#include "platform/FileSystem.h"
#include "platform/Runtime.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WallpaperService.h"
#include "store/IniFileStore.h"

namespace vlmr::test {

using Journal = std::vector<std::string>;

struct Message {
    std::string text, title;
    MessageIcon icon;
};

class FakeRuntime : public Runtime {
public:
    explicit FakeRuntime(Journal& j) : journal(j) {}
    InstanceCheck CheckOtherInstance() override { return instance; }
    std::string CommandLineText() override { return commandLine; }
    std::string AppFolder() override { return folder; }
    std::string AppFile(std::string_view name) override { return folder + "/" + std::string(name); }
    std::string FallbackImage() override { return folder + "/logo.gif"; }
    void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(title), icon});
        journal.push_back("message:" + std::string(text));
    }
    void DeliverPendingMessages() override { journal.push_back("deliver"); ++deliveries; }
    void EndProgram() override { journal.push_back("end"); ended = true; }
    // Each reading of the clock is journaled: it marks where the draw happens.
    double SecondsSinceMidnight() override {
        journal.push_back("clock");
        const double now = clock;
        clock += clockStep;
        return now;
    }
    std::string TodayShortDate() override { return today; }

    Journal& journal;
    InstanceCheck instance = InstanceCheck::Alone;
    std::string commandLine;
    std::string folder = "/app";
    std::vector<Message> messages;
    int deliveries = 0;
    bool ended = false;
    double clock = 12 * 3600.0;
    double clockStep = 0.731;
    std::string today = "07/12/2026";
};

// Files in memory. A path listed in `failing` fails every operation. A path
// in `tornWrites` fails writes part-way, as a full disk would: a plain write
// leaves the first half of the new text behind, an atomic one the old file.
// With a journal set, every operation is recorded as "<op> <path>".
class FakeFileSystem : public FileSystem {
public:
    Status ReadTextFile(std::string_view path, std::string& text) override {
        Record("read", path);
        ++reads;
        if (auto f = Failure(path)) return *f;
        auto it = files.find(std::string(path));
        if (it == files.end()) return Status::Fail(ErrorKind::FileNotFound, "File not found");
        text = it->second;
        return Status::Ok();
    }
    Status WriteTextFileAtomic(std::string_view path, std::string_view text) override {
        Record("write-atomic", path);
        ++writes;
        if (auto f = Failure(path)) return *f;
        if (tornWrites.count(std::string(path))) return DiskFull();
        files[std::string(path)] = std::string(text);
        return Status::Ok();
    }
    Status WriteTextFile(std::string_view path, std::string_view text) override {
        Record("write", path);
        ++writes;
        if (auto f = Failure(path)) return *f;
        if (tornWrites.count(std::string(path))) {
            files[std::string(path)] = std::string(text.substr(0, text.size() / 2));
            return DiskFull();
        }
        files[std::string(path)] = std::string(text);
        return Status::Ok();
    }
    Status RemoveFile(std::string_view path) override {
        Record("remove", path);
        if (auto f = Failure(path)) return *f;
        return files.erase(std::string(path)) ? Status::Ok() : Status::Fail(ErrorKind::FileNotFound, "File not found");
    }
    Status FirstMatchingFile(std::string_view pattern, std::string& name) override {
        Record("list", pattern);
        if (auto f = Failure(pattern)) return *f;
        auto it = files.find(std::string(pattern));
        name = it == files.end() ? "" : it->first.substr(it->first.rfind('/') + 1);
        return Status::Ok();
    }

    std::optional<Status> Failure(std::string_view path) const {
        auto it = failing.find(std::string(path));
        if (it == failing.end()) return std::nullopt;
        return it->second;
    }
    static Status DiskFull() { return Status::Fail(ErrorKind::Other, "There is not enough space on the disk."); }

    std::map<std::string, std::string> files;
    std::map<std::string, Status> failing;
    std::set<std::string> tornWrites;
    Journal* journal = nullptr;
    int reads = 0;
    int writes = 0;

private:
    void Record(const char* op, std::string_view path) {
        if (journal) journal->push_back(std::string(op) + " " + std::string(path));
    }
};

// How the recorded service object answers.
struct DesktopBehaviour {
    bool activeDesktopOn = true;
    std::uint32_t enableComponents = 1;  // reported fEnableComponents
    std::set<std::string> failing;       // names of the methods that fail
};

// A service object that logs every call with its arguments.
class RecordingDesktop : public ActiveDesktop {
public:
    RecordingDesktop(Journal& j, DesktopBehaviour b) : journal_(j), b_(std::move(b)) {}
    ~RecordingDesktop() override { journal_.push_back("Release"); }
    bool GetDesktopItemOptions(ComponentsOpt& o) override {
        journal_.push_back("GetDesktopItemOptions " + std::to_string(o.dwSize) + " " +
                           std::to_string(o.fEnableComponents) + " " + std::to_string(o.fActiveDesktop));
        if (Fails("GetDesktopItemOptions")) return false;
        o.fEnableComponents = b_.enableComponents;
        o.fActiveDesktop = b_.activeDesktopOn ? 1 : 0;
        return true;
    }
    bool SetDesktopItemOptions(const ComponentsOpt& o) override {
        journal_.push_back("SetDesktopItemOptions " + std::to_string(o.dwSize) + " " +
                           std::to_string(o.fEnableComponents) + " " + std::to_string(o.fActiveDesktop));
        return !Fails("SetDesktopItemOptions");
    }
    bool SetWallpaperOptions(const WallpaperOpt& o) override {
        journal_.push_back("SetWallpaperOptions " + std::to_string(o.dwSize) + " " + std::to_string(o.dwStyle));
        return !Fails("SetWallpaperOptions");
    }
    bool SetWallpaper(const std::string& path) override {
        journal_.push_back("SetWallpaper " + path);
        return !Fails("SetWallpaper");
    }
    bool ApplyChanges(std::uint32_t flags) override {
        journal_.push_back("ApplyChanges " + std::to_string(flags));
        return !Fails("ApplyChanges");
    }

private:
    bool Fails(const std::string& method) const { return b_.failing.count(method) > 0; }
    Journal& journal_;
    DesktopBehaviour b_;
};

class FakeWallpaperService : public WallpaperService {
public:
    explicit FakeWallpaperService(Journal& j) : journal(j) {}
    std::unique_ptr<ActiveDesktop> Create() override {
        journal.push_back("Create");
        if (!available) return nullptr;
        return std::make_unique<RecordingDesktop>(journal, behaviour);
    }
    Journal& journal;
    bool available = true;
    DesktopBehaviour behaviour;
};

class FakeShell : public Shell {
public:
    explicit FakeShell(Journal& j) : journal(j) {}
    BrowserLookup FindBrowser() override {
        journal.push_back("FindBrowser");
        return lookup;
    }
    void StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) override {
        journal.push_back("StartBrowser " + std::to_string(owner) + " " + browser + " " + address);
    }
    Journal& journal;
    BrowserLookup lookup{BrowserLookup::Result::Found, "/usr/bin/browser", ""};
};

class FakeMainView : public MainView {
public:
    explicit FakeMainView(Journal& j) : journal(j) {}
    void Show() override { journal.push_back("view:Show"); }
    void Focus() override { journal.push_back("view:Focus"); }
    void Hide() override { journal.push_back("view:Hide"); }
    void Unload() override { journal.push_back("view:Unload"); }
    WindowHandle Handle() override { return 4242; }
    Journal& journal;
};

// Everything a presenter needs, wired to one journal, with a start-up window
// whose configurator course journals "config".
struct World {
    World() { files.journal = &journal; }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    Journal journal;
    FakeRuntime runtime{journal};
    FakeFileSystem files;
    IniFileStore settings{files};
    FakeWallpaperService wallpaper{journal};
    FakeShell shell{journal};
    Services services{runtime, files, settings, wallpaper, shell};
    FakeMainView view{journal};
    frmMain form{services, view, [this] { journal.push_back("config"); }};
};

}  // namespace vlmr::test
