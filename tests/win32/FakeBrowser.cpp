// Stands in for the user's web browser: appends the text it was started with,
// after its own name, as one UTF-8 line to the file named by
// VELMORA_FAKE_BROWSER_LOG, and ends.
#include <windows.h>

#include <string>

namespace {

// The parameter text as Windows hands it to a program: the command line past
// the program's own token (quoted, or up to the first blank) and the blanks
// that follow it.
const wchar_t* ParameterText(const wchar_t* line) {
    if (*line == L'"') {
        ++line;
        while (*line != L'\0' && *line != L'"') ++line;
        if (*line == L'"') ++line;
    } else {
        while (*line != L'\0' && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t log[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(L"VELMORA_FAKE_BROWSER_LOG", log, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) return 2;

    const std::string line = Utf8(ParameterText(GetCommandLineW())) + "\n";
    // Appending: a second start shows as a second line.
    const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 4;
}
