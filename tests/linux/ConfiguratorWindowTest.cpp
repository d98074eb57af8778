// The Qt configurator and progress windows in-process, on Qt's offscreen
// platform at 96 dpi, wired to the real presenters over fake services.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "BuildConfig.h"
#include "CWaitWindow.h"
#include "ConfiguratorWindow.h"
#include "Fakes.h"
#include "store/IniText.h"
#include "FrameBox.h"
#include "OptionsWindow.h"
#include "PictureBox.h"

namespace vlmr::test {
namespace {

// Answers from a queue like the fake chooser, and notes whether the open
// button still looked pressed when the chooser was asked.
class ProbingChooser : public FolderChooser {
public:
    std::string BrowseForImageFolder() override {
        sunkenWhenAsked.push_back(probe && probe());
        if (choices.empty()) return "";
        std::string choice = choices.front();
        choices.pop_front();
        return choice;
    }
    std::string GetShortPath(std::string_view path) override { return std::string(path); }
    std::deque<std::string> choices;
    std::function<bool()> probe;
    std::vector<bool> sunkenWhenAsked;
};

struct Rig {
    explicit Rig(const std::string& ini = "") {
        if (!ini.empty()) base.files.files["/app/Config.ini"] = ini;
        window.Attach(form);
        waitWindow.SetClickAction([this] { wait.WLabrel_Click(); });
        chooser.probe = [this] { return Control<PictureBox>("POpen")->Sunken(); };
    }
    template <typename T>
    T* Control(const char* name) {
        T* control = window.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void ShowLoaded() {
        form.Load();
        window.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    std::string Ini() { return base.files.files["/app/Config.ini"]; }
    bool Journaled(const std::string& entry) {
        return std::find(base.journal.begin(), base.journal.end(), entry) != base.journal.end();
    }

    World base;
    RecordingSettings settings{base.journal, base.settings};
    Services services{base.runtime, base.files, settings, base.wallpaper, base.shell};
    FakeLogonList logon{base.journal};
    ProbingChooser chooser;
    FakeFolderLister lister;
    CWaitWindow waitWindow;
    CWait wait{base.runtime, base.shell, waitWindow};
    ConfiguratorWindow window;
    frmConfig form{ConfigServices{services, logon, chooser, lister, "/opt/my apps/VLMR"}, window, wait,
                   [] { return WindowHandle{4242}; }};
};

// At 96 dpi a place in twips is the nearest whole pixels, 15 twips each.
void ExpectPlacedAt(const QRect& pixels, const layout::Twips& twips, const char* name) {
    const auto near = [](int pixel, int twip) { return std::abs(pixel * 15 - twip) <= 7; };
    EXPECT_TRUE(near(pixels.x(), twips.left) && near(pixels.y(), twips.top) && near(pixels.width(), twips.width) &&
                near(pixels.height(), twips.height))
        << name << " is at " << pixels.x() << "," << pixels.y() << " " << pixels.width() << " x " << pixels.height();
}

QString CaptionOf(QWidget* control) {
    if (auto* frame = dynamic_cast<FrameBox*>(control)) return frame->Caption();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* field = qobject_cast<QLineEdit*>(control)) return field->text();
    return {};
}

TEST(ConfiguratorWindow, ControlsSitWhereTheLayoutPutsThemAt96Dpi) {
    Rig rig;
    rig.ShowLoaded();
    ASSERT_EQ(rig.window.screen()->logicalDotsPerInch(), 96);
    ExpectPlacedAt(QRect(QPoint(), rig.window.size()), {0, 0, kConfiguratorWindow.width, kConfiguratorWindow.height},
                   "the window");
    EXPECT_EQ(rig.window.minimumSize(), rig.window.size());
    EXPECT_EQ(rig.window.maximumSize(), rig.window.size());
    EXPECT_EQ(rig.window.windowTitle(), kConfiguratorWindow.caption);
    EXPECT_TRUE(rig.window.windowFlags() & Qt::WindowCloseButtonHint);

    for (const layout::Control& row : kConfiguratorControls) {
        QWidget* control = rig.Control<QWidget>(row.name);
        ASSERT_NE(control, nullptr);
        QWidget* container = row.container ? rig.Control<QWidget>(row.container) : &rig.window;
        EXPECT_EQ(control->parentWidget(), container) << row.name;
        ExpectPlacedAt(control->geometry(), row.place, row.name);
        EXPECT_TRUE(control->isVisible() && control->isEnabled()) << row.name;
    }
}

TEST(ConfiguratorWindow, CaptionsFontsAndColours) {
    Rig rig;
    rig.ShowLoaded();
    // No MS Sans Serif here, so the system's dialog family at the layout's size.
    const QString family = QApplication::font().family();
    for (const layout::Control& row : kConfiguratorControls) {
        if (row.kind == layout::Kind::PictureButton) continue;  // a picture, no text
        QWidget* control = rig.Control<QWidget>(row.name);
        EXPECT_EQ(CaptionOf(control), row.caption) << row.name;
        const QFont font = control->font();
        EXPECT_EQ(font.family(), family) << row.name;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), row.font.points) << row.name;
        EXPECT_EQ(font.bold(), row.font.bold) << row.name << ": a control takes the weight of its frame";
        if (row.colour.fixed) {
            EXPECT_EQ(control->palette().color(QPalette::WindowText),
                      QColor(row.colour.red, row.colour.green, row.colour.blue))
                << row.name;
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask,
                      row.align == layout::Align::Right ? Qt::AlignRight : Qt::AlignLeft)
                << row.name;
        }
    }
    // Captions fit their boxes: the room the style leaves beside the mark
    // holds the whole text.
    for (const char* name : {"OCenter", "OTile", "OStretch", "LStart"}) {
        auto* button = rig.Control<QAbstractButton>(name);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
        const QRect room = button->style()->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, button);
        EXPECT_LE(room.left() + button->fontMetrics().horizontalAdvance(button->text()), button->width()) << name;
    }
}

