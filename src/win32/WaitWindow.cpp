#include "win32/WaitWindow.h"
#include "win32/WindowRouting.h"

#include "win32/ClickLabel.h"
#include "win32/DialogFont.h"
#include "win32/Dpi.h"
#include "win32/WinText.h"

namespace vlmr {

namespace {

constexpr wchar_t kClassName[] = L"VelmoraWait";
// The client area at 96 dpi (3165 x 585 twips).
constexpr int kClientWidth = 211;
constexpr int kClientHeight = 39;
// The label's place in twips: left, top, width, height.
constexpr int kLabelTwips[4] = {120, 120, 3132, 252};
constexpr int kLabelId = 1;
constexpr COLORREF kLabelColour = RGB(0, 0, 192);

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

}  // namespace

WaitWindow::~WaitWindow() {
    if (window_) DestroyWindow(window_);
}

bool WaitWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WaitWindow::Procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    // A second window of this program (or a test) may have registered it already.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    // No border, no caption, no taskbar button: a note, not a window to work in.
    CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"VLMR", WS_POPUP, 0, 0, kClientWidth, kClientHeight, nullptr,
                    nullptr, instance_, this);
    if (!window_) return false;
    // One line, cut at the edge rather than wrapped: with a face wider than
    // MS Sans Serif a wrapped line would hide its second half below the label.
    label_ = CreateWindowExW(0, L"STATIC", win32::Widen(CWait::kWLabrel).c_str(),
                             WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, 0, 0, 0, window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)), instance_, nullptr);
    win32::MakeClickLabel(label_);
    win32::SizeAndCentre(window_, kClientWidth, kClientHeight);
    Layout();
    return true;
}

void WaitWindow::Layout() {
    const UINT dpi = win32::DpiOfWindow(window_);
    // MS Sans Serif 8.25 pt bold where the system has it, else its dialog face.
    if (win32::UniqueFont font = win32::CreateDialogFont(dpi, true)) {
        if (label_) SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        font_ = std::move(font);
    }
    if (label_) {
        SetWindowPos(label_, nullptr, TwipsToPixels(kLabelTwips[0], dpi), TwipsToPixels(kLabelTwips[1], dpi),
                     TwipsToPixels(kLabelTwips[2], dpi), TwipsToPixels(kLabelTwips[3], dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(label_, nullptr, TRUE);
    }
}

void WaitWindow::Show() {
    if (!window_ && !Create()) return;
    ShowWindow(window_, SW_SHOW);
    // The scan that follows lets messages through only now and then: paint now.
    UpdateWindow(window_);
}

void WaitWindow::Focus() {
    if (!window_) return;
    SetForegroundWindow(window_);
    SetFocus(window_);
}

void WaitWindow::Hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

LRESULT CALLBACK WaitWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::RouteToOwner(window, message, wParam, lParam, &WaitWindow::window_, &WaitWindow::OnMessage, &WaitWindow::ForgetLabel);
}

// Closed from outside (Alt+F4): the next show builds it afresh.
void WaitWindow::ForgetLabel() { label_ = nullptr; }

LRESULT WaitWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kLabelColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kLabelId && HIWORD(wParam) == STN_CLICKED && click_) {
                // The action may open a browser and deliver messages: keep a copy.
                const std::function<void()> action = click_;
                action();
            }
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: take the size Windows proposes.
            const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                         proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
            Layout();
            return 0;
        }
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace vlmr
