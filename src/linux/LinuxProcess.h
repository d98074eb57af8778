#pragma once
// What both Linux front ends share of the runtime, with no toolkit: the
// instance claim, the command line, the application folder, the fallback
// picture and the clock. Each front end adds its boxes and its messages.
#include <string>
#include <vector>

#include "platform/Runtime.h"

namespace vlmr {

class LinuxProcess : public Runtime {
public:
    // The arguments as the program received them, its own name first.
    explicit LinuxProcess(std::vector<std::string> arguments);

    InstanceCheck CheckOtherInstance() override;
    std::string CommandLineText() override { return JoinedArguments(arguments_); }
    std::string AppFolder() override { return appFolder_; }
    std::string AppFile(std::string_view name) override;
    std::string FallbackImage() override;
    double SecondsSinceMidnight() override;
    // JPEG, PNG, GIF and WebP: the desktops decode them, and so does the
    // X root setter with Qt's image plug-ins.
    std::vector<std::string> OfferedPictureTypes() override { return {".JPG", ".JPEG", ".PNG", ".GIF", ".WEBP"}; }

    // The arguments after the program's name, one blank apart.
    static std::string JoinedArguments(const std::vector<std::string>& arguments);

private:
    std::vector<std::string> arguments_;
    std::string appFolder_;
    int lockFd_ = -1;  // held, never closed, until the process ends
};

// $XDG_CONFIG_HOME/velmora, or ~/.config/velmora when that is unset.
std::string VelmoraConfigFolder();

// The folder of the running executable, "." when it cannot be told.
std::string ExecutableFolder();

}  // namespace vlmr
