#include "win32/Win32Runtime.h"

#include "store/RunLog.h"
#include "win32/ModulePath.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// One name for the whole logon session: a second copy started by the Run
// entry or by hand finds the first. The kernel frees the mutex with its last
// handle, so a copy that crashed blocks nobody.
constexpr wchar_t kInstanceMutexName[] = L"Local\\Corvantis.Velmora.VLMR.Instance";

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring_view CommandLineTail(std::wstring_view line) {
    std::size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos < line.size() && line[pos] == L'"') {
        const std::size_t close = line.find(L'"', pos + 1);
        pos = close == std::wstring_view::npos ? line.size() : close + 1;
    } else {
        while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    return line.substr(pos);
}

std::wstring_view FolderOfModule(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring_view::npos) return {};
    // "C:\" stays a folder name; "C:" alone would mean the drive's current folder.
    if (slash > 0 && path[slash - 1] == L':') return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

InstanceCheck Win32Runtime::CheckOtherInstance() {
    if (!instanceMutex_) {
        SetLastError(ERROR_SUCCESS);
        instanceMutex_ = Own(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
        const DWORD error = GetLastError();
        if (!instanceMutex_) {
            // A mutex of that name that we may not open belongs to a copy
            // running with other rights: still another copy.
            if (error == ERROR_ACCESS_DENIED) return InstanceCheck::AnotherRunning;
            LogError("the instance check failed: " + ErrorDescription(error));
            return InstanceCheck::Failed;
        }
        if (error == ERROR_ALREADY_EXISTS) return InstanceCheck::AnotherRunning;
    }
    return InstanceCheck::Alone;
}

std::string Win32Runtime::CommandLineText() { return Narrow(CommandLineTail(GetCommandLineW())); }

std::string Win32Runtime::AppFolder() {
    if (folder_.empty()) {
        const std::wstring module = RunningModulePath();
        if (!module.empty()) folder_ = Narrow(FolderOfModule(module));
    }
    return folder_;
}

std::string Win32Runtime::AppFile(std::string_view name) {
    std::string path = AppFolder();
    path += '\\';
    path += name;
    return path;
}

std::string Win32Runtime::FallbackImage() { return AppFile("logo.gif"); }

void Win32Runtime::ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
    ShowMessageBox(text, title, icon);
}

void ShowMessageBox(std::string_view text, std::string_view title, MessageIcon icon) {
    UINT style = MB_OK;
    switch (icon) {
        case MessageIcon::None: break;
        case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
        case MessageIcon::Warning: style |= MB_ICONEXCLAMATION; break;
        case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    }
    // Task-modal without an owner: the program's windows wait for the box,
    // and the box keeps its own taskbar button so it cannot get lost.
    style |= MB_TASKMODAL | MB_SETFOREGROUND;
    const std::wstring wideTitle = Widen(title.empty() ? kAppTitle : title);
    MessageBoxW(nullptr, Widen(text).c_str(), wideTitle.c_str(), style);
}

void Win32Runtime::DeliverPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to consume: leave it for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Runtime::EndProgram() { ExitProcess(0); }

double Win32Runtime::SecondsSinceMidnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

std::string Win32Runtime::TodayShortDate() {
    const int needed = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0, nullptr);
    if (needed <= 0) return {};
    std::wstring date(static_cast<std::size_t>(needed), L'\0');
    const int written =
        GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), needed, nullptr);
    if (written <= 0) return {};
    date.resize(static_cast<std::size_t>(written - 1));  // the count includes the NUL
    return Narrow(date);
}

}  // namespace vlmr::win32
