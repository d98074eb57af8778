// The root-window setter against a private Xvfb: what the screen shows after
// an apply, read back over a connection of the test's own.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "boot/ApplyWallpaper.h"
#include "MappedFile.h"
#include "X11RootWallpaper.h"
#include "desktops/LogOnStderr.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vlmr {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kBlack = 0xff000000;

// An Xvfb of its own, on whatever display number is free.
class XServer {
public:
    explicit XServer(const char* screen) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // no stray server when a test crashes
            dup2(fds[1], 3);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen",
                   "0", screen, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') display_ += c;
        close(fds[0]);
        if (!display_.empty()) display_ = ":" + display_;
    }
    ~XServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

int CountedErrors = 0;
int CountError(Display*, XErrorEvent*) {
    ++CountedErrors;
    return 0;
}

// The root window as the screen shows it, read over a fresh connection.
QImage ReadRoot() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return {};
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    XImage* image = XGetImage(display, RootWindow(display, screen), 0, 0,
                              static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    QImage shot(width, height, QImage::Format_RGB32);
    auto level = [](unsigned long pixel, unsigned long mask) {
        const unsigned long top = mask >> std::countr_zero(mask);
        return static_cast<int>(((pixel & mask) >> std::countr_zero(mask)) * 255 / top);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            shot.setPixel(x, y, qRgb(level(pixel, image->red_mask), level(pixel, image->green_mask),
                                     level(pixel, image->blue_mask)));
        }
    XDestroyImage(image);
    XCloseDisplay(display);
    return shot;
}

Pixmap ReadProperty(const char* name) {
    Display* display = XOpenDisplay(nullptr);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False),
                           0, 1, False, XA_PIXMAP, &type, &format, &count, &after,
                           &data) == Success &&
        count == 1)
        pixmap = *reinterpret_cast<unsigned long*>(data);
    if (data != nullptr) XFree(data);
    XCloseDisplay(display);
    return pixmap;
}

bool PixmapExists(Pixmap pixmap) {
    Display* display = XOpenDisplay(nullptr);
    CountedErrors = 0;
    XErrorHandler previous = XSetErrorHandler(&CountError);
    Window root;
    int x, y;
    unsigned width, height, border, depth;
    XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return CountedErrors == 0;
}

class X11WallpaperTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Start("200x150x24"); }
    static void Start(const char* screen) {
        server_ = new XServer(screen);
        setenv("DISPLAY", server_->display().c_str(), 1);
        char folder[] = "/tmp/x11wallpaper.XXXXXX";
        folder_ = mkdtemp(folder);
    }
    static void TearDownTestSuite() {
        delete server_;
        fs::remove_all(folder_);
    }
    void SetUp() override { ASSERT_FALSE(server_->display().empty()) << "Xvfb did not start"; }

    static std::string Picture(const std::string& name, int width, int height, QRgb colour) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        return Save(name, image);
    }
    // The name as bytes, whatever their encoding.
    static std::string Save(const std::string& name, const QImage& image) {
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, "BMP"));
        return Write(name, bmp.toStdString());
    }
    static std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // An apply that must fail, and the one line it says on stderr.
    static void ExpectRefused(const std::string& path) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Apply(path, WPSTYLE_STRETCH)) << path;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(test::kUnchanged), std::string::npos) << path << " said: " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
    static bool Apply(const std::string& path, std::uint32_t style) {
        X11RootWallpaper service;
        return Apply(service, path, style);
    }
    static bool Apply(WallpaperService& service, const std::string& path, std::uint32_t style) {
        auto desktop = service.Create();
        WallpaperOpt options;
        options.dwStyle = style;
        return desktop && desktop->SetWallpaperOptions(options) && desktop->SetWallpaper(path) &&
               desktop->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH);
    }

    static inline XServer* server_ = nullptr;
    static inline std::string folder_;
};

TEST_F(X11WallpaperTest, StretchFillsTheRootAndLeavesBothPropertiesOnAKeptPixmap) {
    X11RootWallpaper service;
    ApplyWallpaper(service, Picture("red.bmp", 64, 64, kRed), WPSTYLE_STRETCH, true);
    const QImage root = ReadRoot();
    ASSERT_EQ(root.size(), QSize(200, 150));
    for (int y = 0; y < root.height(); ++y)
        for (int x = 0; x < root.width(); ++x) ASSERT_EQ(root.pixel(x, y), kRed) << x << "," << y;
    const Pixmap pixmap = ReadProperty("_XROOTPMAP_ID");
    EXPECT_NE(pixmap, 0u);
    EXPECT_EQ(ReadProperty("ESETROOT_PMAP_ID"), pixmap);
    EXPECT_TRUE(PixmapExists(pixmap)) << "the pixmap must outlive the setter's connection";
}

