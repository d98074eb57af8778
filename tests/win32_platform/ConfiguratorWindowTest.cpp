// The configurator window on the real Windows API, wired to the real
// presenter with fakes behind it: the controls against the layout table,
// the pictures, and what a user's action on each control makes the
// presenter do.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Fakes.h"
#include "store/IniText.h"
#include "win32/ConfiguratorWindow.h"
#include "win32/DialogFont.h"
#include "win32/Dpi.h"
#include "win32/LayoutColour.h"
#include "win32/OptionsWindow.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

bool WindowsCanBeCreated() {
    const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

// The configurator as the program wires it, with fakes for the services.
struct Rig {
    Rig() { window.Attach(form); }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    std::string Stored(const char* section, const char* key) {
        return IniLookup(base.files.files["/app/Config.ini"], section, key);
    }
    HWND Window() const { return window.Window(); }
    HWND Control(ConfigControlId id) const { return window.Control(id); }

    test::World base;
    test::FakeLogonList logon{base.journal};
    test::FakeFolderChooser chooser{base.journal};
    test::FakeFolderLister lister;
    test::FakeWaitView waitView{base.journal};
    CWait wait{base.runtime, base.shell, waitView};
    ConfiguratorWindow window{GetModuleHandleW(nullptr)};
    frmConfig form{ConfigServices{base.services, logon, chooser, lister, "C:\\Program Files\\Velmora\\VLMR.exe"},
                   window, wait, [this] { return base.view.Handle(); }};
};

class ConfiguratorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!WindowsCanBeCreated()) GTEST_SKIP() << "no display to create windows on";
    }
};

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Top-level windows of this process with the class.
int OwnWindowsOfClass(const wchar_t* className) {
    struct Count {
        const wchar_t* className;
        int found = 0;
    } count{className};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (process == GetCurrentProcessId() && std::wstring(name) == c.className) ++c.found;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// What the user does with the mouse on a control, as the control receives it.
void Press(HWND control, UINT down, UINT up, POINT at = {3, 3}) {
    const WPARAM held = down == WM_LBUTTONDOWN ? MK_LBUTTON : down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_MBUTTON;
    SendMessageW(control, down, held, MAKELPARAM(3, 3));
    SendMessageW(control, up, 0, MAKELPARAM(at.x, at.y));
}

// A picture button as it draws itself now: the colour of one pixel.
COLORREF DrawnPixel(HWND button, int x, int y) {
    RECT client{};
    GetClientRect(button, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    const COLORREF colour = GetPixel(memory, x < 0 ? client.right + x : x, y < 0 ? client.bottom + y : y);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colour;
}
struct Corners {
    COLORREF topLeft, bottomRight;
};
Corners DrawnCorners(HWND button) { return {DrawnPixel(button, 0, 0), DrawnPixel(button, -1, -1)}; }
bool DrawnSunken(HWND button) {
    const Corners c = DrawnCorners(button);
    return c.topLeft == GetSysColor(COLOR_BTNSHADOW) && c.bottomRight == GetSysColor(COLOR_BTNHIGHLIGHT);
}
bool DrawnFlat(HWND button) {
    const Corners c = DrawnCorners(button);
    return c.topLeft == c.bottomRight &&
           (c.topLeft == GetSysColor(COLOR_WINDOWFRAME) || c.topLeft == GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(ConfiguratorWindowTest, FixedSingleBorderWithCloseAndMinimizeAndTheApplicationIcon) {
    Rig rig;
    const HWND window = rig.Window();
    ASSERT_TRUE(window);
    EXPECT_EQ(TextOf(window), L"Velmora Configurator");
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_FALSE(IsWindowVisible(window)) << "shown before the presenter's load";
    // The application icon at the system's big and small sizes.
    for (const auto& [which, width] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
        ASSERT_TRUE(icon) << which;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(width)) << which;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }

    // Shown centred, once, however often it is shown.
    rig.window.Show();
    rig.window.Show();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(OwnWindowsOfClass(ConfiguratorWindow::kClassName), 1);
    RECT frame{};
    GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((frame.left + frame.right) - (monitor.rcMonitor.left + monitor.rcMonitor.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (monitor.rcMonitor.top + monitor.rcMonitor.bottom)), 2);
}

// Each control of the table a child of the window or of its frame, placed,
// captioned, in its font and colours, as the table says at the window's DPI.
void ExpectBuiltFromTheTable(HWND window, const layout::Window& look, std::span<const layout::Control> table,
                             const std::function<HWND(const char*)>& control) {
    const UINT dpi = DpiOfWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, TwipsToPixels(look.width, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(look.height, dpi));

    HDC dc = GetDC(window);
    for (const layout::Control& row : table) {
        SCOPED_TRACE(row.name);
        const HWND built = control(row.name);
        ASSERT_TRUE(built);
        const HWND container = row.container ? control(row.container) : window;
        EXPECT_EQ(GetParent(built), container);
        RECT place{};
        GetWindowRect(built, &place);
        MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, TwipsToPixels(row.place.left, dpi));
        EXPECT_EQ(place.top, TwipsToPixels(row.place.top, dpi));
        EXPECT_EQ(place.right - place.left, TwipsToPixels(row.place.width, dpi));
        EXPECT_EQ(place.bottom - place.top, TwipsToPixels(row.place.height, dpi));
        EXPECT_EQ(Narrow(TextOf(built)), row.caption);
        if (row.kind == layout::Kind::PictureButton) continue;  // a picture, no text

        const auto font = reinterpret_cast<HFONT>(SendMessageW(built, WM_GETFONT, 0, 0));
        ASSERT_TRUE(font);
        LOGFONTW described{};
        ASSERT_TRUE(GetObjectW(font, sizeof described, &described));
        EXPECT_EQ(std::wstring(described.lfFaceName), FaceFor(row.font));
        EXPECT_EQ(described.lfHeight, FontHeight(row.font, dpi));
        EXPECT_EQ(described.lfWeight, row.font.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(described.lfUnderline != 0, row.font.underline);
        if (row.kind == layout::Kind::Label) {
            const auto style = GetWindowLongPtrW(built, GWL_STYLE);
            EXPECT_EQ(style & SS_TYPEMASK, row.align == layout::Align::Right ? SS_RIGHT : SS_LEFTNOWORDWRAP);
        }
        // The text in its colour on the dialog's face colour.
        if (row.kind == layout::Kind::Frame || row.kind == layout::Kind::TextBox) continue;
        const auto brush = SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(built));
        EXPECT_EQ(GetTextColor(dc), ColourRef(row.colour, COLOR_BTNTEXT));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(window, dc);
}

TEST_F(ConfiguratorWindowTest, PlacesCaptionsFontsAndColoursAsTheTableSays) {
    Rig rig;
    ExpectBuiltFromTheTable(rig.Window(), kConfiguratorWindow, kConfiguratorControls,
                            [&](const char* name) { return rig.Control(ConfigControlId(ConfigControlIdOf(name))); });

    // The layout's face where it is installed; 8.25 pt is 11 pixels at 96 dpi.
    EXPECT_EQ(FaceFor(layout::kDialogFont) == Widen(layout::kDialogFont.face),
              FontFamilyInstalled(Widen(layout::kDialogFont.face).c_str()));
    EXPECT_EQ(FontHeight(layout::kDialogFont, 96), -11);
    EXPECT_EQ(FontHeight(layout::kDialogFont, 144), -17);
}

TEST_F(ConfiguratorWindowTest, TabGoesThroughTheControlsInTheirOrder) {
    Rig rig;
    const HWND window = rig.Window();
    std::vector<int> order;
    HWND control = rig.Control(kIdPath);
    for (int step = 0; step < 8 && control; ++step) {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(window, control, FALSE);
        if (control == rig.Control(kIdPath)) break;
    }
    // The style options are one stop: the first while none is selected.
    EXPECT_EQ(order, (std::vector<int>{kIdPath, kIdSave, kIdOpen, kIdCenter, kIdStartup}));

    rig.form.SelectStyle(StyleOption::Tile);
    EXPECT_EQ(GetNextDlgTabItem(window, rig.Control(kIdOpen), FALSE), rig.Control(kIdTile));
    EXPECT_EQ(GetNextDlgTabItem(window, rig.Control(kIdTile), FALSE), rig.Control(kIdStartup));
}

TEST_F(ConfiguratorWindowTest, LoadSetsTheControlsWithoutRunningTheActionsTwice) {
    Rig rig;
    rig.base.files.files["/app/Config.ini"] = "[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Tile\r\n";
    rig.form.Load();
    EXPECT_TRUE(Checked(rig.Control(kIdStartup)));
    EXPECT_FALSE(Checked(rig.Control(kIdCenter)));
    EXPECT_TRUE(Checked(rig.Control(kIdTile)));
    EXPECT_FALSE(Checked(rig.Control(kIdStretch)));
    const auto count = [&](const std::string& prefix) {
        return std::count_if(rig.base.journal.begin(), rig.base.journal.end(),
                             [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("logon:write"), 1);
    EXPECT_EQ(rig.logon.entries["VLMR"], "C:\\Program Files\\Velmora\\VLMR.exe");
    EXPECT_EQ(rig.Stored("VLMR", "Style"), "Tile");
}

TEST_F(ConfiguratorWindowTest, UserClicksReachThePresenter) {
    Rig rig;
    const HWND startup = rig.Control(kIdStartup);
    SendMessageW(startup, BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(startup));
    EXPECT_EQ(rig.form.LStart, vbChecked);
    EXPECT_EQ(rig.logon.entries["VLMR"], "C:\\Program Files\\Velmora\\VLMR.exe");
    EXPECT_EQ(rig.Stored("Startup", "Enabled"), "True");
    SendMessageW(startup, BM_CLICK, 0, 0);
    EXPECT_FALSE(Checked(startup));
    EXPECT_EQ(rig.logon.entries.count("VLMR"), 0u);
    EXPECT_EQ(rig.Stored("Startup", "Enabled"), "False");

    SendMessageW(rig.Control(kIdStretch), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.form.Style, StyleOption::Stretch);
    EXPECT_EQ(rig.Stored("VLMR", "Style"), "Stretch");
    SendMessageW(rig.Control(kIdCenter), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.form.Style, StyleOption::Center);
    EXPECT_EQ(rig.Stored("VLMR", "Style"), "Center");
    EXPECT_FALSE(Checked(rig.Control(kIdStretch)));

    // Typing or pasting into the field is what the save will take.
    SetWindowTextW(rig.Control(kIdPath), L"D:\\Bilder\\Ferien");
    EXPECT_EQ(rig.form.IPath, "D:\\Bilder\\Ferien");

    // The credit opens the home page with the start-up window as the owner,
    // once the click is complete: a press dragged off the label opens nothing.
    const size_t before = rig.base.journal.size();
    Press(rig.Control(kIdCredit), WM_LBUTTONDOWN, WM_LBUTTONUP, {-30, 5});
    EXPECT_EQ(rig.base.journal.size(), before) << "a press released off the credit acted";
    Press(rig.Control(kIdCredit), WM_LBUTTONDOWN, WM_LBUTTONUP, {60, 5});
    ASSERT_FALSE(rig.base.journal.empty());
    EXPECT_EQ(rig.base.journal.back().rfind("StartBrowser 4242 ", 0), 0u) << rig.base.journal.back();

    EXPECT_FALSE(rig.base.runtime.ended);
    SendMessageW(rig.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(rig.base.runtime.ended);
}

TEST_F(ConfiguratorWindowTest, WhatThePresenterSetsShowsWithoutComingBack) {
    Rig rig;
    rig.chooser.choices = {"C:\\Users\\Anna\\My Pictures"};
    rig.chooser.shortForms["C:\\Users\\Anna\\My Pictures"] = "C:\\Users\\Anna\\MYPICT~1";
    rig.form.POpen_Click();
    EXPECT_EQ(TextOf(rig.Control(kIdPath)), L"C:\\Users\\Anna\\MYPICT~1");
    EXPECT_EQ(TextOf(rig.Window()), L"Dont Forget To Click Save...");

    rig.base.journal.clear();
    rig.form.SetLStart(vbChecked);
    rig.form.SelectStyle(StyleOption::Stretch);
    EXPECT_TRUE(Checked(rig.Control(kIdStartup)));
    EXPECT_TRUE(Checked(rig.Control(kIdStretch)));
    EXPECT_EQ(test::Acts(rig.base.journal),
              (test::Journal{"logon:write VLMR=C:\\Program Files\\Velmora\\VLMR.exe", "write-atomic /app/Config.ini",
                             "write-atomic /app/Config.ini"}));
    // A failed folder choice empties the field; the title keeps its reminder.
    rig.form.POpen_Click();
    EXPECT_EQ(TextOf(rig.Control(kIdPath)), L"");
    EXPECT_EQ(rig.form.IPath, "");
    EXPECT_EQ(TextOf(rig.Window()), L"Dont Forget To Click Save...");

    rig.form.SetLStart(vbUnchecked);
    EXPECT_FALSE(Checked(rig.Control(kIdStartup)));
}

// Reports, when the presenter asks for a folder, whether the open button
// was drawn flat at that moment.
class WatchingChooser : public test::FakeFolderChooser {
public:
    WatchingChooser(test::Journal& j, const HWND& button) : FakeFolderChooser(j), button_(button) {}
    std::string BrowseForImageFolder() override {
        journal.push_back(DrawnFlat(button_) ? "browse, button flat" : "browse, button not flat");
        return "";
    }

private:
    const HWND& button_;
};

TEST_F(ConfiguratorWindowTest, PicturesSitInsideTheirBorderOnTheButtonFace) {
    Rig rig;
    const HWND save = rig.Control(kIdSave);
    const HWND open = rig.Control(kIdOpen);
    ASSERT_EQ(DpiOfWindow(rig.Window()), 96u) << "the pixel positions below are those of 96 dpi";
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    // The floppy's dark outline starts one pixel into its picture, the
    // folder's brown one two pixels in, on its seventh row; around them the
    // picture's own grey gives way to the button face.
    EXPECT_EQ(DrawnPixel(save, 1, 1), face);
    EXPECT_EQ(DrawnPixel(save, 2, 2), RGB(0x0F, 0x2A, 0x5C));
    EXPECT_EQ(DrawnPixel(open, 3, 7), RGB(0x7A, 0x52, 0x00));
    EXPECT_EQ(DrawnPixel(open, 1, 1), face);
    // Pressed, the picture moves one pixel in.
    rig.window.SetButtonSunken(vlmr::PictureButton::Save, true);
    EXPECT_EQ(DrawnPixel(save, 3, 3), RGB(0x0F, 0x2A, 0x5C));
    EXPECT_EQ(DrawnPixel(save, 2, 2), face);
}

TEST_F(ConfiguratorWindowTest, PictureButtonsSinkWhileAButtonIsDownAndAreFlatAgainBeforeTheClick) {
    test::World base;
    HWND openButton = nullptr;
    WatchingChooser chooser(base.journal, openButton);
    test::FakeLogonList logon(base.journal);
    test::FakeFolderLister lister;
    test::FakeWaitView waitView(base.journal);
    CWait wait(base.runtime, base.shell, waitView);
    ConfiguratorWindow window(GetModuleHandleW(nullptr));
    frmConfig form(ConfigServices{base.services, logon, chooser, lister, "C:\\VLMR.exe"}, window, wait,
                   [] { return WindowHandle{}; });
    window.Attach(form);
    window.Show();
    openButton = window.Control(kIdOpen);
    const HWND saveButton = window.Control(kIdSave);
    ASSERT_TRUE(DrawnFlat(openButton));
    ASSERT_TRUE(DrawnFlat(saveButton));

    for (const UINT down : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        SCOPED_TRACE(down);
        const WPARAM held = down == WM_LBUTTONDOWN ? MK_LBUTTON : down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_MBUTTON;
        SendMessageW(saveButton, down, held, MAKELPARAM(4, 4));
        EXPECT_TRUE(DrawnSunken(saveButton));
        EXPECT_TRUE(DrawnFlat(openButton));
        SendMessageW(saveButton, down + 1, 0, MAKELPARAM(40, 40));  // released outside: no click
        EXPECT_TRUE(DrawnFlat(saveButton));
    }
    EXPECT_TRUE(base.runtime.messages.empty()) << "a release outside the button clicked it";

    base.journal.clear();
    Press(openButton, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(base.journal, test::Journal{}) << "another button than the left one clicked";
    Press(openButton, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(base.journal, (test::Journal{"browse, button flat", "short "}));
    EXPECT_TRUE(DrawnFlat(openButton));

    // From the keyboard, and as a button message.
    base.journal.clear();
    SendMessageW(openButton, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(openButton, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    SendMessageW(openButton, BM_CLICK, 0, 0);
    EXPECT_EQ(base.journal, (test::Journal{"browse, button flat", "short ", "browse, button flat", "short "}));

    // The save button's click is the save: with an empty field it says so.
    Press(saveButton, WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_EQ(base.runtime.messages.size(), 1u);
    EXPECT_EQ(base.runtime.messages[0].text, "NO PATH SET!!!");
}

// The options window as the program makes it: owned by the configurator window.
struct OptionsRig {
    OptionsRig() {
        window.Attach(form);
        owner.SetOptionsAction([this] { form.Open(); });
    }
    OptionsRig(const OptionsRig&) = delete;
    OptionsRig& operator=(const OptionsRig&) = delete;

    std::string Stored(const char* key) { return IniLookup(base.files.files["/app/Config.ini"], "Options", key); }
    HWND Control(const char* name) const { return window.Control(name); }

    test::World base;
    ConfiguratorWindow owner{GetModuleHandleW(nullptr)};
    OptionsWindow window{owner, GetModuleHandleW(nullptr)};
    frmOptions form{base.runtime, base.settings, window};
};

TEST_F(ConfiguratorWindowTest, OptionsOpenFromTheSystemMenuAsAnOwnedDialogLaidOutAsTheTableSays) {
    OptionsRig rig;
    const HWND options = rig.window.Window();
    ASSERT_TRUE(options);
    EXPECT_EQ(TextOf(options), L"Velmora Options");
    EXPECT_EQ(GetWindow(options, GW_OWNER), rig.owner.Window());
    const auto style = GetWindowLongPtrW(options, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU);
    ExpectBuiltFromTheTable(options, kOptionsWindow, kOptionsControls,
                            [&](const char* name) { return rig.Control(name); });
    EXPECT_FALSE(IsWindowVisible(options));

    // The last entry of the configurator's system menu.
    const HMENU menu = GetSystemMenu(rig.owner.Window(), FALSE);
    const int last = GetMenuItemCount(menu) - 1;
    wchar_t entry[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(last), entry, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(entry), L"Options...");
    EXPECT_EQ(GetMenuItemID(menu, last), kOptionsMenuCommand);

    rig.owner.Show();
    SendMessageW(rig.owner.Window(), WM_SYSCOMMAND, kOptionsMenuCommand, 0);
    EXPECT_TRUE(IsWindowVisible(options));
    EXPECT_FALSE(IsWindowEnabled(rig.owner.Window())) << "the configurator takes clicks while the options are open";
    // Windows offers no WebP here: its box is not shown, the others are.
    EXPECT_FALSE(IsWindowVisible(rig.Control("TWebp")));
    EXPECT_TRUE(IsWindowVisible(rig.Control("TGif")));
    EXPECT_EQ(rig.base.files.writes, 0);

    // Escape, as the program's message loop hands it over, closes it.
    MSG escape{rig.Control("TJpeg"), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
    EXPECT_TRUE(rig.window.HandleDialogMessage(escape));
    EXPECT_FALSE(IsWindowVisible(options));
    EXPECT_TRUE(IsWindowEnabled(rig.owner.Window()));
    SendMessageW(rig.owner.Window(), WM_SYSCOMMAND, kOptionsMenuCommand, 0);
    SendMessageW(options, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(options));
    EXPECT_TRUE(IsWindowEnabled(rig.owner.Window()));
    EXPECT_FALSE(rig.base.runtime.ended) << "closing the options ended the program";
}

TEST_F(ConfiguratorWindowTest, OptionsShowWhatIsStoredAndStoreWhatTheUserClicks) {
    OptionsRig rig;
    rig.base.files.files["/app/Config.ini"] = "[Options]\r\nTypes=.GIF\r\nProportions=Fill\r\nNoRepeats=True\r\n";
    rig.form.Open();
    EXPECT_FALSE(Checked(rig.Control("TJpeg")));
    EXPECT_TRUE(Checked(rig.Control("TGif")));
    EXPECT_TRUE(Checked(rig.Control("SFill")));
    EXPECT_FALSE(Checked(rig.Control("SStretch")));
    EXPECT_TRUE(Checked(rig.Control("NRepeat")));
    EXPECT_FALSE(Checked(rig.Control("PMonitor")));
    EXPECT_EQ(rig.base.files.writes, 0);

    SendMessageW(rig.Control("TJpeg"), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.Stored("Types"), ".JPG .JPEG .GIF");
    SendMessageW(rig.Control("SFit"), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.Stored("Proportions"), "Fit");
    EXPECT_FALSE(Checked(rig.Control("SFill")));
    SendMessageW(rig.Control("NRepeat"), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.Stored("NoRepeats"), "False");
    SendMessageW(rig.Control("PMonitor"), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.Stored("PerMonitor"), "True");
    EXPECT_EQ(rig.base.files.writes, 4);
    // The selected option is the group's one tab stop.
    EXPECT_EQ(GetNextDlgTabItem(rig.window.Window(), rig.Control("TGif"), FALSE), rig.Control("SFit"));
}

}  // namespace
}  // namespace vlmr::win32
