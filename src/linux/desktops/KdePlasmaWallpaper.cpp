#include "KdePlasmaWallpaper.h"

#include "DesktopSetter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace vlmr {
namespace {

const QString kService = QStringLiteral("org.kde.plasmashell");
// plasmashell runs the script on its user-interface thread; a hung shell must not hang us.
constexpr int kCallTimeoutMs = 10000;

// org.kde.image's FillMode is a QtQuick Image fill mode: Pad 6, Tile 3, Stretch 0.
int FillMode(std::uint32_t style) {
    switch (style) {
    case WPSTYLE_CENTER: return 6;
    case WPSTYLE_TILE: return 3;
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
    bool Apply(const std::string& path, std::uint32_t style) override {
        // Plasma takes any URL without complaint and shows an empty desktop for a missing file.
        const std::optional<std::string> file = PictureFile(path);
        if (!file) return false;

        QDBusMessage call = QDBusMessage::createMethodCall(
            kService, QStringLiteral("/PlasmaShell"), QStringLiteral("org.kde.PlasmaShell"),
            QStringLiteral("evaluateScript"));
        call << ScriptFor(*file, style);
        const QDBusMessage reply =
            QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
        // A script error ("Widgets are locked", a missing desktop) comes back as an error reply.
        return reply.type() == QDBusMessage::ReplyMessage;
    }
};

}  // namespace

std::unique_ptr<ActiveDesktop> KdePlasmaWallpaper::Create() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return nullptr;
    // Only a running shell counts: outside Plasma nothing may start one for us.
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(kService);
    if (!registered.isValid() || !registered.value()) return nullptr;
    return std::make_unique<KdePlasmaDesktop>();
}

}  // namespace vlmr
