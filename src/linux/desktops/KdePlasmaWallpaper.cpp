#include "KdePlasmaWallpaper.h"

#include "DesktopSetter.h"
#include "DesktopStartWait.h"
#include "store/RunLog.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vlmr {
namespace {

const QString kService = QStringLiteral("org.kde.plasmashell");
// plasmashell runs the script on its user-interface thread; a hung shell must not hang us.
constexpr int kCallTimeoutMs = 10000;
// Between two scripts sent to a shell that owns its name but cannot run them yet.
constexpr std::chrono::milliseconds kScriptRetryPause{200};

const std::string kGaveUp = "plasmashell did not take scripts within " +
                            std::to_string(kDesktopStartWait.count()) + " s";

bool ShellRegistered(const QDBusConnection& bus) {
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(kService);
    return registered.isValid() && registered.value();
}

// Until plasmashell owns its name or the deadline has passed, serving events meanwhile.
bool WaitForShell(const QDBusConnection& bus, const QDeadlineTimer& deadline) {
    // Watching before looking: a shell that registers in between is not missed.
    QDBusServiceWatcher watcher(kService, bus, QDBusServiceWatcher::WatchForRegistration);
    bool registered = false;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &watcher,
                     [&registered] { registered = true; });
    if (ShellRegistered(bus)) return true;
    RunEventsUntil([&registered] { return registered; }, deadline);
    return ShellRegistered(bus);
}

// The shell's answer to one script. A shell busy starting may take a while
// to run it: the banner is served meanwhile.
QDBusMessage RunScript(const QDBusMessage& call) {
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, kCallTimeoutMs);
    QDBusPendingCallWatcher watcher(pending);  // its signal wakes the wait
    RunEventsUntil([&pending] { return pending.isFinished(); },
                   QDeadlineTimer(2 * kCallTimeoutMs));  // the bus ends the call at its timeout
    if (!pending.isFinished())
        return call.createErrorReply(QDBusError::NoReply, QStringLiteral("no answer"));
    return pending.reply();
}

// Plasma owns its name before its scripting object is there, and a shell
// that restarts leaves the name free for a moment: such a call found nobody
// to run the script, which is no answer yet.
bool NobodyToRunIt(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ErrorMessage) return false;
    switch (QDBusError(reply).type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod: return true;
    default: return reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}

// org.kde.image's FillMode is a QtQuick Image fill mode: Pad 6, Tile 3,
// Stretch 0, PreserveAspectFit 1, PreserveAspectCrop 2.
int FillMode(std::uint32_t style) {
    switch (style) {
    case WPSTYLE_CENTER: return 6;
    case WPSTYLE_TILE: return 3;
    case WPSTYLE_KEEPASPECT: return 1;
    case WPSTYLE_CROPTOFIT: return 2;
    default: return 0;
    }
}

// The text as the body of a JavaScript '...' literal.
QString JsSingleQuoted(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\'': out += QLatin1String("\\'"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case 0x2028: out += QLatin1String("\\u2028"); break;  // line breaks inside a literal
        case 0x2029: out += QLatin1String("\\u2029"); break;
        default: out += c;
        }
    }
    return out;
}

// A file:// URL of the name's bytes. Plasma keeps Image as a URL and parses
// it back with QUrl: a '%', '#' or '?' in the name must arrive encoded, or it
// would name another file, and a name that is no UTF-8 must arrive as its
// bytes, which only escapes carry. So every byte but the unreserved ones
// and '/' is escaped.
std::string FileUrl(const std::string& file) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : file) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '.' ||
                           c == '_' || c == '~';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 15];
        }
    }
    return url;
}

QString ScriptFor(const std::string& file, std::uint32_t style) {
    const std::string url = FileUrl(file);  // plain ASCII
    return QStringLiteral(
               "var image = '%1';\n"
               "var fillMode = %2;\n"
               "var all = desktops();\n"
               "for (var i = 0; i < all.length; ++i) {\n"
               "    var d = all[i];\n"
               "    d.wallpaperPlugin = 'org.kde.image';\n"
               "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
               "    d.writeConfig('Image', image);\n"
               "    d.writeConfig('FillMode', fillMode);\n"
               "}\n")
        // One pass: a chained arg() would read the URL's own %-escapes as markers.
        .arg(JsSingleQuoted(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size()))),
             QString::number(FillMode(style)));
}

