#pragma once
// The process and the desktop session, for Qt on Linux.
#include <string>
#include <vector>

#include "platform/Runtime.h"

namespace vlmr {

class LinuxRuntime : public Runtime {
public:
    // The arguments as the program received them, its own name first. Take
    // them before QApplication sees argv.
    explicit LinuxRuntime(std::vector<std::string> arguments);

    InstanceCheck CheckOtherInstance() override;
    std::string CommandLineText() override;
    std::string AppFolder() override { return appFolder_; }
    std::string AppFile(std::string_view name) override;
    std::string FallbackImage() override;
    void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
    void DeliverPendingMessages() override;
    [[noreturn]] void EndProgram() override;
    double SecondsSinceMidnight() override;
    std::string TodayShortDate() override;
    // JPEG, PNG, GIF and WebP: the desktops decode them, and so does the
    // X root setter with Qt's image plug-ins.
    std::vector<std::string> OfferedPictureTypes() override { return {".JPG", ".JPEG", ".PNG", ".GIF", ".WEBP"}; }

private:
    std::vector<std::string> arguments_;
    std::string appFolder_;
    int lockFd_ = -1;  // held, never closed, until the process ends
};

// A modal box with one OK button; needs the QApplication.
void ShowMessageBox(std::string_view text, std::string_view title, MessageIcon icon);

// $XDG_CONFIG_HOME/velmora, or ~/.config/velmora when that is unset.
std::string VelmoraConfigFolder();

}  // namespace vlmr
