#include "LinuxRuntime.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QMessageBox>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return exe.parent_path().string();
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

std::string VelmoraConfigFolder() {
    return BaseFolder("XDG_CONFIG_HOME", "/.config") + "/velmora";
}

LinuxRuntime::LinuxRuntime(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)), appFolder_(VelmoraConfigFolder()) {}

InstanceCheck LinuxRuntime::CheckOtherInstance() {
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

std::string LinuxRuntime::CommandLineText() {
    std::string text;
    for (std::size_t i = 1; i < arguments_.size(); ++i) {
        if (i > 1) text += ' ';
        text += arguments_[i];
    }
    return text;
}

std::string LinuxRuntime::AppFile(std::string_view name) { return appFolder_ + "/" + std::string(name); }

std::string LinuxRuntime::FallbackImage() {
    const std::string own = AppFile("logo.gif");
    if (IsRegularFile(own)) return own;
    const std::string exeFolder = ExecutableFolder();
    const std::string beside = exeFolder + "/logo.gif";  // a build tree
    if (IsRegularFile(beside)) return beside;
    const std::filesystem::path installed = std::filesystem::path(exeFolder) / "../share/velmora/logo.gif";
    return installed.lexically_normal().string();
}

void ShowMessageBox(std::string_view text, std::string_view title, MessageIcon icon) {
    QMessageBox box(QtIcon(icon), FromUtf8(title.empty() ? kAppTitle : title), FromUtf8(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);  // the text exactly, never read as markup
    box.exec();
}

void LinuxRuntime::ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
    ShowMessageBox(text, title, icon);
}

void LinuxRuntime::DeliverPendingMessages() { QCoreApplication::processEvents(); }

void LinuxRuntime::EndProgram() {
    // At once: no destructor, no further event handler.
    std::fflush(nullptr);
    ::_exit(0);
}

double LinuxRuntime::SecondsSinceMidnight() {
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local {};
    ::localtime_r(&now.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string LinuxRuntime::TodayShortDate() {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

}  // namespace vlmr