TEST_F(X11WallpaperTest, CenterPutsThePictureMidScreenOverBlack) {
    ASSERT_TRUE(Apply(Picture("square.bmp", 40, 40, kRed), WPSTYLE_CENTER));
    const QImage root = ReadRoot();
    // 40 x 40 on 200 x 150: columns 80 to 119, rows 55 to 94.
    EXPECT_EQ(root.pixel(100, 75), kRed);
    EXPECT_EQ(root.pixel(80, 55), kRed);
    EXPECT_EQ(root.pixel(119, 94), kRed);
    EXPECT_EQ(root.pixel(79, 75), kBlack);
    EXPECT_EQ(root.pixel(120, 75), kBlack);
    EXPECT_EQ(root.pixel(100, 54), kBlack);
    EXPECT_EQ(root.pixel(100, 95), kBlack);
    for (const QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 149), QPoint(199, 149)})
        EXPECT_EQ(root.pixel(corner), kBlack);

    // Larger than the screen: cropped around its centre.
    QImage big(400, 300, QImage::Format_RGB32);
    big.fill(kBlue);
    big.setPixel(100, 75, kRed);  // lands on the root's (0, 0)
    ASSERT_TRUE(Apply(Save("big.bmp", big), WPSTYLE_CENTER));
    const QImage cropped = ReadRoot();
    EXPECT_EQ(cropped.pixel(0, 0), kRed);
    EXPECT_EQ(cropped.pixel(1, 0), kBlue);
    EXPECT_EQ(cropped.pixel(199, 149), kBlue);
}

TEST_F(X11WallpaperTest, TileRepeatsThePictureFromTheTopLeftCorner) {
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixel(0, 0, kRed);
    checker.setPixel(1, 1, kRed);
    checker.setPixel(1, 0, kBlue);
    checker.setPixel(0, 1, kBlue);
    ASSERT_TRUE(Apply(Save("checker.bmp", checker), WPSTYLE_TILE));
    const QImage root = ReadRoot();
    EXPECT_EQ(root.pixel(0, 0), root.pixel(2, 0));
    EXPECT_NE(root.pixel(0, 0), root.pixel(1, 0));
    for (int y = 0; y < root.height(); ++y)
        for (int x = 0; x < root.width(); ++x)
            ASSERT_EQ(root.pixel(x, y), (x + y) % 2 == 0 ? kRed : kBlue) << x << "," << y;
}

// A picture with red outer quarters along its long side and a blue middle.
QImage Banded(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBlue);
    const int length = std::max(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int along = width > height ? x : y;
            if (along < length / 4 || along >= length - length / 4) image.setPixel(x, y, kRed);
        }
    return image;
}

