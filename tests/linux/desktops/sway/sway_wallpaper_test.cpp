// The sway setter against a real sway: a headless compositor of the test's
// own with two outputs side by side, run by an unprivileged user (sway
// refuses root), each output read back with grim.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SwayWallpaper.h"
#include "boot/ApplyWallpaper.h"
#include "../LogOnStderr.h"

namespace vlmr {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kGreen = 0xff00ff00;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kWhite = 0xffffffff;

// The starting background of every case, drawn by swaybg like a picture is.
constexpr const char* kResetColour = "#0000ff";

// What a screen check says: nothing when the screen is as expected.
using Complaint = std::optional<std::string>;
using ScreenCheck = std::function<Complaint(const QImage&)>;

Complaint At(int x, int y, QRgb got, const char* wanted) {
    std::ostringstream text;
    text << "pixel " << x << "," << y << " is #" << std::hex << (got & 0xffffff) << ", expected "
         << wanted;
    return text.str();
}

// Every pixel of the rectangle [left, right) x [top, bottom) holds colour.
Complaint Filled(const QImage& shot, int left, int top, int right, int bottom, QRgb colour,
                 const char* name) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (shot.pixel(x, y) != colour) return At(x, y, shot.pixel(x, y), name);
    return std::nullopt;
}

Complaint SizeOf(const QImage& shot) {
    if (shot.width() == kWidth && shot.height() == kHeight) return std::nullopt;
    return "the screenshot is " + std::to_string(shot.width()) + "x" +
           std::to_string(shot.height());
}

std::string Tail(const fs::path& log) {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::string tail;
    for (std::size_t i = lines.size() > 15 ? lines.size() - 15 : 0; i < lines.size(); ++i)
        tail += lines[i] + "\n";
    return tail;
}

// Restores an environment variable when the scope ends.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) value_ = value;
    }
    ~EnvGuard() {
        if (value_)
            setenv(name_, value_->c_str(), 1);
        else
            unsetenv(name_);
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* name_;
    std::optional<std::string> value_;
};

