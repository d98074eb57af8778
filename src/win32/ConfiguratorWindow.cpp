#include "win32/ConfiguratorWindow.h"
#include "win32/WindowRouting.h"

#include "win32/ClickLabel.h"
#include "win32/DialogFont.h"
#include "win32/Dpi.h"
#include "win32/FrameControl.h"
#include "win32/PictureBox.h"
#include "win32/ResourceIds.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// The client area in twips: 362 x 107 pixels at 96 dpi.
constexpr int kClientWidthTwips = 5430;
constexpr int kClientHeightTwips = 1605;
constexpr int kClientWidth = kClientWidthTwips / 15;
constexpr int kClientHeight = kClientHeightTwips / 15;
// A fixed single border with a close box; nothing to resize or maximise with.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

constexpr COLORREF kNavy = RGB(0, 0, 128);

struct Place {
    int left, top, width, height;  // twips, relative to the container
};
// The layout as drawn, in twips.
constexpr Place kFramePlace{120, 120, 5175, 1095};
constexpr Place kPathPlace{120, 360, 4935, 195};
constexpr Place kSavePlace{4200, 600, 345, 330};
constexpr Place kOpenPlace{4680, 600, 330, 330};
constexpr Place kCenterPlace{120, 720, 855, 195};
constexpr Place kTilePlace{960, 720, 615, 195};
constexpr Place kStretchPlace{1680, 720, 855, 195};
constexpr Place kCreditPlace{4200, 1320, 1095, 255};
constexpr Place kStartupPlace{120, 1320, 1575, 255};

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

void Move(HWND control, const Place& place, UINT dpi) {
    if (!control) return;
    SetWindowPos(control, nullptr, TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi),
                 TwipsToPixels(place.width, dpi), TwipsToPixels(place.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

HWND CreateControl(HINSTANCE instance, HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                   int id) {
    return CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// The application icon at a size the system uses (shared: never destroyed).
HICON ApplicationIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

void RegisterConfiguratorClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, ConfiguratorWindow::kClassName, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ApplicationIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = ApplicationIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ConfiguratorWindow::kClassName;
    RegisterClassExW(&windowClass);
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetTabStop(HWND control, bool on) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    const DWORD wanted = on ? style | WS_TABSTOP : style & ~static_cast<DWORD>(WS_TABSTOP);
    if (wanted != style) SetWindowLongPtrW(control, GWL_STYLE, static_cast<LONG_PTR>(wanted));
}

}  // namespace

ConfiguratorWindow::ConfiguratorWindow(HINSTANCE instance) {
    RegisterConfiguratorClass(instance, &ConfiguratorWindow::Procedure);
    CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Widen(frmConfig::kTitle).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, kClientWidth, kClientHeight, nullptr, nullptr, instance, this);
    if (!window_) return;
    // Also the window's own: the title bar, the task switcher and anyone asking the window.
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(ApplicationIcon(instance, SM_CXICON, SM_CYICON)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(ApplicationIcon(instance, SM_CXSMICON, SM_CYSMICON)));
    CreateControls(instance);
    Layout(DpiOfWindow(window_));
    SizeAndCentre(window_, kClientWidth, kClientHeight);
}

ConfiguratorWindow::~ConfiguratorWindow() {
    // The controls' owners go with their windows; the window first, so no
    // message reaches a half-destroyed object.
    if (window_) DestroyWindow(window_);
}

void ConfiguratorWindow::CreateControls(HINSTANCE instance) {
    // Created in tab order: the dialog keys follow the order of creation.
    CFrm = std::make_unique<FrameControl>(instance, window_, kIdFrame, L" Image Path ");
    const HWND frame = CFrm->Window();
    IPath = CreateControl(instance, frame, L"EDIT", L"", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, kIdPath);
    // The field is as high as its text: its line is drawn around it.
    CFrm->OutlineChild(IPath);
    PSave = std::make_unique<PictureBox>(instance, frame, kIdSave, L"Save", IDB_SAVE);
    POpen = std::make_unique<PictureBox>(instance, frame, kIdOpen, L"Open", IDB_OPEN);
    OCenter = CreateControl(instance, frame, L"BUTTON", L"Center", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                            kIdCenter);
    OTile = CreateControl(instance, frame, L"BUTTON", L"Tile", BS_AUTORADIOBUTTON, kIdTile);
    OStretch = CreateControl(instance, frame, L"BUTTON", L"Stretch", BS_AUTORADIOBUTTON, kIdStretch);
    Label1 = CreateControl(instance, window_, L"STATIC", L"Corvantis", WS_GROUP | SS_RIGHT | SS_NOTIFY | SS_NOPREFIX,
                           kIdCredit);
    MakeClickLabel(Label1);
    LStart = CreateControl(instance, window_, L"BUTTON", L"Load At Startup",
                           BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kIdStartup);

    const auto picture = [this](PictureBox& box, vlmr::PictureButton which, void (frmConfig::*click)()) {
        box.SetActions([this, which] { if (presenter_) presenter_->MouseDown(which); },
                       [this, which] { if (presenter_) presenter_->MouseUp(which); },
                       [this, click] { if (presenter_) (presenter_->*click)(); });
    };
    picture(*PSave, vlmr::PictureButton::Save, &frmConfig::PSave_Click);
    picture(*POpen, vlmr::PictureButton::Open, &frmConfig::POpen_Click);
}

