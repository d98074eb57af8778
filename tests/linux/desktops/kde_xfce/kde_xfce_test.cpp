// The KDE Plasma and XFCE setters over a private session bus: XFCE against
// the real xfconfd, read back over D-Bus; KDE against a stand-in plasmashell
// whose recorded scripts node then runs on mock desktops. Each setter runs
// in the probe, a process of its own, since a process keeps the first
// session bus it meets.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QVariantMap>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exit = -1;
    QString out;
    QString err;
};

void Finish(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// The first line a starting service prints: its address, display or "ready".
QString FirstLine(QProcess& process) {
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000)) return {};
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

// Until the process has exited: gone, or a zombie left for its parent to reap.
void WaitUntilEnded(uint pid) {
    for (int i = 0; i < 250; ++i) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) return;
        const QByteArray line = stat.readAll();
        const qsizetype end = line.lastIndexOf(')');  // the name may hold blanks
        if (end < 0 || line.mid(end + 2, 1) == "Z") return;
        QThread::msleep(20);
    }
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// A session of its own: home, XDG folders and a session bus, all under one
// temporary folder, so tests can run side by side.
class PrivateSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        for (const char* dir : {"home", "config", "config-dirs", "data", "cache", "runtime",
                                "services", "pictures"})
            ASSERT_TRUE(QDir(root_.path()).mkpath(QString::fromLatin1(dir)));
        QFile::setPermissions(Dir("runtime"), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "SWAYSOCK",
                                 "DBUS_SESSION_BUS_ADDRESS", "XDG_DATA_DIRS"})
            env_.remove(QString::fromLatin1(name));
        env_.insert(QStringLiteral("HOME"), Dir("home"));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), Dir("config"));
        // No system defaults (/etc/xdg/xfce4) leak into the channel.
        env_.insert(QStringLiteral("XDG_CONFIG_DIRS"), Dir("config-dirs"));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), Dir("data"));
        env_.insert(QStringLiteral("XDG_CACHE_HOME"), Dir("cache"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), Dir("runtime"));
    }

    void TearDown() override {
        if (!connectionName_.isEmpty()) QDBusConnection::disconnectFromBus(connectionName_);
        Finish(bus_);
        Finish(xvfb_);
    }

    QString Dir(const char* name) const { return root_.filePath(QString::fromLatin1(name)); }

    // Starts the bus; with xfconf, the bus starts xfconfd on the first call as a desktop's would.
    void StartBus(bool xfconfActivatable) {
        if (xfconfActivatable) {
            ASSERT_TRUE(QFileInfo(QStringLiteral(VELMORA_XFCONFD)).isExecutable())
                << "xfconfd missing (Debian package xfconf)";
            ASSERT_TRUE(WriteFile(Dir("services") + QStringLiteral("/org.xfce.Xfconf.service"),
                                  "[D-BUS Service]\nName=org.xfce.Xfconf\nExec=" VELMORA_XFCONFD
                                  "\n"));
        }
        const QString config = root_.filePath(QStringLiteral("bus.conf"));
        ASSERT_TRUE(WriteFile(
            config, QStringLiteral("<busconfig>\n"
                                   "  <type>session</type>\n"
                                   "  <listen>unix:dir=%1</listen>\n"
                                   "  <auth>EXTERNAL</auth>\n"
                                   "  <servicedir>%2</servicedir>\n"
                                   "  <policy context=\"default\">\n"
                                   "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                   "    <allow eavesdrop=\"true\"/>\n"
                                   "    <allow own=\"*\"/>\n"
                                   "  </policy>\n"
                                   "</busconfig>\n")
                        .arg(Dir("runtime"), Dir("services"))
                        .toUtf8()));
        // Services the bus starts get its environment: our folders, not root's.
        bus_.setProcessEnvironment(env_);
        bus_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--nofork"), QStringLiteral("--config-file=") + config,
                    QStringLiteral("--print-address=1")});
        address_ = FirstLine(bus_);
        ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon did not start: "
                                         << bus_.readAllStandardError().toStdString();
        env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    }

    // Our own connection to the private bus, to read back what the setter did.
    QDBusConnection Bus() {
        if (connectionName_.isEmpty()) {
            static int count = 0;
            connectionName_ = QStringLiteral("kde_xfce_test_%1").arg(++count);
            QDBusConnection::connectToBus(address_, connectionName_);
        }
        return QDBusConnection(connectionName_);
    }

    void StartXvfb() {
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("320x240x24")});
        const QString display = FirstLine(xvfb_);
        ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
        display_ = QStringLiteral(":") + display;
    }

    static Outcome Execute(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& env) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        Outcome run;
        // Beyond the 30 s a setter may wait for its desktop's shell.
        if (!process.waitForFinished(60000)) {
            Finish(process);
            run.err = QStringLiteral("did not finish: ") + program;
            return run;
        }
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // One boot run's worth of calls on the setter: 0 applied, 1 refused, 2 absent.
    Outcome Probe(const char* which, int style, const QString& path, bool withDisplay = false) {
        QProcessEnvironment env = env_;
        if (withDisplay) {
            env.insert(QStringLiteral("DISPLAY"), display_);
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        return Execute(QStringLiteral(VELMORA_PROBE),
                       {QString::fromLatin1(which), QString::number(style), path}, env);
    }

    // The same for a picture per monitor: the probe prints "monitor=" lines and "shown=".
    Outcome ProbeEach(const char* which, int style, const QStringList& pictures) {
        return Execute(QStringLiteral(VELMORA_PROBE),
                       QStringList{QString::fromLatin1(which), QStringLiteral("each"),
                                   QString::number(style)} + pictures,
                       env_);
    }

    QString Picture(const QString& name) {
        const QString path = Dir("pictures") + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(WriteFile(path, "BM"));  // the setters hand the file on; nobody here decodes it
        return path;
    }

    // A picture named in Latin-1, which QString cannot carry: created from
    // the name's bytes and handed to the probe as hex.
    QString Latin1Picture(const QByteArray& name) {
        const QByteArray path = QFile::encodeName(Dir("pictures")) + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0) << path.toStdString();
        if (fd >= 0) ::close(fd);
        return QStringLiteral("hex:") + QString::fromLatin1(path.toHex());
    }

    QTemporaryDir root_{QDir::tempPath() + QStringLiteral("/kde_xfce-XXXXXX")};
    QProcessEnvironment env_;
    QProcess bus_;
    QProcess xvfb_;
    QString address_;
    QString display_;
    QString connectionName_;
};