// A 2:1 and a 1:2 picture on the 4:3 screen: fit shows all of it between
// black bars; fill covers the screen and crops the long side, so less of the
// red quarters is left than a stretch would show.
TEST_F(X11WallpaperTest, FitLeavesBlackBarsAndFillCropsTheLongSide) {
    const std::string wide = Save("wide.bmp", Banded(40, 20));
    const std::string tall = Save("tall.bmp", Banded(20, 40));
    const struct {
        const char* what;
        const std::string& path;
        std::uint32_t style;
        std::vector<std::pair<QPoint, QRgb>> pixels;
    } cases[] = {
        // 200 x 100 in rows 25 to 124; red in columns 0 to 49 and 150 to 199.
        {"wide fit", wide, WPSTYLE_KEEPASPECT,
         {{{100, 24}, kBlack}, {{100, 25}, kBlue}, {{100, 124}, kBlue}, {{100, 125}, kBlack},
          {{40, 75}, kRed}, {{160, 75}, kRed}}},
        // The middle 27 of 40 columns fill the screen: red only to about column 29 and from 178.
        {"wide fill", wide, WPSTYLE_CROPTOFIT,
         {{{100, 0}, kBlue}, {{100, 149}, kBlue}, {{10, 75}, kRed}, {{40, 75}, kBlue},
          {{160, 75}, kBlue}, {{190, 75}, kRed}}},
        // 75 x 150 in columns 62 to 136; red in the top and bottom quarters.
        {"tall fit", tall, WPSTYLE_KEEPASPECT,
         {{{61, 75}, kBlack}, {{62, 75}, kBlue}, {{136, 75}, kBlue}, {{137, 75}, kBlack},
          {{100, 10}, kRed}, {{100, 140}, kRed}}},
        // The middle 15 of 40 rows, all blue, fill the screen.
        {"tall fill", tall, WPSTYLE_CROPTOFIT,
         {{{0, 0}, kBlue}, {{199, 0}, kBlue}, {{100, 75}, kBlue}, {{0, 149}, kBlue}, {{199, 149}, kBlue}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Apply(c.path, c.style));
        const QImage root = ReadRoot();
        for (const auto& [at, colour] : c.pixels)
            EXPECT_EQ(root.pixel(at), colour) << at.x() << "," << at.y();
    }
}

// 2 x 1, a two-colour palette, the pixels 0 and 1 (LZW: clear, 0, 1, end).
const std::string kTwoPixelGif{'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, '\x80', 0, 0,
                               0x00, '\x80', '\xff', '\xff', '\xc8', 0x00,
                               0x2c, 0, 0, 0, 0, 2, 0, 1, 0, 0,
                               2, 2, 0x44, 0x0a, 0, 0x3b};

TEST_F(X11WallpaperTest, GifPictureIsShownWithItsPalette) {
    const std::string path = Write("two.gif", kTwoPixelGif);
    ASSERT_TRUE(Apply(path, WPSTYLE_CENTER));
    const QImage root = ReadRoot();
    EXPECT_EQ(root.pixel(98, 75), kBlack);
    EXPECT_EQ(root.pixel(99, 75), qRgb(0x00, 0x80, 0xff));
    EXPECT_EQ(root.pixel(100, 75), qRgb(0xff, 0xc8, 0x00));
    EXPECT_EQ(root.pixel(101, 75), kBlack);
}

// The setter of the lean program decodes bitmaps itself; any other format
// needs the toolkit's decoders, and without them it says so.
TEST_F(X11WallpaperTest, WithoutADecoderBitmapsAreShownAndOtherFormatsRefused) {
    X11RootWallpaper lean(nullptr);
    ASSERT_TRUE(Apply(lean, Picture("blue.bmp", 8, 8, kBlue), WPSTYLE_STRETCH));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Apply(lean, Write("two.gif", kTwoPixelGif), WPSTYLE_CENTER));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("two.gif: no decoder for GIF pictures"), std::string::npos) << said;
    EXPECT_EQ(ReadRoot().pixel(100, 75), kBlue);
}

TEST_F(X11WallpaperTest, ASecondApplyReplacesTheFirstAndFreesItsPixmap) {
    ASSERT_TRUE(Apply(Picture("red.bmp", 8, 8, kRed), WPSTYLE_STRETCH));
    const Pixmap first = ReadProperty("_XROOTPMAP_ID");
    ASSERT_TRUE(PixmapExists(first));
    ASSERT_TRUE(Apply(Picture("blue.bmp", 8, 8, kBlue), WPSTYLE_STRETCH));
    const Pixmap second = ReadProperty("_XROOTPMAP_ID");
    EXPECT_NE(second, first);
    EXPECT_EQ(ReadProperty("ESETROOT_PMAP_ID"), second);
    EXPECT_TRUE(PixmapExists(second));
    EXPECT_FALSE(PixmapExists(first)) << "the earlier pixmap leaks";
    EXPECT_EQ(ReadRoot().pixel(10, 10), kBlue);
}

