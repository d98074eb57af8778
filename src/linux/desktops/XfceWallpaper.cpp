#include "XfceWallpaper.h"

#include "DesktopSetter.h"
#include "store/RunLog.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vlmr {
namespace {

const QString kService = QStringLiteral("org.xfce.Xfconf");
const QString kPath = QStringLiteral("/org/xfce/Xfconf");
const QString kInterface = QStringLiteral("org.xfce.Xfconf");
const QString kChannel = QStringLiteral("xfce4-desktop");
// Generous: the first call may wait for the bus to start xfconfd.
constexpr int kCallTimeoutMs = 10000;

// xfdesktop's image-style: 1 centered, 2 tiled, 3 stretched, 4 scaled
// (inside, with bars), 5 zoomed (filled, cropped).
int ImageStyle(std::uint32_t style) {
    switch (style) {
    case WPSTYLE_CENTER: return 1;
    case WPSTYLE_TILE: return 2;
    case WPSTYLE_KEEPASPECT: return 4;
    case WPSTYLE_CROPTOFIT: return 5;
    default: return 3;
    }
}

QDBusMessage Call(const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
}

// Every "/backdrop/screenN/monitorNAME/workspaceM/" that xfdesktop has
// written; nullopt when xfconfd cannot be asked.
std::optional<QStringList> BackdropPrefixes() {
    const QDBusMessage reply =
        Call(QStringLiteral("GetAllProperties"), {kChannel, QStringLiteral("/backdrop")});
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // A channel or branch never written yet is no failure: there is nothing to update.
        const QString error = reply.errorName();
        if (error == QLatin1String("org.xfce.Xfconf.Error.PropertyNotFound") ||
            error == QLatin1String("org.xfce.Xfconf.Error.ChannelNotFound"))
            return QStringList();
        return std::nullopt;
    }
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant first = reply.arguments().constFirst();
    if (!first.canConvert<QDBusArgument>()) return std::nullopt;
    const auto properties = qdbus_cast<QVariantMap>(first.value<QDBusArgument>());

    static const QRegularExpression prefix(
        QStringLiteral("^/backdrop/screen\\d+/monitor[^/]+/workspace\\d+/"));
    QSet<QString> found;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        const QRegularExpressionMatch match = prefix.match(it.key());
        if (match.hasMatch()) found.insert(match.captured(0));
    }
    QStringList prefixes(found.cbegin(), found.cend());
    prefixes.sort();
    return prefixes;
}

// A fresh session has no backdrop properties yet: make the ones xfdesktop
// reads first, workspace 0 of every output. Qt names X11 screens after
// their XRandR outputs, as xfdesktop names its monitors.
QStringList NewPrefixes() {
    QStringList prefixes;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return prefixes;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QString name = screen->name();
        if (name.isEmpty() || name.contains(QLatin1Char('/'))) continue;
        const QString path = QStringLiteral("/backdrop/screen0/monitor%1/workspace0/").arg(name);
        if (!prefixes.contains(path)) prefixes << path;
    }
    return prefixes;
}

bool SetProperty(const QString& property, const QVariant& value) {
    // The value travels as a variant of its own type: s for the file, i for the style.
    const QDBusMessage reply = Call(QStringLiteral("SetProperty"),
                                    {kChannel, property, QVariant::fromValue(QDBusVariant(value))});
    return reply.type() == QDBusMessage::ReplyMessage;
}

// The style first, so the new picture is never drawn in the old style.
bool SetBackdrop(const QString& prefix, const QString& image, int imageStyle) {
    return SetProperty(prefix + QStringLiteral("image-style"), QVariant(imageStyle)) &&
           SetProperty(prefix + QStringLiteral("last-image"), QVariant(image));
}

QString Utf8Name(const std::string& file) {
    return QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
}

class XfceDesktop final : public DesktopSetter {
public:
    bool Apply(const std::string& file, std::uint32_t style) override {
        // xfconf strings are UTF-8 on the bus; another encoding cannot be said.
        if (!NameIsUtf8(file, "xfconf")) return false;

        std::optional<QStringList> prefixes = BackdropPrefixes();
        if (!prefixes) return Refuse(file, "xfconfd did not answer the question for the backdrop properties");
        if (prefixes->isEmpty()) *prefixes = NewPrefixes();
        if (prefixes->isEmpty()) return Refuse(file, "xfconf knows no monitor to give a backdrop");

        const QString image = Utf8Name(file);
        const int imageStyle = ImageStyle(style);
        const bool set = std::all_of(prefixes->cbegin(), prefixes->cend(), [&](const QString& prefix) {
            return SetBackdrop(prefix, image, imageStyle);
        });
        return set || Refuse(file, "xfconfd refused a backdrop property");
    }
};