// ---------------------------------------------------------------- XFCE

class XfceSession : public PrivateSession {
protected:
    void TearDown() override {
        // xfconfd was started by the bus, not by us: stop it by its id before the bus goes.
        if (!address_.isEmpty()) {
            const QDBusReply<uint> pid =
                Bus().interface()->servicePid(QStringLiteral("org.xfce.Xfconf"));
            if (pid.isValid() && pid.value() > 0) {
                ::kill(static_cast<pid_t>(pid.value()), SIGTERM);
                // It saves the channel as it goes: wait, or it writes into a folder being removed.
                WaitUntilEnded(pid.value());
            }
        }
        PrivateSession::TearDown();
    }

    void Seed(const QString& property, const char* type, const QString& value) {
        const Outcome run = Execute(QStringLiteral(VELMORA_XFCONF_QUERY),
                                {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                                 QStringLiteral("-p"), property, QStringLiteral("-n"),
                                 QStringLiteral("-t"), QString::fromLatin1(type),
                                 QStringLiteral("-s"), value},
                                env_);
        ASSERT_EQ(run.exit, 0) << "xfconf-query: " << run.err.toStdString();
    }

    // Every property under /backdrop with its value as xfconfd holds it.
    QVariantMap Backdrop() {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.xfce.Xfconf"), QStringLiteral("/org/xfce/Xfconf"),
            QStringLiteral("org.xfce.Xfconf"), QStringLiteral("GetAllProperties"));
        call << QStringLiteral("xfce4-desktop") << QStringLiteral("/backdrop");
        const QDBusMessage reply = Bus().call(call, QDBus::Block, 10000);
        if (reply.type() == QDBusMessage::ErrorMessage &&
            reply.errorName() == QLatin1String("org.xfce.Xfconf.Error.PropertyNotFound"))
            return {};
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            ADD_FAILURE() << "GetAllProperties: " << reply.errorMessage().toStdString();
            return {};
        }
        return qdbus_cast<QVariantMap>(reply.arguments().constFirst().value<QDBusArgument>());
    }

    // The file and style of one backdrop, each in the type xfdesktop reads.
    static void ExpectBackdrop(const QVariantMap& backdrop, const QString& prefix,
                               const QString& image, int style) {
        const QVariant lastImage = backdrop.value(prefix + QStringLiteral("last-image"));
        const QVariant imageStyle = backdrop.value(prefix + QStringLiteral("image-style"));
        EXPECT_EQ(lastImage.typeId(), QMetaType::QString) << prefix.toStdString();
        EXPECT_EQ(lastImage.toString(), image) << prefix.toStdString();
        EXPECT_EQ(imageStyle.typeId(), QMetaType::Int) << prefix.toStdString();
        EXPECT_EQ(imageStyle.toInt(), style) << prefix.toStdString();
    }

    void SetUp() override {
        PrivateSession::SetUp();
        ASSERT_TRUE(QFileInfo(QStringLiteral(VELMORA_XFCONF_QUERY)).isExecutable())
            << "xfconf-query missing (Debian package xfconf)";
    }
};
using xfce = XfceSession;  // test names read linux.desktop.xfce.*