TEST_F(X11WallpaperTest, FreesOnlyWhatASetterLeftBehind) {
    // Another program's pixmap, named by one property only: not ours to free.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const Window root = DefaultRootWindow(other);
    const Pixmap theirs = XCreatePixmap(other, root, 4, 4, 24);
    const Atom rootId = XInternAtom(other, "_XROOTPMAP_ID", False);
    const Atom esetrootId = XInternAtom(other, "ESETROOT_PMAP_ID", False);
    auto name = [&](Atom property, Pixmap pixmap) {
        const unsigned long id = pixmap;
        XChangeProperty(other, root, property, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&id), 1);
    };
    name(rootId, theirs);
    XDeleteProperty(other, root, esetrootId);
    XSync(other, False);
    EXPECT_TRUE(Apply(Picture("red.bmp", 8, 8, kRed), WPSTYLE_STRETCH));
    EXPECT_TRUE(PixmapExists(theirs));

    // Both properties on a pixmap that is gone: its number names a live client
    // (the other program), which must survive the apply.
    const Pixmap gone = XCreatePixmap(other, root, 4, 4, 24);
    XFreePixmap(other, gone);
    name(rootId, gone);
    name(esetrootId, gone);
    XSync(other, False);
    EXPECT_TRUE(Apply(Picture("blue.bmp", 8, 8, kBlue), WPSTYLE_STRETCH));
    EXPECT_TRUE(PixmapExists(theirs));
    EXPECT_EQ(ReadRoot().pixel(0, 0), kBlue);
    XCloseDisplay(other);

    // A setter that did not keep its pixmap: the next connection, ours, gets
    // its client number and so the same number for its own new pixmap.
    Display* careless = XOpenDisplay(nullptr);
    ASSERT_NE(careless, nullptr);
    const Pixmap lost = XCreatePixmap(careless, root, 4, 4, 24);
    const unsigned long id = lost;
    for (const Atom property : {rootId, esetrootId})
        XChangeProperty(careless, root, property, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&id), 1);
    XCloseDisplay(careless);
    EXPECT_TRUE(Apply(Picture("red.bmp", 8, 8, kRed), WPSTYLE_STRETCH));
    EXPECT_EQ(ReadRoot().pixel(0, 0), kRed);
}

TEST_F(X11WallpaperTest, AFailedApplyChangesNothing) {
    ASSERT_TRUE(Apply(Picture("red.bmp", 8, 8, kRed), WPSTYLE_STRETCH));
    const Pixmap before = ReadProperty("_XROOTPMAP_ID");

    const std::string garbage = folder_ + "/garbage.bmp";
    std::ofstream(garbage) << "BM but not a bitmap";
    EXPECT_FALSE(Apply(garbage, WPSTYLE_STRETCH));
    EXPECT_FALSE(Apply(folder_ + "/missing.bmp", WPSTYLE_STRETCH));
    EXPECT_FALSE(Apply(folder_, WPSTYLE_STRETCH));

    auto desktop = X11RootWallpaper().Create();
    ASSERT_TRUE(desktop);
    EXPECT_FALSE(desktop->ApplyChanges(7)) << "neither style nor file given";
    WallpaperOpt bad;
    bad.dwStyle = 5;
    EXPECT_FALSE(desktop->SetWallpaperOptions(bad));
    desktop->SetWallpaper(Picture("blue.bmp", 8, 8, kBlue));
    EXPECT_FALSE(desktop->ApplyChanges(7)) << "a refused style is no style";

    EXPECT_EQ(ReadProperty("_XROOTPMAP_ID"), before);
    EXPECT_EQ(ReadRoot().pixel(100, 75), kRed);
}

// Qt paints what a bitmap lacks from memory nobody wrote, and any X client
// can read the root back: a picture that does not hold its pixels is refused.
TEST_F(X11WallpaperTest, PicturesThatDoNotHoldTheirPixelsLeaveTheRootAsItWas) {
    ASSERT_TRUE(Apply(Picture("red.bmp", 8, 8, kRed), WPSTYLE_STRETCH));
    const Pixmap before = ReadProperty("_XROOTPMAP_ID");

    const std::string whole = Bytes(Picture("blue64.bmp", 64, 64, kBlue));
    ExpectRefused(Write("cut.bmp", whole.substr(0, whole.size() / 2)));
    std::string lying = whole;
    lying[23] = 2;  // the height at byte 22: 64 + 512 rows, in a file of 64
    ExpectRefused(Write("lying.bmp", lying));
    // A FIFO with no writer: opening it for reading would wait for ever.
    const std::string fifo = folder_ + "/fifo.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ExpectRefused(fifo);

    EXPECT_EQ(ReadProperty("_XROOTPMAP_ID"), before);
    EXPECT_EQ(ReadRoot().pixel(100, 75), kRed);
}

TEST_F(X11WallpaperTest, NameInLatin1IsOpenedByItsBytes) {
    ASSERT_TRUE(Apply(Picture("caf\xe9.bmp", 8, 8, kBlue), WPSTYLE_STRETCH));
    EXPECT_EQ(ReadRoot().pixel(100, 75), kBlue);
}

