#include "XdgAutostart.h"

#include "LinuxProcess.h"
#include "store/LogonEntry.h"

namespace vlmr {

XdgAutostart::XdgAutostart(std::string folder) : folder_(std::move(folder)), files_(folder_) {}

std::string XdgAutostart::AutostartFolder() {
    // Beside our own folder in the same configuration home, by the same rule.
    const std::string own = VelmoraConfigFolder();
    return own.substr(0, own.rfind('/')) + "/autostart";
}

std::string XdgAutostart::EntryText(std::string_view program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velmora\n"
           "Exec=" + DesktopEntryExec(program) + "\n"
           "Icon=velmora\n";
}

Status XdgAutostart::WriteEntry(std::string_view name, std::string_view program) {
    // A new file renamed over the old one: a session never reads half an entry.
    return files_.WriteTextFileAtomic(EntryFile(name), EntryText(program));
}

Status XdgAutostart::DeleteEntry(std::string_view name) {
    const Status removed = files_.RemoveFile(EntryFile(name));
    if (removed.kind == ErrorKind::FileNotFound || removed.kind == ErrorKind::PathNotFound) return Status::Ok();
    return removed;
}

}  // namespace vlmr