const QString kScreen0 = QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/");
const QString kScreen1 = QStringLiteral("/backdrop/screen0/monitorscreen/workspace1/");
const QString kHdmi0 = QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace0/");

TEST_F(xfce, UpdatesEveryMonitorAndWorkspaceFound) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));
    Seed(kScreen0 + QStringLiteral("last-image"), "string", QStringLiteral("/old/a.png"));
    Seed(kScreen0 + QStringLiteral("image-style"), "int", QStringLiteral("5"));
    Seed(kScreen1 + QStringLiteral("last-image"), "string", QStringLiteral("/old/b.png"));
    Seed(kHdmi0 + QStringLiteral("color-style"), "int", QStringLiteral("0"));
    Seed(QStringLiteral("/backdrop/single-workspace-mode"), "bool", QStringLiteral("true"));
    const QString picture = Picture(QStringLiteral("Été au lac/vue 1.bmp"));

    const Outcome run = Probe("xfce", 1, picture);
    ASSERT_EQ(run.exit, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("active=1")));  // nothing to switch on

    const QVariantMap backdrop = Backdrop();
    for (const QString& prefix : {kScreen0, kScreen1, kHdmi0})
        ExpectBackdrop(backdrop, prefix, picture, 2);
    // Only the backdrops found were touched; other settings stay as they were.
    EXPECT_EQ(backdrop.size(), 8);
    EXPECT_EQ(backdrop.value(kHdmi0 + QStringLiteral("color-style")), QVariant(0));
    EXPECT_EQ(backdrop.value(QStringLiteral("/backdrop/single-workspace-mode")), QVariant(true));
}

TEST_F(xfce, EachMonitorsWorkspacesGetItsOwnPicture) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));
    const QString hdmi1 = QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace1/");
    const QString dp0 = QStringLiteral("/backdrop/screen0/monitorDP-2/workspace0/");
    Seed(kHdmi0 + QStringLiteral("last-image"), "string", QStringLiteral("/old/a.png"));
    Seed(hdmi1 + QStringLiteral("image-style"), "int", QStringLiteral("5"));
    Seed(dp0 + QStringLiteral("last-image"), "string", QStringLiteral("/old/b.png"));
    const QString left = Picture(QStringLiteral("left.bmp"));
    const QString right = Picture(QStringLiteral("right.bmp"));

    Outcome run = ProbeEach("xfce", 1, {left, right});
    ASSERT_EQ(run.exit, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("monitor=DP-2\nmonitor=HDMI-1\nshown=11\n"));
    QVariantMap backdrop = Backdrop();
    EXPECT_EQ(backdrop.size(), 6);
    ExpectBackdrop(backdrop, dp0, left, 2);
    for (const QString& prefix : {kHdmi0, hdmi1}) ExpectBackdrop(backdrop, prefix, right, 2);

    // A picture that is gone leaves its monitor as it was, and only that one.
    const QString later = Picture(QStringLiteral("later.bmp"));
    run = ProbeEach("xfce", 3, {Dir("pictures") + QStringLiteral("/gone.bmp"), later});
    EXPECT_EQ(run.exit, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("shown=01\n"))) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral(" error the wallpaper stays as it was; "))) << run.err.toStdString();
    backdrop = Backdrop();
    ExpectBackdrop(backdrop, dp0, left, 2);
    for (const QString& prefix : {kHdmi0, hdmi1}) ExpectBackdrop(backdrop, prefix, later, 4);
}