// 6000 x 6000 decodes to 144 MB, past Qt's default allocation limit of 128 MB.
TEST_F(X11WallpaperTest, LargePictureIsShown) {
    constexpr std::uint32_t kSide = 6000;
    // 24 bits, lines of 18000 bytes: no padding.
    constexpr std::uint32_t kPixels = kSide * kSide * 3;
    auto le32 = [](std::uint32_t value) {
        std::string out;
        for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xff);
        return out;
    };
    std::string bmp = "BM" + le32(54 + kPixels) + le32(0) + le32(54) + le32(40) + le32(kSide) +
                      le32(kSide) + std::string("\x01\0\x18\0", 4) + le32(0) + le32(kPixels) +
                      std::string(16, '\0');
    bmp.reserve(bmp.size() + kPixels);
    // Blue, green, red: green.
    for (std::uint32_t i = 0; i < kSide * kSide; ++i) bmp.append("\0\xff\0", 3);
    ASSERT_TRUE(Apply(Write("large.bmp", bmp), WPSTYLE_STRETCH));
    const QImage root = ReadRoot();
    for (const QPoint at : {QPoint(0, 0), QPoint(100, 75), QPoint(199, 149)})
        EXPECT_EQ(root.pixel(at), qRgb(0, 255, 0));
}

TEST_F(X11WallpaperTest, ReportsActiveDesktopOnAndNoServiceWithoutADisplay) {
    auto desktop = X11RootWallpaper().Create();
    ASSERT_TRUE(desktop);
    ComponentsOpt options;
    options.fEnableComponents = 5;
    ASSERT_TRUE(desktop->GetDesktopItemOptions(options));
    EXPECT_EQ(options.fActiveDesktop, 1u);
    EXPECT_EQ(options.fEnableComponents, 0u);

    const std::string display = getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(X11RootWallpaper().Create(), nullptr);
    EXPECT_EQ(X11RootWallpaper().CreatePerMonitor(), nullptr);
    setenv("DISPLAY", display.c_str(), 1);
}

// A bitmap is read where its file is mapped; a file cut short meanwhile
// fails the read past its new end instead of ending the program (SIGBUS).
TEST(MappedFileTest, AFileCutShortUnderTheReaderFailsTheReadOnly) {
    char folder[] = "/tmp/mappedfile.XXXXXX";
    const std::string path = std::string(mkdtemp(folder)) + "/cut.bmp";
    std::ofstream(path, std::ios::binary) << std::string(3 * 4096, 'x');
    MappedFile file;
    ASSERT_TRUE(file.Map(path, 1 << 20));
    ASSERT_EQ(file.size(), 3u * 4096);
    ASSERT_EQ(truncate(path.c_str(), 100), 0);
    unsigned sum = 0;
    EXPECT_FALSE(ReadMapped([&] {
        for (std::size_t i = 0; i < file.size(); i += 4096) sum += file.data()[i + 4095];
    }));
    EXPECT_TRUE(ReadMapped([&] { sum += file.data()[99]; })) << "what is left stays readable";
    fs::remove_all(folder);
}

// 1920 x 1080 split into two RandR monitors side by side, A left and B right.
class X11MonitorsTest : public X11WallpaperTest {
protected:
    static void SetUpTestSuite() {
        Start("1920x1080x24");
        split_ = !server_->display().empty() &&
                 std::system("(xrandr --setmonitor A 960/254x1080/286+0+0 screen && "
                             "xrandr --setmonitor B 960/254x1080/286+960+0 none) >/dev/null") == 0;
    }
    void SetUp() override {
        X11WallpaperTest::SetUp();
        ASSERT_TRUE(split_) << "xrandr did not split the screen";
    }
    static std::vector<bool> Set(const std::vector<std::string>& pictures, std::int32_t style) {
        auto monitors = X11RootWallpaper().CreatePerMonitor();
        if (!monitors) return {};
        EXPECT_EQ(monitors->Monitors(), (std::vector<std::string>{"A 960x1080+0+0", "B 960x1080+960+0"}));
        return monitors->SetWallpapers(pictures, style);
    }
    // A picture of one colour with another at its top-left pixel.
    static std::string Marked(const std::string& name, QSize size, QRgb colour, QRgb mark) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.setPixel(0, 0, mark);
        return Save(name, image);
    }
    static void ExpectPixels(const QImage& root, const std::vector<std::pair<QPoint, QRgb>>& pixels) {
        for (const auto& [at, colour] : pixels)
            EXPECT_EQ(root.pixel(at), colour) << at.x() << "," << at.y();
    }
    static inline bool split_ = false;
};