void ConfiguratorWindow::Layout(UINT dpi) {
    UniqueFont font = CreateDialogFont(dpi, false);
    UniqueFont bold = CreateDialogFont(dpi, true);

    Move(CFrm->Window(), kFramePlace, dpi);
    Move(IPath, kPathPlace, dpi);
    Move(PSave->Window(), kSavePlace, dpi);
    Move(POpen->Window(), kOpenPlace, dpi);
    Move(OCenter, kCenterPlace, dpi);
    Move(OTile, kTilePlace, dpi);
    Move(OStretch, kStretchPlace, dpi);
    Move(Label1, kCreditPlace, dpi);
    Move(LStart, kStartupPlace, dpi);

    // Bold for the frame's caption and the credit, the plain face elsewhere.
    const auto setFont = [](HWND control, HFONT f) {
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    };
    for (HWND control : {IPath, OCenter, OTile, OStretch, LStart}) setFont(control, font.get());
    setFont(CFrm->Window(), bold.get());
    setFont(Label1, bold.get());
    // The old fonts go only now that no control holds them.
    font_ = std::move(font);
    boldFont_ = std::move(bold);
}

HWND ConfiguratorWindow::Control(ConfigControlId id) const {
    switch (id) {
        case kIdFrame: return CFrm ? CFrm->Window() : nullptr;
        case kIdPath: return IPath;
        case kIdSave: return PSave ? PSave->Window() : nullptr;
        case kIdOpen: return POpen ? POpen->Window() : nullptr;
        case kIdCenter: return OCenter;
        case kIdTile: return OTile;
        case kIdStretch: return OStretch;
        case kIdCredit: return Label1;
        case kIdStartup: return LStart;
    }
    return nullptr;
}

bool ConfiguratorWindow::HandleDialogMessage(MSG& message) {
    return window_ && IsDialogMessageW(window_, &message);
}

void ConfiguratorWindow::Show() {
    if (!window_) return;
    if (!placed_) {
        placed_ = true;
        SizeAndCentre(window_, kClientWidth, kClientHeight);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void ConfiguratorWindow::SetCaption(const std::string& caption) {
    if (window_) SetWindowTextW(window_, Widen(caption).c_str());
}

void ConfiguratorWindow::SetPathText(const std::string& text) {
    if (!IPath) return;
    updating_ = true;
    SetWindowTextW(IPath, Widen(text).c_str());
    updating_ = false;
}

void ConfiguratorWindow::SetStartupCheck(bool checked) {
    if (!LStart) return;
    updating_ = true;
    SendMessageW(LStart, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    updating_ = false;
}

void ConfiguratorWindow::SetStyleOption(std::optional<StyleOption> option) {
    if (!OCenter) return;
    updating_ = true;
    const std::pair<StyleOption, HWND> options[] = {
        {StyleOption::Center, OCenter}, {StyleOption::Tile, OTile}, {StyleOption::Stretch, OStretch}};
    for (const auto& [style, button] : options)
        SendMessageW(button, BM_SETCHECK, option == style ? BST_CHECKED : BST_UNCHECKED, 0);
    updating_ = false;
    UpdateStyleTabStop();
}

void ConfiguratorWindow::UpdateStyleTabStop() {
    // One tab stop for the group: the selected option, or the first when none is.
    const bool tile = IsChecked(OTile);
    const bool stretch = IsChecked(OStretch);
    SetTabStop(OCenter, !tile && !stretch);
    SetTabStop(OTile, tile);
    SetTabStop(OStretch, stretch);
}

void ConfiguratorWindow::SetButtonSunken(vlmr::PictureButton button, bool sunken) {
    PictureBox* box = button == vlmr::PictureButton::Save ? PSave.get() : POpen.get();
    if (box) box->SetSunken(sunken);
}

void ConfiguratorWindow::Minimize() {
    if (window_) ShowWindow(window_, SW_MINIMIZE);
}

void ConfiguratorWindow::Restore() {
    if (window_) ShowWindow(window_, SW_RESTORE);
}

LRESULT CALLBACK ConfiguratorWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &ConfiguratorWindow::window_, &ConfiguratorWindow::OnMessage);
}

LRESULT ConfiguratorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ACTIVATE:
            // As a dialog box does: the focus leaves with the window and comes back with it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) focus_ = focus;
            } else if (!HIWORD(wParam)) {
                SetFocus(focus_ && IsWindow(focus_) ? focus_ : IPath);
            }
            return 0;
        case WM_CLOSE:
            // Closing the configurator ends the program; nothing is asked or saved.
            if (presenter_) presenter_->Unload();
            return 0;
        case WM_DPICHANGED: {
            const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                         proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
            Layout(HIWORD(wParam));
            return 0;
        }
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void ConfiguratorWindow::OnCommand(int id, int code) {
    if (updating_ || !presenter_) return;
    switch (id) {
        case kIdPath:
            if (code == EN_CHANGE) presenter_->PathEdited(Narrow(TextOf(IPath)));
            return;
        case kIdCenter:
        case kIdTile:
        case kIdStretch: {
            if (code != BN_CLICKED) return;
            const HWND button = Control(static_cast<ConfigControlId>(id));
            if (!IsChecked(button)) return;
            UpdateStyleTabStop();
            presenter_->SelectStyle(id == kIdCenter ? StyleOption::Center
                                    : id == kIdTile ? StyleOption::Tile
                                                    : StyleOption::Stretch);
            return;
        }
        case kIdCredit:
            if (code == STN_CLICKED) presenter_->Label1_Click();
            return;
        case kIdStartup:
            if (code == BN_CLICKED) presenter_->SetLStart(IsChecked(LStart) ? vbChecked : vbUnchecked);
            return;
        default: return;  // Enter and Escape arrive as IDOK and IDCANCEL: the window has no such buttons
    }
}

LRESULT ConfiguratorWindow::OnControlColour(HDC dc, HWND control) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, control == Label1 ? kNavy : GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace vlmr::win32