TEST_F(xfce, EveryStyleCodeAndARefusedOne) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));
    Seed(kScreen0 + QStringLiteral("last-image"), "string", QStringLiteral("/old/a.png"));
    const struct {
        int style;
        int imageStyle;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}};  // fit is scaled, fill is zoomed
    QString last;
    for (const auto& c : cases) {
        last = Picture(QStringLiteral("style%1.bmp").arg(c.style));
        const Outcome run = Probe("xfce", c.style, last);
        ASSERT_EQ(run.exit, 0) << run.err.toStdString();
        ExpectBackdrop(Backdrop(), kScreen0, last, c.imageStyle);
    }
    // A code outside 0..4 is refused, and with it the whole apply.
    const Outcome run = Probe("xfce", 5, Picture(QStringLiteral("style5.bmp")));
    EXPECT_EQ(run.exit, 1);
    EXPECT_TRUE(run.out.contains(QStringLiteral("style=0"))) << run.out.toStdString();
    ExpectBackdrop(Backdrop(), kScreen0, last, 5);
}

TEST_F(xfce, CreatesBackdropPerOutputWhenNoneExist) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));  // xfconfd not running yet: only activatable
    ASSERT_NO_FATAL_FAILURE(StartXvfb());
    const QString picture = Picture(QStringLiteral("first.bmp"));

    // Without a display there are no outputs to name: refused, nothing made up.
    Outcome run = Probe("xfce", 2, picture);
    EXPECT_EQ(run.exit, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(Backdrop().isEmpty());

    // Xvfb has one output, "screen".
    run = Probe("xfce", 0, picture, true);
    ASSERT_EQ(run.exit, 0) << run.out.toStdString() << run.err.toStdString();
    const QVariantMap backdrop = Backdrop();
    EXPECT_EQ(backdrop.keys(),
              QStringList({kScreen0 + QStringLiteral("image-style"),
                           kScreen0 + QStringLiteral("last-image")}));
    ExpectBackdrop(backdrop, kScreen0, picture, 1);
}

TEST_F(xfce, MissingFileOrFolderWritesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));
    Seed(kScreen0 + QStringLiteral("last-image"), "string", QStringLiteral("/old/a.png"));
    Seed(kScreen0 + QStringLiteral("image-style"), "int", QStringLiteral("5"));
    const QVariantMap before = Backdrop();

    Outcome run = Probe("xfce", 2, Dir("pictures") + QStringLiteral("/gone.bmp"));
    EXPECT_EQ(run.exit, 1);
    run = Probe("xfce", 2, Dir("pictures"));
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(Backdrop(), before);
}

TEST_F(xfce, NameInLatin1IsRefusedSinceXfconfCarriesUtf8) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));
    Seed(kScreen0 + QStringLiteral("last-image"), "string", QStringLiteral("/old/a.png"));
    const QVariantMap before = Backdrop();
    const Outcome run = Probe("xfce", 2, Latin1Picture("caf\xe9.bmp"));
    EXPECT_EQ(run.exit, 1) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral(" error the wallpaper stays as it was; "))) << run.err.toStdString();
    EXPECT_EQ(Backdrop(), before);
}

TEST_F(xfce, AbsentWithoutXfconfOnTheBus) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    const Outcome run = Probe("xfce", 2, Picture(QStringLiteral("a.bmp")));
    EXPECT_EQ(run.exit, 2) << run.out.toStdString() << run.err.toStdString();
}

