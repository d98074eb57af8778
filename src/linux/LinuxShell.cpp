#include "LinuxShell.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "UserFolders.h"

namespace vlmr {
namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        const std::string_view part = Trim(text.substr(0, end));
        if (!part.empty()) parts.emplace_back(part);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return parts;
}

// --- The XDG base folders. A relative path in a variable is invalid and ignored. ---

std::vector<std::string> BaseFolders(const char* variable, const char* fallback) {
    std::vector<std::string> folders;
    for (std::string& folder : Split(Environment(variable), ':'))
        if (folder.front() == '/') folders.push_back(std::move(folder));
    return folders.empty() ? Split(fallback, ':') : folders;
}

// $XDG_DATA_HOME, then $XDG_DATA_DIRS: where desktop files live, under "applications".
std::vector<std::string> ApplicationFolders() {
    std::vector<std::string> folders{BaseFolder("XDG_DATA_HOME", "/.local/share") + "/applications"};
    for (const std::string& folder : BaseFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        folders.push_back(folder + "/applications");
    return folders;
}

// The mimeapps.list files, the most important first; each folder's
// desktop-specific lists come before its common one.
std::vector<std::string> MimeAppsLists() {
    std::vector<std::string> folders{BaseFolder("XDG_CONFIG_HOME", "/.config")};
    for (const std::string& folder : BaseFolders("XDG_CONFIG_DIRS", "/etc/xdg")) folders.push_back(folder);
    for (const std::string& folder : ApplicationFolders()) folders.push_back(folder);

    std::vector<std::string> desktops = Split(Environment("XDG_CURRENT_DESKTOP"), ':');
    for (std::string& desktop : desktops)
        for (char& c : desktop) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    std::vector<std::string> lists;
    for (const std::string& folder : folders) {
        for (const std::string& desktop : desktops) lists.push_back(folder + "/" + desktop + "-mimeapps.list");
        lists.push_back(folder + "/mimeapps.list");
    }
    return lists;
}

// --- Key files (desktop entries, mimeapps.list, mimeinfo.cache) ---

// group -> key -> value; the first of duplicate groups or keys counts.
using KeyFile = std::map<std::string, std::map<std::string, std::string>, std::less<>>;

KeyFile ReadKeyFile(const std::string& path) {
    KeyFile file;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::map<std::string, std::string>* group = nullptr;
    std::set<std::string> seen;
    while (std::getline(in, line)) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#') continue;
        if (text.front() == '[') {
            const std::string name(text.substr(1, text.find(']') - 1));
            group = seen.insert(name).second ? &file[name] : nullptr;
            continue;
        }
        const std::size_t equals = text.find('=');
        if (!group || equals == std::string_view::npos) continue;
        group->emplace(Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)));
    }
    return file;
}

std::string Value(const KeyFile& file, std::string_view group, const std::string& key) {
    const auto g = file.find(group);
    if (g == file.end()) return "";
    const auto k = g->second.find(key);
    return k == g->second.end() ? "" : k->second;
}

// A string value with its escapes (\s \n \t \r \\) undone; any other
// backslash stays for the Exec quoting rules.
std::string Unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: out += '\\', out += value[i];
        }
    }
    return out;
}

// --- Desktop entries ---

// The file of a desktop file id in one applications folder: "a-b.desktop"
// may also be "a/b.desktop".
std::string DesktopFileIn(const std::string& folder, const std::string& id) {
    const std::string direct = folder + "/" + id;
    struct stat info {};
    if (::stat(direct.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return direct;
    for (std::size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
        const std::string sub = folder + "/" + id.substr(0, dash);
        if (!IsFolder(sub)) continue;
        if (std::string found = DesktopFileIn(sub, id.substr(dash + 1)); !found.empty()) return found;
    }
    return "";
}

std::string ProgramPath(const std::string& program) {
    if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : "";
    return FindOnPath(program);
}

struct Launch {
    std::string program;  // full path
    QStringList arguments;
    QString folder;
};

// What starting the desktop file with the address runs; no program when
// the entry is hidden, not an application, runs in a terminal, or its
// program is missing.
Launch LaunchOf(const std::string& desktopFile, std::string_view address) {
    const KeyFile file = ReadKeyFile(desktopFile);
    constexpr std::string_view kEntry = "Desktop Entry";
    if (!file.contains(kEntry) || Value(file, kEntry, "Hidden") == "true") return {};
    const std::string type = Value(file, kEntry, "Type");
    if (!type.empty() && type != "Application") return {};
    // A terminal program would need a terminal window around it to show a page.
    if (Value(file, kEntry, "Terminal") == "true") return {};
    const std::string tryExec = Unescape(Value(file, kEntry, "TryExec"));
    if (!tryExec.empty() && ProgramPath(tryExec).empty()) return {};

    const std::vector<std::string> arguments = ExecArguments(Unescape(Value(file, kEntry, "Exec")), address);
    if (arguments.empty()) return {};
    Launch launch{ProgramPath(arguments.front()), {}, QString::fromStdString(Unescape(Value(file, kEntry, "Path")))};
    for (std::size_t i = 1; i < arguments.size(); ++i) launch.arguments << QString::fromStdString(arguments[i]);
    return launch;
}

// The desktop file of an id when it is installed and can be started.
std::string UsableDesktopFile(const std::string& id) {
    if (id.size() <= 8 || id.substr(id.size() - 8) != ".desktop") return "";
    for (const std::string& folder : ApplicationFolders()) {
        const std::string path = DesktopFileIn(folder, id);
        // The first file of an id hides those of the same id further on.
        if (!path.empty()) return LaunchOf(path, "").program.empty() ? "" : path;
    }
    return "";
}

}  // namespace

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        if (folder.empty()) folder = ".";  // an empty entry means the current folder
        const std::string candidate = folder + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return "";
        folders.remove_prefix(colon + 1);
    }
}