TEST(ConfiguratorWindow, TabGoesThroughTheControlsInTheirOrder) {
    Rig rig;
    rig.ShowLoaded();
    // Every control in the table's order but the frame and the label, which take no focus.
    std::vector<std::string> expected;
    for (const layout::Control& row : kConfiguratorControls)
        if (row.kind != layout::Kind::Frame && row.kind != layout::Kind::Label) expected.push_back(row.name);
    std::vector<std::string> order;
    QWidget* w = rig.Control<QWidget>("IPath");
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &rig.window && !w->objectName().isEmpty())
            order.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != rig.Control<QWidget>("IPath"));
    EXPECT_EQ(order, expected);
}

TEST(ConfiguratorWindow, TheLoadShowsTheStoredChoicesBeforeTheWindowIsShown) {
    Rig rig("[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Tile\r\n");
    rig.form.Load();
    EXPECT_FALSE(rig.window.isVisible());
    EXPECT_TRUE(rig.Control<QCheckBox>("LStart")->isChecked());
    EXPECT_TRUE(rig.Control<QRadioButton>("OTile")->isChecked());
    EXPECT_FALSE(rig.Control<QRadioButton>("OCenter")->isChecked());
    EXPECT_EQ(rig.logon.entries["VLMR"], "/opt/my apps/VLMR");
}

TEST(ConfiguratorWindow, ChoosingAStyleStoresItOnceAndMovesTheSelection) {
    Rig rig;
    rig.ShowLoaded();
    auto* stretch = rig.Control<QRadioButton>("OStretch");
    QTest::mouseClick(stretch, Qt::LeftButton, {}, QPoint(5, stretch->height() / 2));
    EXPECT_EQ(rig.form.Style, StyleOption::Stretch);
    EXPECT_NE(rig.Ini().find("Style=Stretch"), std::string::npos) << rig.Ini();

    const std::size_t writes = rig.base.files.writes;
    QTest::mouseClick(stretch, Qt::LeftButton, {}, QPoint(5, stretch->height() / 2));
    EXPECT_EQ(rig.base.files.writes, writes) << "the same choice again is no change";

    auto* center = rig.Control<QRadioButton>("OCenter");
    QTest::mouseClick(center, Qt::LeftButton, {}, QPoint(5, center->height() / 2));
    EXPECT_EQ(rig.form.Style, StyleOption::Center);
    EXPECT_TRUE(center->isChecked());
    EXPECT_FALSE(stretch->isChecked());
    EXPECT_NE(rig.Ini().find("Style=Center"), std::string::npos) << rig.Ini();
}

