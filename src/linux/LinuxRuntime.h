#pragma once
// The process and the desktop session, for Qt on Linux.
#include <string>
#include <vector>

#include "LinuxProcess.h"

namespace vlmr {

class LinuxRuntime : public LinuxProcess {
public:
    // Take the arguments before QApplication sees argv.
    using LinuxProcess::LinuxProcess;

    void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
    void DeliverPendingMessages() override;
    [[noreturn]] void EndProgram() override;
    std::string TodayShortDate() override;
};

// A modal box with one OK button; needs the QApplication.
void ShowMessageBox(std::string_view text, std::string_view title, MessageIcon icon);

// Today's date in the user's short form, as the toolkit's locale writes it.
std::string ToolkitShortDate();

}  // namespace vlmr
