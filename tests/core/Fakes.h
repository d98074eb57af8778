#pragma once
// Test doubles for the platform seam. Each records what it was asked, in
// order, into one shared journal so a test can assert the exact sequence.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "boot/frmMain.h"
#include "config/CWait.h"
#include "config/frmConfig.h"
#include "platform/FileSystem.h"
#include "platform/FolderChooser.h"
#include "platform/FolderLister.h"
#include "platform/LogFile.h"
#include "platform/LogonList.h"
#include "platform/Runtime.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WallpaperService.h"
#include "store/IniFileStore.h"
#include "store/ListBox.h"
#include "store/RunLog.h"
#include "store/Text.h"

namespace vlmr::test {

using Journal = std::vector<std::string>;

struct Message {
    std::string text, title;
    MessageIcon icon;
    bool operator==(const Message&) const = default;
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
    void DeliverPendingMessages() override {
        // The scan lets messages through by the clock, so how many of its
        // deliveries fall in a row depends on the machine's speed: a row
        // counts as one in the journal (the counter sees them all).
        if (journal.empty() || journal.back() != "deliver") journal.push_back("deliver");
        ++deliveries;
        if (onDeliver) onDeliver();  // what a waiting window event would do
    }
    void EndProgram() override { journal.push_back("end"); ended = true; }
    // Each reading of the clock is journaled: it marks where the draw happens.
    double SecondsSinceMidnight() override {
        journal.push_back("clock");
        const double now = clock;
        clock += clockStep;
        return now;
    }
    std::string TodayShortDate() override { return today; }
    std::vector<std::string> OfferedPictureTypes() override { return offeredTypes; }

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
    std::vector<std::string> offeredTypes{".JPG", ".JPEG", ".PNG", ".GIF"};
    std::function<void()> onDeliver;
};

// Files in memory. A path listed in `failing` fails every operation. A path
// in `tornWrites` fails writes part-way, as a full disk would: a plain write
// leaves the first half of the new text behind, an atomic one the old file.
// With a journal set, every operation is recorded as "<op> <path>".
class FakeFileSystem : public FileSystem {
public:
    Status ReadTextFile(std::string_view path, std::string& text, std::size_t limit) override {
        Record("read", path);
        ++reads;
        if (auto f = Failure(path)) return *f;
        auto it = files.find(std::string(path));
        if (it == files.end()) return Status::Fail(ErrorKind::FileNotFound, "File not found");
        if (it->second.size() > limit) return Status::Fail(ErrorKind::Other, "File too large");
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

// A desktop with a picture per monitor: the monitors it reports, and which
// of them take their picture.
struct MonitorBehaviour {
    bool available = false;     // the desktop shows one picture on all of them
    std::vector<std::string> monitors;
    std::set<std::size_t> refusing;  // monitors whose picture is not shown
};

class RecordingMonitors : public MonitorWallpapers {
public:
    RecordingMonitors(Journal& j, MonitorBehaviour b) : journal_(j), b_(std::move(b)) {}
    std::vector<std::string> Monitors() override {
        journal_.push_back("Monitors");
        return b_.monitors;
    }
    std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) override {
        std::string entry = "SetWallpapers " + std::to_string(style);
        std::vector<bool> shown;
        for (const std::string& picture : pictures) {
            entry += (shown.empty() ? ": " : " | ") + picture;
            shown.push_back(b_.refusing.count(shown.size()) == 0);
        }
        journal_.push_back(entry);
        return shown;
    }

private:
    Journal& journal_;
    MonitorBehaviour b_;
};

class FakeWallpaperService : public WallpaperService {
public:
    explicit FakeWallpaperService(Journal& j) : journal(j) {}
    std::string Mechanism() override { return "the fake desktop"; }
    std::unique_ptr<ActiveDesktop> Create() override {
        journal.push_back("Create");
        if (!available) return nullptr;
        return std::make_unique<RecordingDesktop>(journal, behaviour);
    }
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override {
        journal.push_back("CreatePerMonitor");
        if (!perMonitor.available) return nullptr;
        return std::make_unique<RecordingMonitors>(journal, perMonitor);
    }
    Journal& journal;
    bool available = true;
    DesktopBehaviour behaviour;
    MonitorBehaviour perMonitor;
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

// The run log in memory, installed for as long as it lives: its lines, its
// size as the file would have it, and what was said when it could not write.
class RecordingLogFile : public LogFile {
public:
    RecordingLogFile() { UseLogFile(this); }
    ~RecordingLogFile() override { UseLogFile(nullptr); }
    std::string LocalTimestamp() override { return "2026-12-07 10:00:00"; }
    std::uint64_t ProcessId() override { return 42; }
    Status Append(std::string_view line) override {
        if (!writable) return Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
        lines.emplace_back(line);
        size += line.size() + 1;
        return Status::Ok();
    }
    std::uint64_t Size() override { return size; }
    Status MoveAside() override {
        if (!movable) return Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
        aside = std::move(lines);
        lines.clear();
        size = 0;
        return Status::Ok();
    }
    void ReportUnwritable(const Status& why) override { unwritableSaid.push_back(why.description); }

