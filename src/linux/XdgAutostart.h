#pragma once
// The logon list of freedesktop sessions: one Desktop Entry file per entry
// in the user's autostart folder.
#include <string>

#include "PosixFileSystem.h"
#include "platform/LogonList.h"

namespace vlmr {

class XdgAutostart : public LogonList {
public:
    // The folder is created with the first entry written into it.
    explicit XdgAutostart(std::string folder = AutostartFolder());

    // NAME.desktop: an application named Velmora whose Exec starts the program.
    Status WriteEntry(std::string_view name, std::string_view program) override;
    // Removes NAME.desktop and nothing else; a missing file is no error.
    Status DeleteEntry(std::string_view name) override;

    std::string EntryFile(std::string_view name) const { return folder_ + "/" + std::string(name) + ".desktop"; }

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart when that is unset).
    static std::string AutostartFolder();
    // The whole file for a program path.
    static std::string EntryText(std::string_view program);

private:
    std::string folder_;
    PosixFileSystem files_;
};

}  // namespace vlmr