constexpr QRgb kGreen = 0xff00ff00;
constexpr QRgb kYellow = 0xffffff00;
const std::vector<bool> kBoth{true, true};

TEST_F(X11MonitorsTest, EachMonitorShowsItsOwnPictureInTheStyle) {
    // Centred in each half: columns 460 to 499 and 1420 to 1459, rows 520 to 559.
    ASSERT_EQ(Set({Picture("a.bmp", 40, 40, kRed), Picture("b.bmp", 40, 40, kBlue)}, WPSTYLE_CENTER), kBoth);
    ExpectPixels(ReadRoot(), {{{460, 520}, kRed}, {{499, 559}, kRed}, {{459, 540}, kBlack}, {{500, 540}, kBlack},
                              {{480, 519}, kBlack}, {{480, 560}, kBlack}, {{0, 0}, kBlack}, {{959, 1079}, kBlack},
                              {{1420, 520}, kBlue}, {{1459, 559}, kBlue}, {{1419, 540}, kBlack},
                              {{1460, 540}, kBlack}, {{960, 0}, kBlack}});

    // 7 columns do not divide 960: tiled across the screen, column 959 would start
    // a new tile; tiled from each half's own corner, column 960 does.
    ASSERT_EQ(Set({Marked("ta.bmp", {7, 5}, kGreen, kRed), Marked("tb.bmp", {7, 5}, kBlue, kYellow)},
                  WPSTYLE_TILE),
              kBoth);
    ExpectPixels(ReadRoot(), {{{0, 0}, kRed}, {{7, 5}, kRed}, {{1, 0}, kGreen}, {{959, 0}, kRed},
                              {{952, 1075}, kRed}, {{960, 0}, kYellow}, {{967, 5}, kYellow},
                              {{961, 0}, kBlue}, {{1919, 1079}, kBlue}, {{1912, 0}, kYellow}});

    // Two columns each stretched over one half: the left column over its left quarter.
    QImage a(2, 1, QImage::Format_RGB32);
    a.setPixel(0, 0, kRed);
    a.setPixel(1, 0, kGreen);
    QImage b = a;
    b.setPixel(0, 0, kBlue);
    b.setPixel(1, 0, kYellow);
    ASSERT_EQ(Set({Save("sa.bmp", a), Save("sb.bmp", b)}, WPSTYLE_STRETCH), kBoth);
    ExpectPixels(ReadRoot(), {{{0, 0}, kRed}, {{100, 1079}, kRed}, {{860, 540}, kGreen}, {{959, 0}, kGreen},
                              {{960, 0}, kBlue}, {{1060, 540}, kBlue}, {{1820, 1079}, kYellow}});

    // 40 x 20 fitted into 960 x 1080: 960 x 480 in rows 300 to 779 of each half.
    ASSERT_EQ(Set({Picture("fa.bmp", 40, 20, kRed), Picture("fb.bmp", 40, 20, kBlue)}, WPSTYLE_KEEPASPECT), kBoth);
    ExpectPixels(ReadRoot(), {{{480, 299}, kBlack}, {{0, 300}, kRed}, {{959, 779}, kRed}, {{480, 780}, kBlack},
                              {{1440, 299}, kBlack}, {{960, 300}, kBlue}, {{1919, 779}, kBlue}});
}