// One headless sway for all cases of this binary: started once, since every
// case sets its own starting background anyway.
class SwayHeadless : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const auto started = Clock::now();
        startFailure_ = Start();
        startMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started)
                       .count();
    }

    static void TearDownTestSuite() {
        if (sway_ > 0) {
            kill(sway_, SIGTERM);
            waitpid(sway_, nullptr, 0);
            sway_ = -1;
        }
        if (!root_.empty()) fs::remove_all(root_);
    }

    void SetUp() override {
        if (!missingTool_.empty()) GTEST_SKIP() << missingTool_;
        ASSERT_TRUE(startFailure_.empty()) << startFailure_;
        RecordProperty("sway_start_ms", std::to_string(startMs_));
        // Each case starts from a plain blue screen drawn by swaybg.
        ASSERT_TRUE(Swaymsg({"output", "*", "bg", kResetColour, "solid_color"}));
        const Complaint blue = WaitForScreen(AllBlue);
        ASSERT_FALSE(blue) << "the reset to blue never showed: " << *blue;
    }

    // "" when sway is up; otherwise why not. A missing tool is noted apart,
    // since that is a machine without the packages, not a failure of sway.
    static std::string Start() {
        for (const auto& [tool, package] : {std::pair{"sway", "sway"}, std::pair{"swaymsg", "sway"},
                                            std::pair{"swaybg", "swaybg"},
                                            std::pair{"grim", "grim"}}) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                missingTool_ = std::string(tool) + " is not installed (Debian package " +
                               package + "), so no sway can run here";
                return "";
            }
        }
        const std::string sway = QStandardPaths::findExecutable("sway").toStdString();

        // sway refuses root: as root, the compositor runs as nobody.
        uid_t uid = geteuid();
        gid_t gid = getegid();
        if (uid == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (nobody == nullptr) return "no user nobody to run sway as";
            uid = nobody->pw_uid;
            gid = nobody->pw_gid;
        }

        char folder[] = "/tmp/vlmr-sway.XXXXXX";
        if (mkdtemp(folder) == nullptr) return "mkdtemp failed";
        root_ = folder;
        // Pictures and config below must be readable by the compositor's user.
        fs::permissions(root_, fs::perms(0755));
        runtime_ = root_ / "run";
        const fs::path home = root_ / "home";
        fs::create_directory(runtime_);
        fs::create_directory(home);
        fs::permissions(runtime_, fs::perms(0700));  // what XDG_RUNTIME_DIR must be
        if (chown(runtime_.c_str(), uid, gid) != 0 || chown(home.c_str(), uid, gid) != 0)
            return "cannot hand the runtime folder to uid " + std::to_string(uid);
        pictures_ = root_ / "pictures";
        fs::create_directory(pictures_);
        fs::permissions(pictures_, fs::perms(0755));

        const fs::path config = root_ / "config";
        {
            std::ofstream out(config);
            out << "xwayland disable\n"
                << "output HEADLESS-1 resolution " << kWidth << "x" << kHeight << " position 0 0\n"
                << "output HEADLESS-2 resolution " << kWidth << "x" << kHeight << " position "
                << kWidth << " 0\n"
                << "output * bg " << kResetColour << " solid_color\n"
                // A variable like users have: a file name holding "$mod" must not be changed.
                << "set $mod Mod4\n";
        }
        fs::permissions(config, fs::perms(0644));
        log_ = root_ / "sway.log";

        // Everything the child needs, made before fork.
        std::vector<std::string> environment = {
            "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"),
            "HOME=" + home.string(),
            "XDG_RUNTIME_DIR=" + runtime_.string(),
            "XDG_CONFIG_HOME=" + home.string() + "/.config",
            "WLR_BACKENDS=headless",
            "WLR_HEADLESS_OUTPUTS=2",
            "WLR_RENDERER=pixman",
            "WLR_LIBINPUT_NO_DEVICES=1",
        };
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string program = sway;
        std::string dashC = "-c";
        std::string configPath = config.string();
        char* argv[] = {program.data(), dashC.data(), configPath.data(), nullptr};
        const int logFd = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (logFd < 0) return "cannot write " + log_.string();
        const pid_t parent = getpid();
        const bool dropRoot = geteuid() == 0;

        sway_ = fork();
        if (sway_ == 0) {
            dup2(logFd, 1);
            dup2(logFd, 2);
            if (dropRoot && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
                _exit(126);
            // After the change of user, which clears the death signal.
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // no stray compositor when a test crashes
            if (getppid() != parent) _exit(125);
            if (chdir(root_.c_str()) != 0) _exit(124);
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
        close(logFd);
        if (sway_ < 0) return "fork failed";

        // sway makes its IPC socket after the Wayland one; both are needed.
        const auto deadline = Clock::now() + std::chrono::seconds(15);
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(sway_, &status, WNOHANG) == sway_) {
                sway_ = -1;
                return "sway ended at start-up (status " + std::to_string(status) + "):\n" +
                       Tail(log_);
            }
            for (const auto& entry : fs::directory_iterator(runtime_)) {
                const std::string name = entry.path().filename().string();
                if (name.rfind("sway-ipc.", 0) == 0 && entry.is_socket()) ipc_ = entry.path();
                if (name.rfind("wayland-", 0) == 0 && entry.is_socket()) wayland_ = name;
            }
            if (!ipc_.empty() && !wayland_.empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (ipc_.empty() || wayland_.empty()) return "sway made no sockets in time:\n" + Tail(log_);
        // The setter finds sway the way programs of a sway session do.
        setenv("SWAYSOCK", ipc_.c_str(), 1);
        return "";
    }

    // Talks to sway directly, for what is not under test.
    static bool Swaymsg(const QStringList& command) {
        QProcess swaymsg;
        swaymsg.start("swaymsg", QStringList{"--"} + command);
        return swaymsg.waitForFinished(10000) && swaymsg.exitStatus() == QProcess::NormalExit &&
               swaymsg.exitCode() == 0;
    }

    // An output as shown, through the compositor's screencopy.
    static QImage Shot(const char* output = kFirst) {
        QProcess grim;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.string()));
        environment.insert("WAYLAND_DISPLAY", QString::fromStdString(wayland_));
        grim.setProcessEnvironment(environment);
        grim.start("grim", {"-o", output, "-t", "png", "-"});
        if (!grim.waitForFinished(10000) || grim.exitCode() != 0) return {};
        return QImage::fromData(grim.readAllStandardOutput(), "PNG")
            .convertToFormat(QImage::Format_RGB32);
    }

    // swaybg draws a moment after sway has answered: look until the screen
    // passes or the time is up, and say what was wrong last.
    static Complaint WaitForScreen(const ScreenCheck& check, const char* output = kFirst) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        Complaint last;
        do {
            const QImage shot = Shot(output);
            last = shot.isNull() ? Complaint("grim read nothing") : SizeOf(shot);
            if (!last) last = check(shot);
            if (!last) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (Clock::now() < deadline);
        return last;
    }

    static Complaint AllBlue(const QImage& shot) {
        return Filled(shot, 0, 0, kWidth, kHeight, kBlue, "blue");
    }

    // A width x height picture of one colour, centred exactly, and that colour nowhere else.
    static ScreenCheck Centred(int width, int height, QRgb colour = kRed, const char* name = "red") {
        return [=](const QImage& shot) -> Complaint {
            const int left = (kWidth - width) / 2;
            const int top = (kHeight - height) / 2;
            if (Complaint c = Filled(shot, left, top, left + width, top + height, colour, name))
                return c;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const bool inside =
                        x >= left && x < left + width && y >= top && y < top + height;
                    if (!inside && shot.pixel(x, y) == colour)
                        return At(x, y, colour, "another colour outside the picture");
                }
            return std::nullopt;
        };
    }

    static std::string Save(const std::string& name, const QImage& image) {
        const fs::path path = pictures_ / name;
        EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "BMP")) << path;
        fs::permissions(path, fs::perms(0644));
        return path.string();
    }
    static std::string Solid(const std::string& name, int width, int height, QRgb colour) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        return Save(name, image);
    }

    static bool Apply(const std::string& path, std::uint32_t style) {
        auto desktop = SwayWallpaper().Create();
        WallpaperOpt options;
        options.dwStyle = style;
        return desktop && desktop->SetWallpaperOptions(options) && desktop->SetWallpaper(path) &&
               desktop->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH);
    }

    static constexpr const char* kFirst = "HEADLESS-1";
    static constexpr const char* kSecond = "HEADLESS-2";
    static inline std::string missingTool_;
    static inline std::string startFailure_;
    static inline long long startMs_ = 0;
    static inline pid_t sway_ = -1;
    static inline fs::path root_;
    static inline fs::path runtime_;
    static inline fs::path pictures_;
    static inline fs::path log_;
    static inline std::string ipc_;
    static inline std::string wayland_;
};