std::vector<std::string> ExecArguments(std::string_view exec, std::string_view address) {
    // Inside double quotes a backslash escapes only these.
    constexpr std::string_view kQuotedEscapes = "\"`$\\";
    std::vector<std::string> arguments;
    std::string current;
    bool started = false;  // something, even an empty "", makes an argument
    bool addressed = false;
    enum class Quote { None, Double, Single } quote = Quote::None;

    const auto finish = [&] {
        if (started) arguments.push_back(std::move(current));
        current.clear();
        started = false;
    };
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        const bool hasNext = i + 1 < exec.size();
        if (c == '%') {
            if (!hasNext) continue;
            const char code = exec[++i];
            if (code == '%') {
                current += '%', started = true;
            } else if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
                current += address, started = true, addressed = true;
            }
            continue;  // any other field code stands for nothing here
        }
        switch (quote) {
            case Quote::Double:
                if (c == '"') {
                    quote = Quote::None;
                } else if (c == '\\' && hasNext && kQuotedEscapes.find(exec[i + 1]) != std::string_view::npos) {
                    current += exec[++i];
                } else {
                    current += c;
                }
                continue;
            case Quote::Single:
                if (c == '\'') quote = Quote::None;
                else current += c;
                continue;
            case Quote::None: break;
        }
        if (c == ' ' || c == '\t' || c == '\n') {
            finish();
        } else if (c == '"' || c == '\'') {
            quote = c == '"' ? Quote::Double : Quote::Single;
            started = true;
        } else if (c == '\\' && hasNext) {
            current += exec[++i], started = true;
        } else {
            current += c, started = true;
        }
    }
    if (quote != Quote::None) return {};
    finish();
    if (arguments.empty() || arguments.front().empty()) return {};
    // A browser's entry without a field code still gets the page to open.
    if (!addressed) arguments.emplace_back(address);
    return arguments;
}

std::string DefaultHandler(std::string_view mimeType) {
    const std::string type(mimeType);
    std::vector<KeyFile> lists;
    for (const std::string& path : MimeAppsLists()) lists.push_back(ReadKeyFile(path));

    // The defaults first: the first listed that is installed.
    for (const KeyFile& list : lists)
        for (const std::string& id : Split(Value(list, "Default Applications", type), ';'))
            if (std::string path = UsableDesktopFile(id); !path.empty()) return path;

    // Then the associations, where a list's removals hide what the lists
    // after it add, and last the ones the desktop files declare themselves.
    std::set<std::string> removed;
    for (const KeyFile& list : lists) {
        for (const std::string& id : Split(Value(list, "Removed Associations", type), ';')) removed.insert(id);
        for (const std::string& id : Split(Value(list, "Added Associations", type), ';'))
            if (!removed.contains(id))
                if (std::string path = UsableDesktopFile(id); !path.empty()) return path;
    }
    for (const std::string& folder : ApplicationFolders()) {
        const KeyFile cache = ReadKeyFile(folder + "/mimeinfo.cache");
        for (const std::string& id : Split(Value(cache, "MIME Cache", type), ';'))
            if (!removed.contains(id))
                if (std::string path = UsableDesktopFile(id); !path.empty()) return path;
    }
    return "";
}

BrowserLookup LinuxShell::FindBrowser() {
    BrowserLookup lookup;
    for (const char* type : {"x-scheme-handler/https", "text/html"}) {
        lookup.browser = DefaultHandler(type);
        if (!lookup.browser.empty()) break;
    }
    lookup.result = lookup.browser.empty() ? BrowserLookup::Result::NotFound : BrowserLookup::Result::Found;
    return lookup;
}

void LinuxShell::StartBrowser(WindowHandle, const std::string& browser, const std::string& address) {
    const Launch launch = LaunchOf(browser, address);
    if (launch.program.empty()) return;
    QProcess::startDetached(QString::fromStdString(launch.program), launch.arguments, launch.folder);
}

}  // namespace vlmr