// Runs the script in the shell, waiting within the deadline for a shell that
// takes scripts. What the script printed, or nullopt with why in `why`.
std::optional<QString> Evaluate(const QString& script, const QDeadlineTimer& deadline, std::string& why) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, QStringLiteral("/PlasmaShell"), QStringLiteral("org.kde.PlasmaShell"),
        QStringLiteral("evaluateScript"));
    call << script;
    QDBusMessage reply;
    const bool answered = WaitUntil(
        [&] {
            reply = RunScript(call);
            return !NobodyToRunIt(reply);
        },
        deadline, kScriptRetryPause);
    if (!answered) {
        why = kGaveUp;
        return std::nullopt;
    }
    if (reply.type() == QDBusMessage::ReplyMessage) {
        // The shell answers with what the script printed.
        const QVariantList arguments = reply.arguments();
        return arguments.isEmpty() ? QString() : arguments.constFirst().toString();
    }
    // A script error ("Widgets are locked", a missing desktop) comes back as an error reply.
    why = "plasmashell did not run the script: " + reply.errorMessage().toStdString();
    return std::nullopt;
}

class KdePlasmaDesktop final : public DesktopSetter {
public:
    explicit KdePlasmaDesktop(const QDeadlineTimer& shellDeadline) : shellDeadline_(shellDeadline) {}

    bool Apply(const std::string& file, std::uint32_t style) override {
        std::string why;
        return Evaluate(ScriptFor(file, style), shellDeadline_, why) || Refuse(file, why.c_str());
    }

private:
    QDeadlineTimer shellDeadline_;  // the bound of the wait that began in Create
};

// Each screen that has a desktop, one a line: its number, then its
// geometry where the shell tells it. Several activities each have a desktop
// on the same screen.
const QString kScreensScript = QStringLiteral(
    "var screens = [];\n"
    "desktops().forEach(function (d) {\n"
    "    if (d.screen >= 0 && screens.indexOf(d.screen) < 0) screens.push(d.screen);\n"
    "});\n"
    "screens.sort(function (a, b) { return a - b; });\n"
    "print(screens.map(function (s) {\n"
    "    var g = typeof screenGeometry === 'function' ? screenGeometry(s) : null;\n"
    "    return g && typeof g.width === 'number'\n"
    "        ? s + ' ' + g.width + 'x' + g.height + '+' + g.x + '+' + g.y : String(s);\n"
    "}).join('\\n'));\n");

// Gives each desktop on a screen in `images` (screen number to file URL)
// that picture, and prints the screens it gave one, comma-separated.
QString ScriptForScreens(const std::vector<std::pair<int, std::string>>& images, std::uint32_t style) {
    QString script = QStringLiteral("var images = {};\n");
    for (const auto& [screen, file] : images) {
        const std::string url = FileUrl(file);  // plain ASCII
        script += QStringLiteral("images[%1] = '%2';\n")
                      .arg(QString::number(screen),
                           JsSingleQuoted(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size()))));
    }
    return script + QStringLiteral(
                        "var fillMode = %1;\n"
                        "var done = [];\n"
                        "desktops().forEach(function (d) {\n"
                        "    var image = images[d.screen];\n"
                        "    if (image === undefined) return;\n"
                        "    d.wallpaperPlugin = 'org.kde.image';\n"
                        "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
                        "    d.writeConfig('Image', image);\n"
                        "    d.writeConfig('FillMode', fillMode);\n"
                        "    if (done.indexOf(d.screen) < 0) done.push(d.screen);\n"
                        "});\n"
                        "print(done.join(','));\n")
                        .arg(FillMode(style));
}

