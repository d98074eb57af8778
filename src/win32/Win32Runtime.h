#pragma once
// The process and the desktop session as Windows offers them.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Runtime.h"
#include "win32/Handles.h"

namespace vlmr::win32 {

// What follows the program's own token on a command line and the blanks
// after it, verbatim. The token is quoted ("C:\Program Files\VLMR.exe") or
// runs to the first blank.
std::wstring_view CommandLineTail(std::wstring_view commandLine);

// The folder of a module path, without its last backslash unless the folder
// is a drive root ("C:\VLMR.exe" gives "C:\").
std::wstring_view FolderOfModule(std::wstring_view modulePath);

// A task-modal box with one OK button; returns when the user dismisses it.
void ShowMessageBox(std::string_view text, std::string_view title, MessageIcon icon);

class Win32Runtime : public Runtime {
public:
    InstanceCheck CheckOtherInstance() override;
    std::string CommandLineText() override;
    std::string AppFolder() override;
    std::string AppFile(std::string_view name) override;
    std::string FallbackImage() override;
    void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
    void DeliverPendingMessages() override;
    [[noreturn]] void EndProgram() override;
    double SecondsSinceMidnight() override;
    std::string TodayShortDate() override;
    // What Active Desktop shows besides bitmaps.
    std::vector<std::string> OfferedPictureTypes() override { return {".JPG", ".JPEG", ".PNG", ".GIF"}; }

private:
    UniqueHandle instanceMutex_;  // held for the whole life of the process
    std::string folder_;          // found once, on first use
};

}  // namespace vlmr::win32
