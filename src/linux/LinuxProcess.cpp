#include "LinuxProcess.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "UserFolders.h"

namespace vlmr {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string VelmoraConfigFolder() {
    return BaseFolder("XDG_CONFIG_HOME", "/.config") + "/velmora";
}

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return exe.parent_path().string();
}

LinuxProcess::LinuxProcess(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)), appFolder_(VelmoraConfigFolder()) {}

std::string LinuxProcess::JoinedArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1) text += ' ';
        text += arguments[i];
    }
    return text;
}

InstanceCheck LinuxProcess::CheckOtherInstance() {
    std::string folder = Environment("XDG_RUNTIME_DIR");
    if (folder.empty()) {
        folder = appFolder_;
        if (!MakeFolders(folder)) return InstanceCheck::Failed;
    }
    const std::string lockFile = folder + "/velmora.lock";
    // Close-on-exec, so a browser started by us does not keep the claim.
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return InstanceCheck::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? InstanceCheck::AnotherRunning : InstanceCheck::Failed;
    }
    lockFd_ = fd;
    return InstanceCheck::Alone;
}

std::string LinuxProcess::AppFile(std::string_view name) { return appFolder_ + "/" + std::string(name); }

std::string LinuxProcess::FallbackImage() {
    const std::string own = AppFile("logo.gif");
    if (IsRegularFile(own)) return own;
    const std::string exeFolder = ExecutableFolder();
    const std::string beside = exeFolder + "/logo.gif";  // a build tree
    if (IsRegularFile(beside)) return beside;
    const std::filesystem::path installed = std::filesystem::path(exeFolder) / "../share/velmora/logo.gif";
    return installed.lexically_normal().string();
}

double LinuxProcess::SecondsSinceMidnight() {
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local {};
    ::localtime_r(&now.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace vlmr