    // The messages alone, without stamp and pid.
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const std::string& line : lines) messages.push_back(line.substr(std::string("2026-12-07 10:00:00 42 ").size()));
        return messages;
    }

    std::vector<std::string> lines, aside, unwritableSaid;
    std::uint64_t size = 0;
    bool writable = true, movable = true;
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


// ---- The configurator's seams ----

// The per-user logon list: entries by name, each call journaled.
class FakeLogonList : public LogonList {
public:
    explicit FakeLogonList(Journal& j) : journal(j) {}
    Status WriteEntry(std::string_view name, std::string_view program) override {
        journal.push_back("logon:write " + std::string(name) + "=" + std::string(program));
        if (failure) return *failure;
        entries[std::string(name)] = std::string(program);
        return Status::Ok();
    }
    Status DeleteEntry(std::string_view name) override {
        journal.push_back("logon:delete " + std::string(name));
        if (failure) return *failure;
        entries.erase(std::string(name));
        return Status::Ok();
    }
    Journal& journal;
    std::map<std::string, std::string> entries;
    std::optional<Status> failure;  // every call fails with it, as a locked-down registry would
};

// The folder chooser answers from a queue: "" is a cancel, an empty queue
// too. A path without an entry in `shortForms` is its own short form; an
// entry of "" means the platform has none.
class FakeFolderChooser : public FolderChooser {
public:
    explicit FakeFolderChooser(Journal& j) : journal(j) {}
    std::string BrowseForImageFolder() override {
        journal.push_back("browse");
        if (choices.empty()) return "";
        std::string choice = choices.front();
        choices.pop_front();
        return choice;
    }
    std::string GetShortPath(std::string_view path) override {
        journal.push_back("short " + std::string(path));
        if (path.empty()) return "";
        auto it = shortForms.find(std::string(path));
        return it == shortForms.end() ? std::string(path) : it->second;
    }
    Journal& journal;
    std::deque<std::string> choices;
    std::map<std::string, std::string> shortForms;
};

// A folder tree in memory. Folders and files are listed in the order they
// were added. A folder can fail to open, or stop its sub-folder or file
// listing after some names; a link lists as its target, with the target's
// identity, and paths below a link resolve through it.
class FakeFolderLister : public FolderLister {
public:
    struct Folder {
        std::vector<std::string> subfolders, files;
        std::uint64_t id = 0;
        std::optional<std::string> linkTo;
        std::optional<Status> openFailure;
        std::optional<std::size_t> subfoldersStopAfter, filesStopAfter;
    };

    explicit FakeFolderLister(char separator = '/', bool blind = false) : sep(separator), caseBlind(blind) {}

    Folder& AddFolder(const std::string& path) {
        auto [it, added] = folders.try_emplace(Key(path));
        if (added) {
            it->second.id = ++lastId;
            if (Folder* parent = Parent(path)) parent->subfolders.push_back(Name(path));
        }
        return it->second;
    }
    void AddFile(const std::string& path) { Parent(path)->files.push_back(Name(path)); }
    void AddLink(const std::string& path, const std::string& target) { AddFolder(path).linkTo = target; }
    Folder& At(const std::string& path) { return folders.at(Key(path)); }

    Status ListFolder(std::string_view folder, FolderListing& listing) override {
        if (journal) journal->push_back("list " + std::string(folder));
        if (onList) onList(folder);
        const std::optional<std::string> real = RealPath(std::string(folder), 0);
        if (!real) return Status::Fail(ErrorKind::PathNotFound, "The system cannot find the path specified.");
        const Folder& f = folders.at(Key(*real));
        if (f.openFailure) return *f.openFailure;
        listing.id = FolderId{1, f.id, idsKnown};
        const Status stopped = Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
        listing.subfolders = Head(f.subfolders, f.subfoldersStopAfter);
        if (f.subfoldersStopAfter) listing.subfoldersStatus = stopped;
        listing.files = Head(f.files, f.filesStopAfter);
        if (f.filesStopAfter) listing.filesStatus = stopped;
        return Status::Ok();
    }
    std::string JoinPath(std::string_view folder, std::string_view name) override { return Join(folder, name); }
    std::string PathKey(std::string_view path) override { return Key(path); }

