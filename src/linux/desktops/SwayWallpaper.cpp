#include "SwayWallpaper.h"

#include "DesktopSetter.h"
#include "DesktopStartWait.h"
#include "linux/UserFolders.h"
#include "store/RunLog.h"

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
#include <vector>

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

// What swaymsg answered, when it ran to a normal end with success; nullopt,
// with why in `why`, otherwise.
std::optional<QByteArray> RunSwaymsg(const QString& program, const QStringList& arguments,
                                     std::string& why) {
    QProcess swaymsg;
    swaymsg.setProgram(program);
    swaymsg.setArguments(arguments);
    swaymsg.setStandardInputFile(QProcess::nullDevice());
    swaymsg.setProcessChannelMode(QProcess::SeparateChannels);
    swaymsg.start();
    if (!swaymsg.waitForStarted(kReplyTimeoutMs)) {
        why = "swaymsg could not be started";
        return std::nullopt;
    }
    if (!swaymsg.waitForFinished(kReplyTimeoutMs)) {
        swaymsg.kill();
        swaymsg.waitForFinished(kReplyTimeoutMs);
        why = "swaymsg got no answer from sway in time";
        return std::nullopt;
    }
    if (swaymsg.exitStatus() != QProcess::NormalExit || swaymsg.exitCode() != 0) {
        why = "sway refused the command";
        return std::nullopt;
    }
    return swaymsg.readAllStandardOutput();
}

// Sets the background of the outputs that `output` names (sway's own
// quoting: "*" for all); false, after a line in the log, when it did not.
bool SetBackground(const QString& swaymsg, const QString& output, const std::string& file,
                   std::uint32_t style) {
    std::string why;
    const std::optional<QByteArray> reply = RunSwaymsg(
        swaymsg,
        {"-r", "--", "output", output, "bg", QString::fromStdString(SwayWord(file)), ModeWord(style)},
        why);
    if (!reply) return DesktopSetter::Refuse(file, why.c_str());
    if (!AllSucceeded(*reply)) return DesktopSetter::Refuse(file, "sway refused the command");
    return true;
}

// Whether the file, a checked absolute name, can be said to sway and read by swaybg.
bool SwayCanShow(const std::string& file) {
    // swaymsg takes its command as text and sway reads it as UTF-8.
    if (!DesktopSetter::NameIsUtf8(file, "swaymsg")) return false;
    // sway turns a line break inside a command into a command separator,
    // so such a path cannot be said to it.
    if (file.find('\n') != std::string::npos)
        return DesktopSetter::Refuse(file, "sway would read the line break in the name as a new command");
    if (::access(file.c_str(), R_OK) != 0) return DesktopSetter::Refuse(file, "the file cannot be read");
    return true;
}

// An output's name as the first word of sway's `output` command. sway
// matches it as said once one pair of quotes around it is gone: a backslash
// there stays a backslash, and a $variable is replaced even inside quotes.
// nullopt for a name that cannot be said so (no output of a real session
// has one: they are connector names like "HDMI-A-1").
std::optional<QString> SwayOutputName(const std::string& name) {
    if (name.empty() || name == "*") return std::nullopt;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '$' || c == '\\') return std::nullopt;
    }
    const QString text = QString::fromStdString(name);
    for (const QChar quote : {QChar(u'"'), QChar(u'\'')})
        if (!text.contains(quote)) return QString(quote) + text + quote;
    return std::nullopt;
}

class SwayDesktop final : public DesktopSetter {
public:
    explicit SwayDesktop(QString swaymsg) : swaymsg_(std::move(swaymsg)) {}

    // sway keeps the setting for the running session and redraws at once.
    bool Apply(const std::string& file, std::uint32_t style) override {
        return SwayCanShow(file) && SetBackground(swaymsg_, "*", file, style);
    }

private:
    QString swaymsg_;
};

class SwayOutputs final : public MonitorWallpapers {
public:
    explicit SwayOutputs(QString swaymsg) : swaymsg_(std::move(swaymsg)) {}

