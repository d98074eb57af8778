#include "KdePlasmaWallpaper.h"

#include "DesktopSetter.h"
#include "DesktopStartWait.h"

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

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

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

class KdePlasmaDesktop final : public DesktopSetter {
public:
    explicit KdePlasmaDesktop(const QDeadlineTimer& shellDeadline) : shellDeadline_(shellDeadline) {}

    bool Apply(const std::string& file, std::uint32_t style) override {
        QDBusMessage call = QDBusMessage::createMethodCall(
            kService, QStringLiteral("/PlasmaShell"), QStringLiteral("org.kde.PlasmaShell"),
            QStringLiteral("evaluateScript"));
        call << ScriptFor(file, style);
        QDBusMessage reply;
        const bool answered = WaitUntil(
            [&] {
                reply = RunScript(call);
                return !NobodyToRunIt(reply);
            },
            shellDeadline_, kScriptRetryPause);
        if (!answered) return Refuse(file, kGaveUp.c_str());
        if (reply.type() == QDBusMessage::ReplyMessage) return true;
        // A script error ("Widgets are locked", a missing desktop) comes back as an error reply.
        const std::string why = "plasmashell did not run the script: " +
                                reply.errorMessage().toStdString();
        return Refuse(file, why.c_str());
    }

private:
    QDeadlineTimer shellDeadline_;  // the bound of the wait that began in Create
};

}  // namespace

std::unique_ptr<ActiveDesktop> KdePlasmaWallpaper::Create() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        SayWallpaperUnchanged("no session bus, so plasmashell cannot be reached");
        return nullptr;
    }
    // Only a running shell counts: nothing may start one for us, so we wait for the session's own.
    const QDeadlineTimer deadline(kDesktopStartWait);
    if (!WaitForShell(bus, deadline)) {
        SayWallpaperUnchanged("org.kde.plasmashell did not appear on the session bus within " +
                              std::to_string(kDesktopStartWait.count()) + " s");
        return nullptr;
    }
    return std::make_unique<KdePlasmaDesktop>(deadline);
}

}  // namespace vlmr