// ---------------------------------------------------------------- KDE

class KdeSession : public PrivateSession {
protected:
    void SetUp() override {
        PrivateSession::SetUp();
        ASSERT_TRUE(QFileInfo(QStringLiteral(VELMORA_NODE)).isExecutable())
            << "node missing (Debian package nodejs)";
        ASSERT_TRUE(QDir(root_.path()).mkpath(QStringLiteral("scripts")));
    }
    void TearDown() override {
        Finish(shell_);
        PrivateSession::TearDown();
    }

    // With screens ("1,0,1": each desktop's), the shell runs each script on
    // such desktops and answers what it printed.
    void StartShell(const char* mode, const QString& screens = {}) {
        ASSERT_TRUE(QFileInfo(QStringLiteral(VELMORA_SYSTEM_PYTHON)).isExecutable());
        shell_.setProcessEnvironment(env_);
        shell_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        shell_.start(QStringLiteral(VELMORA_SYSTEM_PYTHON),
                     QStringList{QStringLiteral(VELMORA_TEST_DIR "/fake_plasmashell.py"),
                                 Dir("scripts"), QString::fromLatin1(mode)} +
                         (screens.isEmpty() ? QStringList()
                                            : QStringList{QStringLiteral(VELMORA_NODE), screens}));
        ASSERT_EQ(FirstLine(shell_), QStringLiteral("ready"))
            << "fake plasmashell did not start (python3-dbus, python3-gi)";
    }

    QStringList Scripts() const {
        QStringList names = QDir(Dir("scripts")).entryList({QStringLiteral("script-*.js")});
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;  // script-2 before script-10
        });
        for (QString& name : names) name = Dir("scripts") + QLatin1Char('/') + name;
        return names;
    }

    // What the script did to each of `count` mock desktops, on screens 0, 1...
    // or on the given ones.
    QJsonArray RunScript(const QString& script, int count, const QString& screens = {}) {
        QStringList arguments{QStringLiteral(VELMORA_TEST_DIR "/run_plasma_script.js"), script,
                              QString::number(count)};
        if (!screens.isEmpty()) arguments << screens;
        const Outcome run = Execute(QStringLiteral(VELMORA_NODE), arguments, env_);
        EXPECT_EQ(run.exit, 0) << "node: " << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("desktops")].toArray();
    }

    // The picture a mock desktop was given: the path its Image URL names, or "" for none.
    static QString ImageOf(const QJsonValue& desktop) {
        for (const QJsonValue& write : desktop[QStringLiteral("writes")].toArray())
            if (write[QStringLiteral("key")].toString() == QLatin1String("Image"))
                return write[QStringLiteral("path")].toString();
        return {};
    }

    QProcess shell_;
};
using kde = KdeSession;  // test names read linux.desktop.kde.*

