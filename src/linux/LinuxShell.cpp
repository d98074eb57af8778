#include "LinuxShell.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vlmr {

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        if (folder.empty()) folder = ".";  // an empty entry means the current folder
        const std::string candidate = folder + "/" + program;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos) return "";
        folders.remove_prefix(colon + 1);
    }
}

BrowserLookup LinuxShell::FindBrowser() {
    BrowserLookup lookup;
    lookup.browser = FindOnPath("xdg-open");
    lookup.result = lookup.browser.empty() ? BrowserLookup::Result::NotFound : BrowserLookup::Result::Found;
    return lookup;
}

void LinuxShell::StartBrowser(WindowHandle, const std::string& browser, const std::string& address) {
    QProcess::startDetached(QString::fromStdString(browser), QStringList{QString::fromStdString(address)});
}

}  // namespace vlmr