// Test names read linux.desktop.sway.<case>.
using sway = SwayHeadless;

TEST_F(sway, StretchScalesEachAxisToTheOutput) {
    // 40 x 60 on 320 x 240: eight times wider, four times taller. A red band
    // over the top quarter stays the top quarter only when both axes are
    // scaled on their own (fit or fill would move or crop it).
    QImage picture(40, 60, QImage::Format_RGB32);
    picture.fill(kGreen);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 40; ++x) picture.setPixel(x, y, kRed);
    ASSERT_TRUE(Apply(Save("band.bmp", picture), WPSTYLE_STRETCH));
    // Scaling blends across half a source pixel at each colour edge: 4 columns
    // at the sides, 2 rows at the top, the seam (row 60) and the bottom.
    const Complaint complaint = WaitForScreen([](const QImage& shot) -> Complaint {
        if (Complaint c = Filled(shot, 4, 2, kWidth - 4, 58, kRed, "red")) return c;
        return Filled(shot, 4, 62, kWidth - 4, kHeight - 2, kGreen, "green");
    });
    EXPECT_FALSE(complaint) << *complaint;
}

// A 2:1 picture, red in its outer quarters and blue between, on the 4:3
// output. Fit: 320 x 160 in rows 40 to 199, bars above and below in sway's
// own background, red to column 79. Fill: 480 x 240 with 80 columns
// cropped each side, red only to column 39; no bars. The picture's edge rows
// are blended with what lies beyond them, so no point is looked at there.
TEST_F(sway, FitLeavesBarsAndFillCropsTheSides) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(kBlue);
    for (int y = 0; y < 20; ++y)
        for (const int x : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39})
            picture.setPixel(x, y, kRed);
    const std::string path = Save("wide.bmp", picture);
    constexpr QRgb kBar = 0;  // neither of the picture's colours
    const struct {
        const char* what;
        std::uint32_t style;
        std::vector<std::pair<QPoint, QRgb>> pixels;
    } cases[] = {
        {"fit", WPSTYLE_KEEPASPECT,
         {{{160, 20}, kBar}, {{160, 220}, kBar}, {{160, 100}, kBlue}, {{60, 100}, kRed},
          {{260, 100}, kRed}}},
        {"fill", WPSTYLE_CROPTOFIT,
         {{{160, 20}, kBlue}, {{160, 220}, kBlue}, {{20, 100}, kRed}, {{60, 100}, kBlue},
          {{260, 100}, kBlue}, {{300, 100}, kRed}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Apply(path, c.style));
        const Complaint complaint = WaitForScreen([&c](const QImage& shot) -> Complaint {
            for (const auto& [at, colour] : c.pixels) {
                const QRgb got = shot.pixel(at);
                if (colour == kBar ? got == kRed || got == kBlue : got != colour)
                    return At(at.x(), at.y(), got, colour == kBar ? "a bar" : colour == kRed ? "red" : "blue");
            }
            return std::nullopt;
        });
        EXPECT_FALSE(complaint) << *complaint;
    }
}