TEST_F(kde, ImageAndFillModeOnEveryDesktop) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    ASSERT_NO_FATAL_FAILURE(StartShell("ok"));
    // Quote, backslash, blank, letters outside ASCII, and what a URL would misread.
    const QString picture =
        Picture(QStringLiteral("it's a \\ folder/Ünïcödé a%41 #1?x\nnext.bmp"));
    // By style code: Pad, Tile, Stretch, PreserveAspectFit, PreserveAspectCrop.
    const int fillModes[] = {6, 3, 0, 1, 2};
    constexpr int kStyles = static_cast<int>(std::size(fillModes));

    for (int style = 0; style < kStyles; ++style) {
        const Outcome run = Probe("kde", style, picture);
        ASSERT_EQ(run.exit, 0) << run.out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("active=1")));
    }
    const QStringList scripts = Scripts();
    ASSERT_EQ(scripts.size(), kStyles);

    static const QRegularExpression encodedUrl(QStringLiteral("^file:///[!-~]+$"));
    for (int style = 0; style < kStyles; ++style) {
        SCOPED_TRACE("style " + std::to_string(style));
        const QJsonArray desktops = RunScript(scripts[style], 3);
        ASSERT_EQ(desktops.size(), 3);
        for (const QJsonValue& desktop : desktops) {
            EXPECT_EQ(desktop[QStringLiteral("plugin")].toString(), QStringLiteral("org.kde.image"));
            const QJsonArray writes = desktop[QStringLiteral("writes")].toArray();
            ASSERT_EQ(writes.size(), 2);
            QJsonObject image;
            QJsonObject fillMode;
            for (const QJsonValue& write : writes) {
                EXPECT_EQ(write[QStringLiteral("group")].toString(),
                          QStringLiteral("Wallpaper/org.kde.image/General"));
                EXPECT_EQ(write[QStringLiteral("plugin")].toString(),
                          QStringLiteral("org.kde.image"));
                const QString key = write[QStringLiteral("key")].toString();
                if (key == QLatin1String("Image")) image = write.toObject();
                if (key == QLatin1String("FillMode")) fillMode = write.toObject();
            }
            // The URL names this very file once node decodes it, and is fully percent-encoded.
            EXPECT_EQ(image[QStringLiteral("path")].toString(), picture);
            EXPECT_TRUE(encodedUrl.match(image[QStringLiteral("value")].toString()).hasMatch())
                << image[QStringLiteral("value")].toString().toStdString();
            EXPECT_EQ(fillMode[QStringLiteral("type")].toString(), QStringLiteral("number"));
            EXPECT_EQ(fillMode[QStringLiteral("value")].toInt(-1), fillModes[style]);
        }
    }
}

TEST_F(kde, EachScreensDesktopsGetItsOwnPicture) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    // Two activities: screen 1 has two desktops.
    const QString screens = QStringLiteral("1,0,1");
    ASSERT_NO_FATAL_FAILURE(StartShell("ok", screens));
    const QString left = Picture(QStringLiteral("left.bmp"));
    const QString right = Picture(QStringLiteral("right's.bmp"));

    Outcome run = ProbeEach("kde", 3, {left, right});
    ASSERT_EQ(run.exit, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("monitor=screen 0 320x240+0+0\nmonitor=screen 1 320x240+320+0\n"
                                      "shown=11\n"));
    QStringList scripts = Scripts();
    ASSERT_EQ(scripts.size(), 2);  // one to ask for the screens, one to set them all
    QJsonArray desktops = RunScript(scripts[1], 3, screens);
    ASSERT_EQ(desktops.size(), 3);
    for (const QJsonValue& desktop : desktops) {
        const int screen = desktop[QStringLiteral("screen")].toInt();
        SCOPED_TRACE("screen " + std::to_string(screen));
        EXPECT_EQ(ImageOf(desktop), screen == 0 ? left : right);
        EXPECT_EQ(desktop[QStringLiteral("plugin")].toString(), QStringLiteral("org.kde.image"));
        const QJsonArray writes = desktop[QStringLiteral("writes")].toArray();
        EXPECT_TRUE(std::any_of(writes.begin(), writes.end(), [](const QJsonValue& write) {
            return write[QStringLiteral("key")].toString() == QLatin1String("FillMode") &&
                   write[QStringLiteral("value")].toInt(-1) == 1;  // PreserveAspectFit
        })) << QJsonDocument(writes).toJson().toStdString();
    }

    // A picture that is gone leaves its screen's desktops as they were, and only those.
    const QString later = Picture(QStringLiteral("later.bmp"));
    run = ProbeEach("kde", 2, {Dir("pictures") + QStringLiteral("/gone.bmp"), later});
    EXPECT_EQ(run.exit, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("shown=01\n"))) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral(" error the wallpaper stays as it was; "))) << run.err.toStdString();
    scripts = Scripts();
    ASSERT_EQ(scripts.size(), 4);
    desktops = RunScript(scripts[3], 3, screens);
    ASSERT_EQ(desktops.size(), 3);
    for (const QJsonValue& desktop : desktops) {
        const int screen = desktop[QStringLiteral("screen")].toInt();
        SCOPED_TRACE("screen " + std::to_string(screen));
        EXPECT_EQ(ImageOf(desktop), screen == 0 ? QString() : later);
        EXPECT_EQ(desktop[QStringLiteral("writes")].toArray().isEmpty(), screen == 0);
    }
}