// xfdesktop keeps a backdrop for each workspace of each monitor; a monitor
// here is all the backdrops of one monitor name.
class XfceMonitors final : public MonitorWallpapers {
public:
    std::vector<std::string> Monitors() override {
        monitors_.clear();
        std::optional<QStringList> prefixes = BackdropPrefixes();
        if (!prefixes) return Unknown("xfconfd did not answer the question for the backdrop properties");
        if (prefixes->isEmpty()) *prefixes = NewPrefixes();
        static const QRegularExpression monitor(QStringLiteral("/monitor([^/]+)/"));
        for (const QString& prefix : *prefixes) {
            const QString name = monitor.match(prefix).captured(1);
            const auto known = std::find_if(monitors_.begin(), monitors_.end(),
                                            [&name](const Monitor& m) { return m.name == name; });
            if (known != monitors_.end())
                known->prefixes << prefix;
            else
                monitors_.push_back({name, {prefix}});
        }
        if (monitors_.empty()) return Unknown("xfconf knows no monitor to give a backdrop");
        std::vector<std::string> names;
        for (const Monitor& m : monitors_) names.push_back(m.name.toStdString());
        return names;
    }

    std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) override {
        if (monitors_.empty() && Monitors().empty()) return {};
        const int imageStyle = ImageStyle(static_cast<std::uint32_t>(style));
        std::vector<bool> shown(monitors_.size(), false);
        for (std::size_t i = 0; i < monitors_.size(); ++i) {
            const Monitor& m = monitors_[i];
            const std::string name = m.name.toStdString();
            if (i >= pictures.size()) {
                SayWallpaperUnchanged("monitor " + name + " was given no picture");
                continue;
            }
            const std::optional<std::string> file = DesktopSetter::PictureFile(pictures[i]);
            if (!file || !DesktopSetter::NameIsUtf8(*file, "xfconf")) continue;
            const QString image = Utf8Name(*file);
            const bool set = std::all_of(m.prefixes.cbegin(), m.prefixes.cend(), [&](const QString& prefix) {
                return SetBackdrop(prefix, image, imageStyle);
            });
            if (!set) {
                const std::string why = "xfconfd refused a backdrop property of monitor " + name;
                DesktopSetter::Refuse(*file, why.c_str());
                continue;
            }
            LogInfo("xfconf: " + m.prefixes.join(QStringLiteral(", ")).toStdString() + " last-image " +
                    *file + ", image-style " + std::to_string(imageStyle));
            shown[i] = true;
        }
        return shown;
    }

private:
    struct Monitor {
        QString name;         // as in "monitorNAME"
        QStringList prefixes; // one backdrop a workspace (and screen)
    };

    static std::vector<std::string> Unknown(const std::string& why) {
        LogError("the monitors cannot be told: " + why);
        return {};
    }

    std::vector<Monitor> monitors_;  // as Monitors() told them
};

// Whether xfconfd is on the session bus or the bus can start it; when not, after a line in the log.
bool XfconfReachable() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        SayWallpaperUnchanged("no session bus, so xfconfd cannot be reached");
        return false;
    }
    // xfconfd is usually started by the bus on the first call.
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(kService);
    if (registered.isValid() && registered.value()) return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    if (activatable.isValid() && activatable.value().contains(kService)) return true;
    SayWallpaperUnchanged("org.xfce.Xfconf is neither on the session bus nor startable by it");
    return false;
}

}  // namespace

std::unique_ptr<ActiveDesktop> XfceWallpaper::Create() {
    if (!XfconfReachable()) return nullptr;
    return std::make_unique<XfceDesktop>();
}

std::unique_ptr<MonitorWallpapers> XfceWallpaper::CreatePerMonitor() {
    if (!XfconfReachable()) return nullptr;
    return std::make_unique<XfceMonitors>();
}

}  // namespace vlmr