TEST_F(sway, CenterPutsThePictureMidOutputUnscaled) {
    ASSERT_TRUE(Apply(Solid("red.bmp", 40, 30, kRed), WPSTYLE_CENTER));
    const Complaint complaint = WaitForScreen(Centred(40, 30));
    EXPECT_FALSE(complaint) << *complaint;
}

TEST_F(sway, TileRepeatsThePictureFromTheTopLeftCorner) {
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixel(0, 0, kRed);
    checker.setPixel(1, 1, kRed);
    checker.setPixel(1, 0, kWhite);
    checker.setPixel(0, 1, kWhite);
    // Through the boot run's own sequence of calls.
    SwayWallpaper service;
    ApplyWallpaper(service, Save("checker.bmp", checker), WPSTYLE_TILE, true);
    const Complaint complaint = WaitForScreen([](const QImage& shot) -> Complaint {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool red = (x + y) % 2 == 0;
                if (shot.pixel(x, y) != (red ? kRed : kWhite))
                    return At(x, y, shot.pixel(x, y), red ? "red" : "white");
            }
        return std::nullopt;
    });
    EXPECT_FALSE(complaint) << *complaint;
}

TEST_F(sway, GifFallbackPictureIsShown) {
    // 2 x 2, a red and green palette, each row the pixels 0 and 1
    // (LZW: clear, 0, 1, the string 0 1, end).
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0,
                                 0xff, 0x00, 0x00, 0x00, 0xff, 0x00,
                                 0x2c, 0, 0, 0, 0, 2, 0, 2, 0, 0,
                                 2, 2, 0x44, 0x5c, 0, 0x3b};
    const fs::path path = pictures_ / "logo.gif";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(gif), sizeof gif);
    fs::permissions(path, fs::perms(0644));
    ASSERT_TRUE(Apply(path.string(), WPSTYLE_CENTER));
    // Columns 159 and 160, rows 119 and 120.
    const Complaint complaint = WaitForScreen([](const QImage& shot) -> Complaint {
        for (const int y : {119, 120}) {
            if (shot.pixel(159, y) != kRed) return At(159, y, shot.pixel(159, y), "red");
            if (shot.pixel(160, y) != kGreen) return At(160, y, shot.pixel(160, y), "green");
            for (const int x : {158, 161})
                if (shot.pixel(x, y) == kRed || shot.pixel(x, y) == kGreen)
                    return At(x, y, shot.pixel(x, y), "neither red nor green");
        }
        return std::nullopt;
    });
    EXPECT_FALSE(complaint) << *complaint;
}