TEST_F(X11MonitorsTest, AMonitorWhosePictureFailsKeepsWhatItShowed) {
    const std::string red = Picture("red.bmp", 8, 8, kRed);
    const std::string garbage = Write("garbage.bmp", "BM but not a bitmap");
    ASSERT_EQ(Set({red, Picture("blue.bmp", 8, 8, kBlue)}, WPSTYLE_STRETCH), kBoth);
    const Pixmap first = ReadProperty("_XROOTPMAP_ID");

    ASSERT_EQ(Set({garbage, Picture("green.bmp", 8, 8, kGreen)}, WPSTYLE_STRETCH), (std::vector<bool>{false, true}));
    ExpectPixels(ReadRoot(), {{{0, 0}, kRed}, {{959, 1079}, kRed}, {{960, 0}, kGreen}, {{1919, 1079}, kGreen}});
    const Pixmap second = ReadProperty("_XROOTPMAP_ID");
    EXPECT_NE(second, first);
    EXPECT_FALSE(PixmapExists(first)) << "the pixmap the kept half came from leaks";

    // No picture at all: the root is not touched.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Set({garbage, folder_ + "/missing.bmp"}, WPSTYLE_STRETCH), (std::vector<bool>{false, false}));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("garbage.bmp: "), std::string::npos) << said;
    EXPECT_NE(said.find("missing.bmp: no such file"), std::string::npos) << said;
    EXPECT_EQ(ReadProperty("_XROOTPMAP_ID"), second);
    ExpectPixels(ReadRoot(), {{{0, 0}, kRed}, {{1919, 1079}, kGreen}});

    // Nothing left to keep from: the failed half turns black, and says so.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XDeleteProperty(other, DefaultRootWindow(other), XInternAtom(other, "_XROOTPMAP_ID", False));
    XCloseDisplay(other);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Set({red, garbage}, WPSTYLE_STRETCH), (std::vector<bool>{true, false}));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("monitor B 960x1080+960+0 shows black"), std::string::npos);
    ExpectPixels(ReadRoot(), {{{0, 0}, kRed}, {{959, 1079}, kRed}, {{960, 0}, kBlack}, {{1919, 1079}, kBlack}});
}

// A 16-bit screen packs its pixels in 5-6-5 bits, not in whole bytes per channel.
TEST(X11WallpaperDepthTest, StretchOnA16BitScreen) {
    XServer server("64x48x16");
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", server.display().c_str(), 1);
    char folder[] = "/tmp/x11wallpaper16.XXXXXX";
    const std::string path = std::string(mkdtemp(folder)) + "/yellow.bmp";
    QImage yellow(4, 4, QImage::Format_RGB32);
    yellow.fill(qRgb(255, 255, 0));
    ASSERT_TRUE(yellow.save(QString::fromStdString(path), "BMP"));
    X11RootWallpaper service;
    ApplyWallpaper(service, path, WPSTYLE_STRETCH, true);
    const QImage root = ReadRoot();
    fs::remove_all(folder);
    ASSERT_EQ(root.size(), QSize(64, 48));
    for (int y = 0; y < root.height(); ++y)
        for (int x = 0; x < root.width(); ++x)
            ASSERT_EQ(root.pixel(x, y), qRgb(255, 255, 0)) << x << "," << y;
}

// How the root looked when Qt drew it, QPainter over black and QImage's
// smooth scaling, which averages when it shrinks: what the X server's
// drawing must match.
QImage QtRoot(const QImage& picture, std::uint32_t style, int width, int height) {
    QImage root(width, height, QImage::Format_RGB32);
    root.fill(Qt::black);
    QPainter painter(&root);
    const auto w = static_cast<std::int64_t>(picture.width());
    const auto h = static_cast<std::int64_t>(picture.height());
    const bool wider = w * height > h * width;
    switch (style) {
    case WPSTYLE_CENTER:
        painter.drawImage(width / 2 - picture.width() / 2, height / 2 - picture.height() / 2, picture);
        break;
    case WPSTYLE_TILE:
        painter.fillRect(root.rect(), QBrush(picture));
        break;
    case WPSTYLE_KEEPASPECT: {
        const QSize size = wider ? QSize(width, static_cast<int>(std::max<std::int64_t>(1, (h * width + w / 2) / w)))
                                 : QSize(static_cast<int>(std::max<std::int64_t>(1, (w * height + h / 2) / h)), height);
        painter.drawImage((width - size.width()) / 2, (height - size.height()) / 2,
                          picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    case WPSTYLE_CROPTOFIT: {
        QRect crop;
        if (wider) {
            const int kept = static_cast<int>(std::max<std::int64_t>(1, (h * width + height / 2) / height));
            crop = {(picture.width() - kept) / 2, 0, kept, picture.height()};
        } else {
            const int kept = static_cast<int>(std::max<std::int64_t>(1, (w * height + width / 2) / width));
            crop = {0, (picture.height() - kept) / 2, picture.width(), kept};
        }
        painter.drawImage(0, 0, picture.copy(crop).scaled(width, height, Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation));
        break;
    }
    default:
        painter.drawImage(0, 0, picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    return root;
}

// Peak signal-to-noise ratio over the three channels, in dB; infinite when equal.
double Psnr(const QImage& a, const QImage& b) {
    double squares = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int dr = qRed(p[x]) - qRed(q[x]);
            const int dg = qGreen(p[x]) - qGreen(q[x]);
            const int db = qBlue(p[x]) - qBlue(q[x]);
            squares += dr * dr + dg * dg + db * db;
        }
    }
    const double mean = squares / (3.0 * a.width() * a.height());
    return 10 * std::log10(255.0 * 255.0 / mean);
}

// A picture with detail at every scale, as a photograph has: blotches of
// colour smoothly blended, and grain in every pixel.
QImage Detailed(QSize size, unsigned seed) {
    std::minstd_rand random(seed);
    QImage blotches(size / 24, QImage::Format_RGB32);
    for (int y = 0; y < blotches.height(); ++y)
        for (int x = 0; x < blotches.width(); ++x) blotches.setPixel(x, y, static_cast<QRgb>(random()) | 0xff000000);
    QImage picture = blotches.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const auto grain = static_cast<std::uint32_t>(random());
            auto jitter = [&](int level, int shift) { return std::clamp(level + static_cast<int>(grain >> shift & 31) - 16, 0, 255); };
            row[x] = qRgb(jitter(qRed(row[x]), 0), jitter(qGreen(row[x]), 5), jitter(qBlue(row[x]), 10));
        }
    }
    return picture;
}

