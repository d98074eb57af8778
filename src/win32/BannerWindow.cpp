#include "win32/BannerWindow.h"
#include "win32/WindowRouting.h"

#include "win32/Dpi.h"
#include "win32/ResourceIds.h"

namespace vlmr::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VelmoraBanner";
// The client area at 96 dpi: the 245 x 32 banner and a white strip below.
constexpr int kClientWidth = 245;
constexpr int kClientHeight = 50;

void RegisterBannerClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

}  // namespace

BannerWindow::BannerWindow(HINSTANCE instance) {
    RegisterBannerClass(instance, &BannerWindow::Procedure);
    banner_ = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    // No caption: the banner has no title bar, and a name would have it taken
    // for the message boxes titled "Velmora".
    window_ = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, kClientWidth, kClientHeight, nullptr,
                              nullptr, instance, this);
    if (window_) SizeAndCentre(window_, kClientWidth, kClientHeight);
}

BannerWindow::~BannerWindow() {
    if (window_) DestroyWindow(window_);
    if (banner_) DeleteObject(banner_);
}

void BannerWindow::Show() {
    if (window_) ShowWindow(window_, SW_SHOW);
}

void BannerWindow::Focus() {
    if (!window_) return;
    SetForegroundWindow(window_);
    SetFocus(window_);
}

void BannerWindow::Hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

void BannerWindow::Unload() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK BannerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &BannerWindow::window_, &BannerWindow::OnMessage);
}

LRESULT BannerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_LBUTTONUP:
            if (onClick_) onClick_();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: take the size Windows proposes.
            const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                         proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void BannerWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    BITMAP picture{};
    if (banner_ && GetObjectW(banner_, sizeof picture, &picture)) {
        const UINT dpi = DpiOfWindow(window_);
        const int width = ScaleForDpi(picture.bmWidth, dpi);
        const int height = ScaleForDpi(picture.bmHeight, dpi);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, banner_);
        if (width == picture.bmWidth && height == picture.bmHeight) {
            BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, width, height, source, 0, 0, picture.bmWidth, picture.bmHeight, SRCCOPY);
        }
        SelectObject(source, previous);
        DeleteDC(source);
    }
    EndPaint(window_, &paint);
}

}  // namespace vlmr::win32