TEST_F(sway, NamesSwayWouldSplitExpandOrQuoteArriveWhole) {
    // In a folder with two blanks in a row and one at the end.
    const fs::path folder = pictures_ / "my  pictures ";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms(0755));
    // What sway's parser or wordexp would act on: both quotes, backslash,
    // criteria brackets, a variable of sway's config, shell variables and
    // command substitution, globs, a tilde; and a non-ASCII letter. A wrong
    // name here still gets "success" from sway, so only the screen tells.
    const std::string name = "it's \"red\" \\ [x] $mod $HOME $(id) `id` {a,b} * ? ~ # é.bmp";
    const std::string expanded = Solid((folder.filename() / name).string(), 40, 30, kRed);
    ASSERT_TRUE(Apply(expanded, WPSTYLE_CENTER));
    Complaint complaint = WaitForScreen(Centred(40, 30));
    EXPECT_FALSE(complaint) << *complaint;

    // sway's command separators, which would end the command early.
    const std::string separated = Solid((folder.filename() / "a;b,c.bmp").string(), 60, 50, kRed);
    ASSERT_TRUE(Apply(separated, WPSTYLE_CENTER));
    complaint = WaitForScreen(Centred(60, 50));
    EXPECT_FALSE(complaint) << *complaint;
}

TEST_F(sway, RefusedAppliesReportFalseAndLeaveTheScreenAlone) {
    EXPECT_FALSE(Apply((pictures_ / "missing.bmp").string(), WPSTYLE_STRETCH))
        << "swaymsg would report success for a missing file";
    EXPECT_FALSE(Apply(pictures_.string(), WPSTYLE_STRETCH)) << "a folder";
    // sway would read the line break as the end of the command.
    EXPECT_FALSE(Apply(Solid("line\nbreak.bmp", 8, 8, kRed), WPSTYLE_STRETCH));
    // swaymsg carries text, which a name in Latin-1 is not: refused, and said.
    const fs::path latin1 = pictures_ / "caf\xe9.bmp";
    fs::copy_file(Solid("cafe.bmp", 8, 8, kRed), latin1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Apply(latin1.string(), WPSTYLE_STRETCH));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(test::kUnchanged), std::string::npos) << said;

    auto desktop = SwayWallpaper().Create();
    ASSERT_TRUE(desktop);
    EXPECT_FALSE(desktop->ApplyChanges(7)) << "neither style nor file given";
    WallpaperOpt bad;
    bad.dwStyle = 5;
    EXPECT_FALSE(desktop->SetWallpaperOptions(bad));
    desktop->SetWallpaper(Solid("red.bmp", 8, 8, kRed));
    EXPECT_FALSE(desktop->ApplyChanges(7)) << "a refused style is no style";

    // A picture takes well under a second to show (see the cases above); give
    // a wrongly sent one time to appear before checking it did not.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const QImage shot = Shot();
    ASSERT_FALSE(SizeOf(shot)) << *SizeOf(shot);
    const Complaint complaint = AllBlue(shot);
    EXPECT_FALSE(complaint) << *complaint;
}