TEST_F(kde, NameInLatin1ReachesPlasmaAsItsBytesEscaped) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    ASSERT_NO_FATAL_FAILURE(StartShell("ok"));
    const Outcome run = Probe("kde", 2, Latin1Picture("caf\xe9.bmp"));
    ASSERT_EQ(run.exit, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList scripts = Scripts();
    ASSERT_EQ(scripts.size(), 1);
    const QJsonArray desktops = RunScript(scripts[0], 1);
    ASSERT_EQ(desktops.size(), 1);
    bool found = false;
    for (const QJsonValue& write : desktops[0][QStringLiteral("writes")].toArray()) {
        if (write[QStringLiteral("key")].toString() != QLatin1String("Image")) continue;
        found = true;
        // The temporary folder holds only letters, digits, "-" and "_", which stay as they are.
        EXPECT_EQ(write[QStringLiteral("value")].toString(),
                  QStringLiteral("file://") + Dir("pictures") + QStringLiteral("/caf%E9.bmp"));
    }
    EXPECT_TRUE(found);
}

TEST_F(kde, WidgetsLockedIsAFailure) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    ASSERT_NO_FATAL_FAILURE(StartShell("locked"));
    const Outcome run = Probe("kde", 2, Picture(QStringLiteral("a.bmp")));
    EXPECT_EQ(run.exit, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(Scripts().size(), 1);  // the shell was asked, and said no
}

TEST_F(kde, MissingFileSendsNoScript) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    ASSERT_NO_FATAL_FAILURE(StartShell("ok"));
    EXPECT_EQ(Probe("kde", 2, Dir("pictures") + QStringLiteral("/gone.bmp")).exit, 1);
    EXPECT_EQ(Probe("kde", 2, Dir("pictures")).exit, 1);
    EXPECT_TRUE(Scripts().isEmpty());
}

TEST_F(kde, AbsentWithoutPlasmashell) {
    ASSERT_NO_FATAL_FAILURE(StartBus(true));  // another desktop's service does not count
    QElapsedTimer clock;
    clock.start();
    const Outcome run = Probe("kde", 2, Picture(QStringLiteral("a.bmp")));
    const qint64 waitedMs = clock.elapsed();
    EXPECT_EQ(run.exit, 2) << run.out.toStdString() << run.err.toStdString();
    // A shell that never comes is waited for 30 s, then given up on in one line.
    EXPECT_GE(waitedMs, 30000);
    EXPECT_LT(waitedMs, 40000);
    EXPECT_TRUE(run.err.contains(QStringLiteral(" error the wallpaper stays as it was; "))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("org.kde.plasmashell"))) << run.err.toStdString();
    EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
}

TEST_F(kde, ShellStartedAfterUsStillGetsTheWallpaper) {
    ASSERT_NO_FATAL_FAILURE(StartBus(false));
    const QString picture = Picture(QStringLiteral("late.bmp"));
    QProcess probe;
    probe.setProcessEnvironment(env_);
    probe.start(QStringLiteral(VELMORA_PROBE), {QStringLiteral("kde"), QStringLiteral("2"), picture});
    ASSERT_TRUE(probe.waitForStarted());
    // At logon plasmashell comes seconds after autostart programs, and owns
    // its name before it takes scripts ("late" mode).
    QThread::sleep(3);
    ASSERT_NO_FATAL_FAILURE(StartShell("late"));
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardOutput().toStdString()
                                   << probe.readAllStandardError().toStdString();

    const QStringList scripts = Scripts();
    ASSERT_EQ(scripts.size(), 1);
    const QJsonArray desktops = RunScript(scripts[0], 1);
    ASSERT_EQ(desktops.size(), 1);
    const QJsonArray writes = desktops[0][QStringLiteral("writes")].toArray();
    EXPECT_TRUE(std::any_of(writes.begin(), writes.end(), [&](const QJsonValue& write) {
        return write[QStringLiteral("key")].toString() == QLatin1String("Image") &&
               write[QStringLiteral("path")].toString() == picture;
    })) << QJsonDocument(desktops).toJson().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    // QtDBus wants an application object for the test's own connections.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