    // The active outputs, in sway's order: "NAME WxH+X+Y".
    std::vector<std::string> Monitors() override {
        names_.clear();
        std::string why;
        const std::optional<QByteArray> reply = RunSwaymsg(swaymsg_, {"-r", "-t", "get_outputs"}, why);
        if (!reply) return Unknown(why);
        const QJsonDocument document = QJsonDocument::fromJson(*reply);
        if (!document.isArray()) return Unknown("sway's list of outputs is no JSON array");
        std::vector<std::string> monitors;
        for (const QJsonValue& value : document.array()) {
            const QJsonObject output = value.toObject();
            // An inactive output is switched off or left out of the layout: nothing shows there.
            if (output.value("active") != QJsonValue(true)) continue;
            const std::string name = output.value("name").toString().toStdString();
            if (name.empty()) continue;
            const QJsonObject rect = output.value("rect").toObject();
            const auto number = [&rect](const char* key) {
                return std::to_string(rect.value(key).toInt());
            };
            names_.push_back(name);
            monitors.push_back(name + " " + number("width") + "x" + number("height") + "+" +
                               number("x") + "+" + number("y"));
        }
        if (monitors.empty()) return Unknown("sway has no active output");
        return monitors;
    }

    std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) override {
        if (names_.empty() && Monitors().empty()) return {};
        const auto mode = static_cast<std::uint32_t>(
            style >= WPSTYLE_CENTER && style <= WPSTYLE_CROPTOFIT ? style : WPSTYLE_STRETCH);
        std::vector<bool> shown(names_.size(), false);
        // One command an output: a refusal for one leaves the others set.
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (i >= pictures.size()) {
                SayWallpaperUnchanged("output " + names_[i] + " was given no picture");
                continue;
            }
            const std::optional<std::string> file = DesktopSetter::PictureFile(pictures[i]);
            if (!file || !SwayCanShow(*file)) continue;
            const std::optional<QString> output = SwayOutputName(names_[i]);
            if (!output) {
                const std::string why = "the output's name " + names_[i] + " cannot be said to sway";
                DesktopSetter::Refuse(*file, why.c_str());
                continue;
            }
            shown[i] = SetBackground(swaymsg_, *output, *file, mode);
        }
        return shown;
    }

private:
    static std::vector<std::string> Unknown(const std::string& why) {
        LogError("the monitors cannot be told: " + why);
        return {};
    }

    QString swaymsg_;
    std::vector<std::string> names_;  // of the outputs Monitors() told, in its order
};

// The swaymsg that reaches this session's sway; nullopt, after a line in the log, when none does.
std::optional<QString> SessionSwaymsg() {
    const std::string socket = Environment("SWAYSOCK");
    if (socket.empty()) {
        SayWallpaperUnchanged("SWAYSOCK is not set, so sway cannot be reached");
        return std::nullopt;
    }
    QString swaymsg = QStandardPaths::findExecutable("swaymsg");
    if (swaymsg.isEmpty()) {
        SayWallpaperUnchanged("swaymsg is not on PATH");
        return std::nullopt;
    }
    // Started at logon, we may look before sway has made its socket.
    SocketState state = SocketState::Absent;
    WaitUntil([&] { return (state = SocketAt(socket.c_str())) != SocketState::Absent; },
              QDeadlineTimer(kDesktopStartWait), kSocketPollPause);
    switch (state) {
    case SocketState::Answers: return swaymsg;
    case SocketState::Absent:
        SayWallpaperUnchanged("sway's socket " + socket + " did not appear within " +
                              std::to_string(kDesktopStartWait.count()) + " s");
        return std::nullopt;
    case SocketState::Dead: break;
    }
    SayWallpaperUnchanged("nothing answers on sway's socket " + socket);
    return std::nullopt;
}

}  // namespace

std::unique_ptr<ActiveDesktop> SwayWallpaper::Create() {
    std::optional<QString> swaymsg = SessionSwaymsg();
    if (!swaymsg) return nullptr;
    return std::make_unique<SwayDesktop>(std::move(*swaymsg));
}

std::unique_ptr<MonitorWallpapers> SwayWallpaper::CreatePerMonitor() {
    std::optional<QString> swaymsg = SessionSwaymsg();
    if (!swaymsg) return nullptr;
    return std::make_unique<SwayOutputs>(std::move(*swaymsg));
}

}  // namespace vlmr