TEST(ConfiguratorWindow, LoadAtStartupTicksAndClears) {
    Rig rig;
    rig.ShowLoaded();
    auto* box = rig.Control<QCheckBox>("LStart");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    EXPECT_EQ(rig.form.LStart, vbChecked);
    EXPECT_EQ(rig.logon.entries["VLMR"], "/opt/my apps/VLMR");
    EXPECT_NE(rig.Ini().find("Enabled=True"), std::string::npos);

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(rig.form.LStart, vbUnchecked);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(rig.logon.entries.count("VLMR"), 0u);
    EXPECT_NE(rig.Ini().find("Enabled=False"), std::string::npos);
    EXPECT_EQ(std::count_if(rig.base.journal.begin(), rig.base.journal.end(),
                            [](const std::string& e) { return e.rfind("logon:", 0) == 0; }),
              2);
}

TEST(ConfiguratorWindow, TypingAndPastingReachThePathField) {
    Rig rig;
    rig.ShowLoaded();
    auto* field = rig.Control<QLineEdit>("IPath");
    field->setFocus();
    QTest::keyClicks(field, "/srv/pics");
    EXPECT_EQ(rig.form.IPath, "/srv/pics");
    QApplication::clipboard()->setText("/home/ann/My Pictures");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rig.form.IPath, "/home/ann/My Pictures");

    // What the presenter puts there is shown, and not echoed back as an edit.
    rig.chooser.choices = {"/data/wall"};
    rig.form.POpen_Click();
    EXPECT_EQ(field->text(), "/data/wall");
    EXPECT_EQ(rig.form.IPath, "/data/wall");
}

TEST(ConfiguratorWindow, PictureButtonsSinkWhilePressedAndAreFlatBeforeTheClick) {
    Rig rig;
    rig.ShowLoaded();
    auto* open = rig.Control<PictureBox>("POpen");
    const QPoint middle(11, 11);

    QTest::mousePress(open, Qt::RightButton, {}, middle);
    EXPECT_TRUE(open->Sunken()) << "any button presses";
    QTest::mouseRelease(open, Qt::RightButton, {}, middle);
    EXPECT_FALSE(open->Sunken());
    EXPECT_TRUE(rig.chooser.sunkenWhenAsked.empty()) << "only the left button clicks";

    rig.chooser.choices = {"/data/wall"};
    QTest::mousePress(open, Qt::LeftButton, {}, middle);
    EXPECT_TRUE(open->Sunken());
    QTest::mouseRelease(open, Qt::LeftButton, {}, middle);
    ASSERT_EQ(rig.chooser.sunkenWhenAsked, std::vector<bool>{false});
    EXPECT_EQ(rig.Control<QLineEdit>("IPath")->text(), "/data/wall");
    EXPECT_EQ(rig.window.windowTitle(), "Dont Forget To Click Save...");

    // Released outside: flat again, no click.
    QTest::mousePress(open, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(open, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_FALSE(open->Sunken());
    EXPECT_EQ(rig.chooser.sunkenWhenAsked.size(), 1u);

    // The save button reaches the save: an empty field is refused.
    rig.Control<QLineEdit>("IPath")->clear();
    rig.form.PathEdited("");
    auto* save = rig.Control<PictureBox>("PSave");
    QTest::mousePress(save, Qt::LeftButton, {}, middle);
    EXPECT_TRUE(save->Sunken());
    QTest::mouseRelease(save, Qt::LeftButton, {}, middle);
    EXPECT_FALSE(save->Sunken());
    ASSERT_EQ(rig.base.runtime.messages.size(), 1u);
    EXPECT_EQ(rig.base.runtime.messages[0].text, "NO PATH SET!!!");
}

TEST(ConfiguratorWindow, CreditLabelOpensTheHomePageAndClosingEndsTheProgram) {
    Rig rig;
    rig.ShowLoaded();
    QTest::mouseClick(rig.Control<QLabel>("Label1"), Qt::LeftButton, {}, QPoint(60, 8));
    EXPECT_TRUE(rig.Journaled(std::string("StartBrowser 4242 /usr/bin/browser ") + kHomePage));
    EXPECT_FALSE(rig.base.runtime.ended);
    rig.window.close();
    EXPECT_TRUE(rig.base.runtime.ended);
}

TEST(CWaitWindow, BorderlessCentredBlueLineCreatedOnFirstShowAndKept) {
    Rig rig;
    EXPECT_EQ(rig.waitWindow.Window(), nullptr);
    rig.wait.Show();
    QWidget* window = rig.waitWindow.Window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    rig.wait.Focus();
    ExpectPlacedAt(QRect(QPoint(), window->size()), {0, 0, kWaitWindow.width, kWaitWindow.height}, "the window");
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->geometry().center(), window->screen()->geometry().center());
    EXPECT_EQ(window->palette().color(QPalette::Window), window->palette().color(QPalette::Button));

    const layout::Control& row = *layout::Find(kWaitControls, "WLabrel");
    auto* label = window->findChild<QLabel*>(row.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), row.caption);
    ExpectPlacedAt(label->geometry(), row.place, row.name);
    EXPECT_EQ(label->font().bold(), row.font.bold);
    // The layout's size, or smaller where a wider stand-in family would cut
    // the line off at the window's edge: the whole line shows.
    EXPECT_LE(label->font().pointSizeF(), row.font.points);
    EXPECT_GE(label->font().pointSizeF(), 7.0);
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), window->width() - label->x());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(row.colour.red, row.colour.green, row.colour.blue));

    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_TRUE(rig.Journaled("StartBrowser " + std::to_string(window->winId()) + " /usr/bin/browser " + kHomePage));

    rig.wait.Hide();
    EXPECT_FALSE(window->isVisible());
    rig.wait.Show();
    EXPECT_EQ(rig.waitWindow.Window(), window) << "a later save shows the same window";
    EXPECT_TRUE(window->isVisible());
}

