#include "SwayWallpaper.h"

#include "DesktopSetter.h"
#include "DesktopStartWait.h"
#include "linux/UserFolders.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vlmr {
namespace {

// swaymsg answers at once from a live compositor; a hung one must not hold up the boot run.
constexpr int kReplyTimeoutMs = 10000;

// Between two looks for a socket that is not there yet.
constexpr std::chrono::milliseconds kSocketPollPause{200};

enum class SocketState {
    Answers,  // something accepts connections on it
    Absent,   // not made yet, when sway is still starting
    Dead,     // never will answer: not a socket, or one nobody listens on
};

SocketState SocketAt(const char* path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof address.sun_path) return SocketState::Dead;
    struct stat info {};
    if (stat(path, &info) != 0) return errno == ENOENT ? SocketState::Absent : SocketState::Dead;
    if (!S_ISSOCK(info.st_mode)) return SocketState::Dead;
    std::strcpy(address.sun_path, path);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return SocketState::Dead;
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    // sway listens on its socket as soon as it has made it: one that refuses
    // was left behind by a compositor that has ended.
    return ok ? SocketState::Answers : SocketState::Dead;
}

// swaymsg prints one object a command, each with "success"; all must have succeeded.
bool AllSucceeded(const QByteArray& reply) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(reply, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return false;
    const QJsonArray results = document.array();
    if (results.isEmpty()) return false;
    for (const QJsonValue& result : results) {
        if (!result.isObject() || result.toObject().value("success") != QJsonValue(true))
            return false;
    }
    return true;
}

// sway first splits a command on unquoted ';' and ',' and into words on
// unquoted blanks, honouring '"', '\'' and backslash, and replaces its own
// $variables; the words of a file name are then joined again and expanded
// by wordexp (variables, command substitution, globbing, ~, quote removal).
// A backslash before every character either stage might act on survives the
// first intact and is removed by the second, leaving the name as it was.
// Bytes of multi-byte characters mean nothing to either and pass as they are.
std::string SwayWord(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = byte >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-';
        if (!plain) quoted += '\\';
        quoted += c;
    }
    return quoted;
}

const char* ModeWord(std::uint32_t style) {
    switch (style) {
    case WPSTYLE_CENTER: return "center";
    case WPSTYLE_TILE: return "tile";
    case WPSTYLE_KEEPASPECT: return "fit";
    case WPSTYLE_CROPTOFIT: return "fill";
    default: return "stretch";
    }
}

class SwayDesktop final : public DesktopSetter {
public:
    explicit SwayDesktop(QString swaymsg) : swaymsg_(std::move(swaymsg)) {}

    // sway keeps the setting for the running session and redraws at once;
    bool Apply(const std::string& file, std::uint32_t style) override {
        // swaymsg takes its command as text and sway reads it as UTF-8.
        if (!NameIsUtf8(file, "swaymsg")) return false;
        // sway turns a line break inside a command into a command separator,
        // so such a path cannot be said to it.
        if (file.find('\n') != std::string::npos)
            return Refuse(file, "sway would read the line break in the name as a new command");
        if (::access(file.c_str(), R_OK) != 0) return Refuse(file, "the file cannot be read");

        QProcess swaymsg;
        swaymsg.setProgram(swaymsg_);
        swaymsg.setArguments({"-r", "--", "output", "*", "bg",
                              QString::fromStdString(SwayWord(file)),
                              ModeWord(style)});
        swaymsg.setStandardInputFile(QProcess::nullDevice());
        swaymsg.setProcessChannelMode(QProcess::SeparateChannels);
        swaymsg.start();
        if (!swaymsg.waitForStarted(kReplyTimeoutMs)) return Refuse(file, "swaymsg could not be started");
        if (!swaymsg.waitForFinished(kReplyTimeoutMs)) {
            swaymsg.kill();
            swaymsg.waitForFinished(kReplyTimeoutMs);
            return Refuse(file, "swaymsg got no answer from sway in time");
        }
        if (swaymsg.exitStatus() != QProcess::NormalExit || swaymsg.exitCode() != 0 ||
            !AllSucceeded(swaymsg.readAllStandardOutput()))
            return Refuse(file, "sway refused the command");
        return true;
    }

private:
    QString swaymsg_;
};

}  // namespace

std::unique_ptr<ActiveDesktop> SwayWallpaper::Create() {
    const std::string socket = Environment("SWAYSOCK");
    if (socket.empty()) {
        SayWallpaperUnchanged("SWAYSOCK is not set, so sway cannot be reached");
        return nullptr;
    }
    QString swaymsg = QStandardPaths::findExecutable("swaymsg");
    if (swaymsg.isEmpty()) {
        SayWallpaperUnchanged("swaymsg is not on PATH");
        return nullptr;
    }
    // Started at logon, we may look before sway has made its socket.
    SocketState state = SocketState::Absent;
    WaitUntil([&] { return (state = SocketAt(socket.c_str())) != SocketState::Absent; },
              QDeadlineTimer(kDesktopStartWait), kSocketPollPause);
    switch (state) {
    case SocketState::Answers: return std::make_unique<SwayDesktop>(std::move(swaymsg));
    case SocketState::Absent:
        SayWallpaperUnchanged("sway's socket " + socket + " did not appear within " +
                              std::to_string(kDesktopStartWait.count()) + " s");
        return nullptr;
    case SocketState::Dead: break;
    }
    SayWallpaperUnchanged("nothing answers on sway's socket " + socket);
    return nullptr;
}

}  // namespace vlmr