    char sep;
    bool caseBlind;
    bool idsKnown = true;
    Journal* journal = nullptr;
    std::function<void(std::string_view)> onList;

private:
    std::string Key(std::string_view path) const { return caseBlind ? ToUpperAscii(path) : std::string(path); }
    std::string Join(std::string_view folder, std::string_view name) const {
        std::string out(folder);
        if (out.empty() || out.back() != sep) out += sep;
        return out.append(name);
    }
    std::string Name(const std::string& path) const { return path.substr(path.rfind(sep) + 1); }
    // The containing folder, whether it was named with its trailing
    // separator (a root such as C:\) or without.
    Folder* Parent(const std::string& path) {
        const std::size_t pos = path.rfind(sep);
        if (pos == std::string::npos) return nullptr;
        for (std::string parent : {path.substr(0, pos + 1), path.substr(0, pos)})
            if (auto it = folders.find(Key(parent)); it != folders.end()) return &it->second;
        return nullptr;
    }
    std::optional<std::string> RealPath(const std::string& path, int depth) const {
        if (depth > 64) return std::nullopt;
        if (auto it = folders.find(Key(path)); it != folders.end())
            return it->second.linkTo ? RealPath(*it->second.linkTo, depth + 1) : path;
        const std::size_t pos = path.rfind(sep);
        if (pos == std::string::npos || pos == 0) return std::nullopt;
        const std::string parent = path.substr(0, pos);
        const std::optional<std::string> realParent = RealPath(parent, depth + 1);
        if (!realParent || Key(*realParent) == Key(parent)) return std::nullopt;  // no link on the way
        return RealPath(Join(*realParent, path.substr(pos + 1)), depth + 1);
    }
    static std::vector<std::string> Head(const std::vector<std::string>& names, std::optional<std::size_t> n) {
        if (!n || *n >= names.size()) return names;
        return {names.begin(), names.begin() + static_cast<std::ptrdiff_t>(*n)};
    }

    std::map<std::string, Folder> folders;
    std::uint64_t lastId = 0;
};

// Settings writes as the presenter makes them ("ini:write Section/Key=Value"),
// passed on to the INI file in the fake file system.
class RecordingSettings : public SettingsStore {
public:
    RecordingSettings(Journal& j, SettingsStore& inner) : journal(j), inner_(inner) {}
    std::string Read(std::string_view section, std::string_view key, std::string_view file) override {
        return inner_.Read(section, key, file);
    }
    Status Write(std::string_view section, std::string_view key, std::string_view value,
                 std::string_view file) override {
        journal.push_back("ini:write " + std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        return inner_.Write(section, key, value, file);
    }
    Journal& journal;

private:
    SettingsStore& inner_;
};

inline const char* StyleName(std::optional<StyleOption> o) {
    if (!o) return "none";
    switch (*o) {
        case StyleOption::Center: return "Center";
        case StyleOption::Tile: return "Tile";
        case StyleOption::Stretch: return "Stretch";
    }
    return "?";
}

class FakeConfigView : public ConfigView {
public:
    explicit FakeConfigView(Journal& j) : journal(j) {}
    void Show() override { journal.push_back("cfg:Show"); }
    void SetCaption(const std::string& caption) override { journal.push_back("cfg:Caption " + caption); }
    void SetPathText(const std::string& text) override { journal.push_back("cfg:Path " + text); }
    void SetStartupCheck(bool checked) override { journal.push_back(checked ? "cfg:Check on" : "cfg:Check off"); }
    void SetStyleOption(std::optional<StyleOption> option) override {
        journal.push_back(std::string("cfg:Style ") + StyleName(option));
    }
    void SetButtonSunken(PictureButton button, bool sunken) override {
        journal.push_back(std::string("cfg:") + (sunken ? "Sunken " : "Flat ") +
                          (button == PictureButton::Save ? "PSave" : "POpen"));
    }
    void Minimize() override { journal.push_back("cfg:Minimize"); }
    void Restore() override { journal.push_back("cfg:Restore"); }
    WindowHandle Handle() override { return 5151; }
    Journal& journal;
};

class FakeWaitView : public WaitView {
public:
    explicit FakeWaitView(Journal& j) : journal(j) {}
    void Show() override {
        journal.push_back("wait:Show");
        visible = true;
    }
    void Focus() override { journal.push_back("wait:Focus"); }
    void Hide() override {
        journal.push_back("wait:Hide");
        visible = false;
    }
    WindowHandle Handle() override { return 6161; }
    Journal& journal;
    bool visible = false;
};

// The configurator wired to fakes on one journal. Settings live in the fake
// file system as /app/Config.ini; the running executable is `executable`.
struct ConfigWorld {
    explicit ConfigWorld(std::string executable = "/opt/velmora/VLMR", char sep = '/', bool caseBlind = false)
        : lister(sep, caseBlind),
          form(ConfigServices{services, logon, chooser, lister, std::move(executable)}, view, wait,
               [this] { return base.view.Handle(); }) {
        lister.journal = &journal;
    }
    ConfigWorld(const ConfigWorld&) = delete;
    ConfigWorld& operator=(const ConfigWorld&) = delete;

    World base;
    Journal& journal = base.journal;
    FakeRuntime& runtime = base.runtime;
    FakeFileSystem& files = base.files;
    RecordingSettings settings{journal, base.settings};
    Services services{base.runtime, base.files, settings, base.wallpaper, base.shell};
    FakeLogonList logon{journal};
    FakeFolderChooser chooser{journal};
    FakeFolderLister lister;
    FakeConfigView view{journal};
    FakeWaitView waitView{journal};
    CWait wait{base.runtime, base.shell, waitView};
    frmConfig form;
};

inline std::vector<std::string> Items(const ListBox& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.Count(); ++i) out.emplace_back(list.Item(i));
    return out;
}

// The journal without the file reads, which say nothing about what changed.
inline Journal Acts(const Journal& j) {
    Journal out;
    for (const std::string& e : j)
        if (e.rfind("read ", 0) != 0) out.push_back(e);
    return out;
}

}  // namespace vlmr::test