// The entries of the menu that a context menu request at `at` on `target`
// opens (none: no menu), choosing `choose` when it is there.
std::vector<std::string> MenuAt(QWidget* target, QPoint at, const QString& choose = {}) {
    std::vector<std::string> entries;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            entries.push_back(action->text().toStdString());
            if (action->text() == choose) chosen = action;
        }
        menu->close();
        if (chosen) chosen->trigger();
    });
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &request);
    QCoreApplication::processEvents();  // a menu that did not open leaves the timer to fire here
    return entries;
}

TEST(ConfiguratorWindow, OptionsOpenFromTheBackgroundMenuAndCtrlOAndNowhereElse) {
    Rig rig;
    int opened = 0;
    rig.window.SetOptionsAction([&] { ++opened; });
    rig.ShowLoaded();
    QApplication::setActiveWindow(&rig.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.window));

    QTest::keyClick(rig.Control<QLineEdit>("IPath"), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(opened, 1) << "Ctrl+O in the path field";
    const std::vector<std::string> menu{"Options..."};
    EXPECT_EQ(MenuAt(&rig.window, {200, 100}, "Options..."), menu);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(MenuAt(rig.Control<QWidget>("CFrm"), {200, 8}), menu) << "the frame's background";

    // The path field keeps its own text menu; the controls show none.
    const std::vector<std::string> fieldMenu = MenuAt(rig.Control<QWidget>("IPath"), {5, 5});
    EXPECT_FALSE(fieldMenu.empty());
    EXPECT_EQ(std::count(fieldMenu.begin(), fieldMenu.end(), "Options..."), 0);
    for (const char* control : {"PSave", "POpen", "OTile", "LStart", "Label1"})
        EXPECT_TRUE(MenuAt(rig.Control<QWidget>(control), {3, 3}).empty()) << control;
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(rig.base.files.writes, 0);
}