class KdePlasmaScreens final : public MonitorWallpapers {
public:
    explicit KdePlasmaScreens(const QDeadlineTimer& shellDeadline) : shellDeadline_(shellDeadline) {}

    // "screen N WxH+X+Y", by screen number.
    std::vector<std::string> Monitors() override {
        screens_.clear();
        std::string why;
        const std::optional<QString> printed = Evaluate(kScreensScript, shellDeadline_, why);
        if (!printed) return Unknown(why);
        std::vector<std::string> monitors;
        for (const QString& line : printed->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString text = line.trimmed();
            bool number = false;
            const int screen = text.section(QLatin1Char(' '), 0, 0).toInt(&number);
            if (!number || screen < 0) {
                screens_.clear();
                return Unknown("plasmashell's list of screens cannot be read: " + printed->toStdString());
            }
            screens_.push_back(screen);
            monitors.push_back("screen " + text.toStdString());
        }
        if (monitors.empty()) return Unknown("plasmashell told no screen that has a desktop");
        return monitors;
    }

    std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) override {
        if (screens_.empty() && Monitors().empty()) return {};
        std::vector<std::pair<int, std::string>> images;
        for (std::size_t i = 0; i < screens_.size(); ++i) {
            if (i >= pictures.size()) {
                SayWallpaperUnchanged("screen " + std::to_string(screens_[i]) + " was given no picture");
                continue;
            }
            if (std::optional<std::string> file = DesktopSetter::PictureFile(pictures[i]))
                images.emplace_back(screens_[i], std::move(*file));
        }
        std::vector<bool> shown(screens_.size(), false);
        if (images.empty()) return shown;
        // One script for all screens: the shell redraws once.
        std::string why;
        const std::optional<QString> printed =
            Evaluate(ScriptForScreens(images, static_cast<std::uint32_t>(style)), shellDeadline_, why);
        if (!printed) {
            for (const auto& [screen, file] : images) DesktopSetter::Refuse(file, why.c_str());
            return shown;
        }
        // A screen unplugged since it was told has no desktop that took the picture.
        const QStringList done = printed->trimmed().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const auto& [screen, file] : images) {
            const std::size_t at = static_cast<std::size_t>(
                std::find(screens_.begin(), screens_.end(), screen) - screens_.begin());
            shown[at] = done.contains(QString::number(screen));
            if (!shown[at]) {
                const std::string gone = "plasmashell has no desktop on screen " + std::to_string(screen);
                DesktopSetter::Refuse(file, gone.c_str());
            }
        }
        return shown;
    }

private:
    static std::vector<std::string> Unknown(const std::string& why) {
        LogError("the monitors cannot be told: " + why);
        return {};
    }

    QDeadlineTimer shellDeadline_;  // the bound of the wait that began in CreatePerMonitor
    std::vector<int> screens_;      // as Monitors() told them
};

// Waits for plasmashell to own its name within the deadline; false, after a line in the log, when it did not.
bool ShellAppeared(const QDeadlineTimer& deadline) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        SayWallpaperUnchanged("no session bus, so plasmashell cannot be reached");
        return false;
    }
    // Only a running shell counts: nothing may start one for us, so we wait for the session's own.
    if (!WaitForShell(bus, deadline)) {
        SayWallpaperUnchanged("org.kde.plasmashell did not appear on the session bus within " +
                              std::to_string(kDesktopStartWait.count()) + " s");
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<ActiveDesktop> KdePlasmaWallpaper::Create() {
    const QDeadlineTimer deadline(kDesktopStartWait);
    if (!ShellAppeared(deadline)) return nullptr;
    return std::make_unique<KdePlasmaDesktop>(deadline);
}

std::unique_ptr<MonitorWallpapers> KdePlasmaWallpaper::CreatePerMonitor() {
    const QDeadlineTimer deadline(kDesktopStartWait);
    if (!ShellAppeared(deadline)) return nullptr;
    return std::make_unique<KdePlasmaScreens>(deadline);
}

}  // namespace vlmr
