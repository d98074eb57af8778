#include "WindowProbe.h"

#include <cstdlib>
#include <utility>

namespace vlmr::wintest {
namespace {

// Messages to windows of another process go through its message loop; a hung
// program must fail the test, not hang it.
constexpr UINT kSendTimeoutMs = 5000;

struct EnumState {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto& state = *reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((state.processId == 0 || owner == state.processId) && (!state.visibleOnly || IsWindowVisible(window))) {
        state.found.push_back(window);
    }
    return TRUE;
}

bool IsDialogBox(HWND window) { return WindowClass(window) == L"#32770"; }

}  // namespace

std::wstring WindowTitle(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied)) {
        return {};
    }
    text.resize(copied);
    return text;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
    EnumState state{processId, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FindMessageBox(DWORD processId, const std::wstring& title) {
    for (HWND window : TopLevelWindows(processId, true)) {
        if (IsDialogBox(window) && WindowTitle(window) == title) return window;
    }
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    // Message boxes keep their text in a static control with the id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? WindowTitle(text) : std::wstring();
}

bool PressOk(HWND box) {
    HWND button = GetDlgItem(box, IDOK);
    if (button == nullptr) return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != FALSE;
}

HWND FindTitledWindow(DWORD processId, const std::wstring& title) {
    for (HWND window : TopLevelWindows(processId, true)) {
        if (!IsDialogBox(window) && WindowTitle(window) == title) return window;
    }
    return nullptr;
}

HWND FindBanner(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, true))
        if (WindowClass(window) == L"VelmoraBanner") return window;
    return nullptr;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

RECT ClientRectOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

HWND WaitForWindow(const std::function<HWND()>& probe, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND window = probe()) return window;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(50);
    }
}

HWND ChildWithId(HWND window, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) != s.id) return TRUE;
            s.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ShownIcon(HWND box) {
    HWND control = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if (WindowClass(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child))
            control = child;
    }
    if (!control) return "none";
    const int width = GetSystemMetrics(SM_CXICON), height = GetSystemMetrics(SM_CYICON);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    auto pixels = [&](const std::function<void()>& paint) {
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        paint();
        GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        std::vector<DWORD> copy(first, first + width * height);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        for (DWORD& p : copy) p &= 0xFFFFFF;
        return copy;
    };
    const RECT place = ClientRectOnScreen(control);
    const std::vector<DWORD> shown =
        pixels([&] { BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY); });
    auto drawn = [&](HICON icon, COLORREF background) {
        return pixels([&] {
            HBRUSH brush = CreateSolidBrush(background);
            const RECT all{0, 0, width, height};
            FillRect(memory, &all, brush);
            DeleteObject(brush);
            DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        });
    };

    std::string best = "unreadable";
    double bestDistance = 24.0;  // mean difference per colour channel that still counts as the same picture
    const std::pair<const char*, LPCSTR> standard[] = {
        {"warning", IDI_WARNING}, {"error", IDI_ERROR}, {"information", IDI_INFORMATION}, {"question", IDI_QUESTION}};
    for (const auto& [name, id] : standard) {
        const HICON icon = LoadIconA(nullptr, id);
        const std::vector<DWORD> onBlack = drawn(icon, RGB(0, 0, 0));
        const std::vector<DWORD> onWhite = drawn(icon, RGB(255, 255, 255));
        double sum = 0;
        int counted = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (onBlack[i] != onWhite[i]) continue;
            for (int shift : {0, 8, 16})
                sum += std::abs(static_cast<int>((shown[i] >> shift) & 0xFF) -
                                static_cast<int>((onBlack[i] >> shift) & 0xFF));
            counted += 3;
        }
        const double distance = counted > 0 ? sum / counted : 255.0;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = name;
        }
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return best;
}

}  // namespace vlmr::wintest