// The options window as the program makes it: owned by a configurator window.
struct OptionsRig {
    explicit OptionsRig(const std::string& ini = "", bool webp = true) {
        if (!ini.empty()) base.files.files["/app/Config.ini"] = ini;
        if (webp) base.runtime.offeredTypes.push_back(".WEBP");
        window.Attach(form);
    }
    template <typename T>
    T* Control(const char* name) {
        T* control = window.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Open() {
        form.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    std::string Stored(const char* key) { return IniLookup(base.files.files["/app/Config.ini"], "Options", key); }

    World base;
    ConfiguratorWindow owner;
    OptionsWindow window{owner};
    frmOptions form{base.runtime, base.settings, window};
};

TEST(OptionsWindow, AModalDialogOfTheConfiguratorLaidOutAsTheTableSays) {
    OptionsRig rig;
    rig.owner.show();
    rig.Open();
    EXPECT_EQ(rig.window.windowTitle(), kOptionsWindow.caption);
    EXPECT_EQ(rig.window.parentWidget(), &rig.owner);
    EXPECT_EQ(rig.window.windowModality(), Qt::WindowModal);
    EXPECT_TRUE(rig.window.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectPlacedAt(QRect(QPoint(), rig.window.size()), {0, 0, kOptionsWindow.width, kOptionsWindow.height},
                   "the window");
    EXPECT_EQ(rig.window.minimumSize(), rig.window.maximumSize());

    const QString family = QApplication::font().family();
    std::vector<std::string> tabOrder;
    for (const layout::Control& row : kOptionsControls) {
        QWidget* control = rig.Control<QWidget>(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), row.container ? rig.Control<QWidget>(row.container) : &rig.window)
            << row.name;
        ExpectPlacedAt(control->geometry(), row.place, row.name);
        EXPECT_TRUE(control->isVisible()) << row.name;
        EXPECT_EQ(CaptionOf(control), row.caption) << row.name;
        EXPECT_EQ(control->font().family(), family) << row.name;
        EXPECT_DOUBLE_EQ(control->font().pointSizeF(), row.font.points) << row.name;
        EXPECT_EQ(control->font().bold(), row.font.bold) << row.name;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            // The caption fits beside the mark.
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
            const QRect room = button->style()->subElementRect(
                check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, button);
            EXPECT_LE(room.left() + button->fontMetrics().horizontalAdvance(button->text()), button->width())
                << row.name;
            tabOrder.push_back(row.name);
        }
    }
    std::vector<std::string> order;
    QWidget* w = rig.Control<QWidget>("TJpeg");
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &rig.window)
            order.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != rig.Control<QWidget>("TJpeg"));
    EXPECT_EQ(order, tabOrder);

    // Escape closes it; every option was stored already.
    QTest::keyClick(rig.Control<QWidget>("TPng"), Qt::Key_Escape);
    EXPECT_FALSE(rig.window.isVisible());

    // Where WebP is not offered its box is not shown.
    OptionsRig windows("", false);
    windows.Open();
    EXPECT_FALSE(windows.Control<QWidget>("TWebp")->isVisible());
    EXPECT_TRUE(windows.Control<QWidget>("TGif")->isVisible());
}

TEST(OptionsWindow, ShowsWhatIsStoredAndStoresWhatTheUserChanges) {
    OptionsRig rig("[Options]\r\nTypes=.PNG .WEBP\r\nProportions=Fit\r\nPerMonitor=True\r\n");
    rig.Open();
    EXPECT_FALSE(rig.Control<QCheckBox>("TJpeg")->isChecked());
    EXPECT_TRUE(rig.Control<QCheckBox>("TPng")->isChecked());
    EXPECT_TRUE(rig.Control<QCheckBox>("TWebp")->isChecked());
    EXPECT_TRUE(rig.Control<QRadioButton>("SFit")->isChecked());
    EXPECT_FALSE(rig.Control<QRadioButton>("SStretch")->isChecked());
    EXPECT_FALSE(rig.Control<QCheckBox>("NRepeat")->isChecked());
    EXPECT_TRUE(rig.Control<QCheckBox>("PMonitor")->isChecked());
    EXPECT_EQ(rig.base.files.writes, 0) << "opening stored something";

    auto* jpeg = rig.Control<QCheckBox>("TJpeg");
    QTest::mouseClick(jpeg, Qt::LeftButton, {}, QPoint(5, jpeg->height() / 2));
    EXPECT_EQ(rig.Stored("Types"), ".JPG .JPEG .PNG .WEBP");
    auto* fill = rig.Control<QRadioButton>("SFill");
    QTest::mouseClick(fill, Qt::LeftButton, {}, QPoint(5, fill->height() / 2));
    EXPECT_EQ(rig.Stored("Proportions"), "Fill");
    EXPECT_FALSE(rig.Control<QRadioButton>("SFit")->isChecked());
    auto* once = rig.Control<QCheckBox>("NRepeat");
    once->setFocus();
    QTest::keyClick(once, Qt::Key_Space);
    EXPECT_EQ(rig.Stored("NoRepeats"), "True");
    auto* monitors = rig.Control<QCheckBox>("PMonitor");
    QTest::mouseClick(monitors, Qt::LeftButton, {}, QPoint(5, monitors->height() / 2));
    EXPECT_EQ(rig.Stored("PerMonitor"), "False");
    EXPECT_EQ(rig.base.files.writes, 4);
}

}  // namespace
}  // namespace vlmr::test

int main(int argc, char** argv) {
    // In-process and headless: Qt's offscreen platform, 96 dpi.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