// The 1920 x 1080 screen of the monitor tests, its two halves A and B.
class X11QualityTest : public X11MonitorsTest {
protected:
    // The root matches Qt's drawing: equal where nothing is scaled, within 35 dB where something is.
    static void ExpectLikeQt(const QImage& expected, bool exact, const char* what) {
        const QImage root = ReadRoot();
        ASSERT_EQ(root.size(), expected.size());
        const double psnr = Psnr(root, expected);
        std::cout << what << ": " << psnr << " dB\n";
        if (exact)
            EXPECT_TRUE(root == expected) << what << ": " << psnr << " dB";
        else
            EXPECT_GE(psnr, 35.0) << what;
    }
};

TEST_F(X11QualityTest, EachStyleLooksAsQtDrewIt) {
    const struct {
        const char* what;
        QSize size;
        std::uint32_t style;
        const char* format;
        bool exact;
    } cases[] = {
        {"same-size stretch", {1920, 1080}, WPSTYLE_STRETCH, "BMP", true},
        {"centre, cropped above and below", {1001, 1201}, WPSTYLE_CENTER, "BMP", true},
        {"tile", {301, 199}, WPSTYLE_TILE, "BMP", true},
        {"stretch up", {1280, 720}, WPSTYLE_STRETCH, "BMP", false},
        {"fit a PNG", {1600, 1200}, WPSTYLE_KEEPASPECT, "PNG", false},
        {"fill with a PNG averaged down", {4000, 2400}, WPSTYLE_CROPTOFIT, "PNG", false},
        {"fill", {2560, 1600}, WPSTYLE_CROPTOFIT, "BMP", false},
        {"fit, shrunk 1.85 times", {3000, 1998}, WPSTYLE_KEEPASPECT, "BMP", false},
        {"4K shrunk to 1080p", {3840, 2160}, WPSTYLE_STRETCH, "BMP", false},
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage picture = Detailed(c.size, seed++);
        const std::string path = folder_ + "/quality." + c.format;
        ASSERT_TRUE(picture.save(QString::fromStdString(path), c.format));
        ASSERT_TRUE(Apply(path, c.style));
        ExpectLikeQt(QtRoot(picture, c.style, 1920, 1080), c.exact, c.what);
    }
}

TEST_F(X11QualityTest, EachMonitorLooksAsQtDrewIt) {
    const QImage a = Detailed({1280, 1024}, 11);
    const QImage b = Detailed({2900, 3300}, 12);  // averaged down three times for fill
    for (const std::uint32_t style : {WPSTYLE_CROPTOFIT, WPSTYLE_TILE}) {
        ASSERT_EQ(Set({Save("qa.bmp", a), Save("qb.bmp", b)}, static_cast<std::int32_t>(style)), kBoth);
        QImage expected(1920, 1080, QImage::Format_RGB32);
        QPainter painter(&expected);
        painter.drawImage(0, 0, QtRoot(a, style, 960, 1080));
        painter.drawImage(960, 0, QtRoot(b, style, 960, 1080));
        painter.end();
        ExpectLikeQt(expected, style == WPSTYLE_TILE, style == WPSTYLE_TILE ? "tile per monitor" : "fill per monitor");
    }
}

}  // namespace
}  // namespace vlmr