TEST_F(sway, EachOutputShowsItsOwnPicture) {
    const auto desktop = SwayWallpaper().CreatePerMonitor();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->Monitors(),
              (std::vector<std::string>{"HEADLESS-1 320x240+0+0", "HEADLESS-2 320x240+320+0"}));
    const std::string red = Solid("left.bmp", 40, 30, kRed);
    const std::string green = Solid("right.bmp", 60, 50, kGreen);
    EXPECT_EQ(desktop->SetWallpapers({red, green}, WPSTYLE_CENTER), (std::vector<bool>{true, true}));
    Complaint complaint = WaitForScreen(Centred(40, 30), kFirst);
    EXPECT_FALSE(complaint) << *complaint;
    complaint = WaitForScreen(Centred(60, 50, kGreen, "green"), kSecond);
    EXPECT_FALSE(complaint) << *complaint;

    // A refused picture leaves its own output as it was, and sets the other.
    testing::internal::CaptureStderr();
    const std::vector<bool> shown = desktop->SetWallpapers(
        {(pictures_ / "missing.bmp").string(), Solid("white.bmp", 20, 10, kWhite)}, WPSTYLE_CENTER);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown, (std::vector<bool>{false, true}));
    EXPECT_NE(said.find(test::kUnchanged), std::string::npos) << said;
    complaint = WaitForScreen(Centred(20, 10, kWhite, "white"), kSecond);
    EXPECT_FALSE(complaint) << *complaint;
    // One swaybg draws every output: the first is drawn by now too.
    complaint = Centred(40, 30)(Shot(kFirst));
    EXPECT_FALSE(complaint) << *complaint;
}

TEST_F(sway, ServiceNeedsALiveSocketAndSwaymsg) {
    auto desktop = SwayWallpaper().Create();
    ASSERT_TRUE(desktop);
    ComponentsOpt options;
    options.fEnableComponents = 5;
    ASSERT_TRUE(desktop->GetDesktopItemOptions(options));
    EXPECT_EQ(options.fActiveDesktop, 1u);
    EXPECT_EQ(options.fEnableComponents, 0u);

    EnvGuard socketGuard("SWAYSOCK");
    EnvGuard pathGuard("PATH");
    const std::string live = std::getenv("SWAYSOCK");

    unsetenv("SWAYSOCK");
    EXPECT_EQ(SwayWallpaper().Create(), nullptr) << "no SWAYSOCK";

    // A socket not made yet is waited for 30 s, then given up on in one line.
    setenv("SWAYSOCK", (pictures_ / "gone.sock").c_str(), 1);
    testing::internal::CaptureStderr();
    const auto asked = Clock::now();
    EXPECT_EQ(SwayWallpaper().Create(), nullptr) << "SWAYSOCK names nothing";
    const auto waited = Clock::now() - asked;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_GE(waited, std::chrono::seconds(30));
    EXPECT_LT(waited, std::chrono::seconds(40));
    EXPECT_NE(said.find(test::kUnchanged), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    const std::string plain = Solid("plain.bmp", 1, 1, kRed);
    setenv("SWAYSOCK", plain.c_str(), 1);
    EXPECT_EQ(SwayWallpaper().Create(), nullptr) << "SWAYSOCK names a plain file";

    // What a compositor that died leaves: a socket nobody listens on.
    const fs::path stale = root_ / "stale.sock";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", stale.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
    setenv("SWAYSOCK", stale.c_str(), 1);
    EXPECT_EQ(SwayWallpaper().Create(), nullptr) << "nothing listens on SWAYSOCK";

    setenv("SWAYSOCK", live.c_str(), 1);
    setenv("PATH", (root_ / "run").c_str(), 1);  // no swaymsg there
    EXPECT_EQ(SwayWallpaper().Create(), nullptr) << "swaymsg not on PATH";
}

TEST_F(sway, SocketMadeAfterTheStartIsWaitedFor) {
    EnvGuard socketGuard("SWAYSOCK");
    // sway's socket turns up under SWAYSOCK a second after the setter starts
    // looking; the timer fires only if the wait runs the event loop.
    const fs::path later = root_ / "later.sock";
    setenv("SWAYSOCK", later.c_str(), 1);
    QTimer::singleShot(1000, [later] { fs::create_symlink(ipc_, later); });
    ASSERT_TRUE(Apply(Solid("late.bmp", 40, 30, kRed), WPSTYLE_CENTER));
    const Complaint complaint = WaitForScreen(Centred(40, 30));
    EXPECT_FALSE(complaint) << *complaint;
}

}  // namespace
}  // namespace vlmr

// QProcess, used by the setter and here, wants an application object.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
