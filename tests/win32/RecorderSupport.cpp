#include "RecorderSupport.h"

namespace vlmr::recorder {

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

std::string ToUtf8(const wchar_t* text) {
    if (text == nullptr) return "(null)";
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string utf8(static_cast<size_t>(length - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

void Record(const std::string& line) {
    const std::wstring path = Environment(L"VLMR_RECORDER_LOG");
    if (path.empty()) return;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

HRESULT Answer(const wchar_t* method) {
    return Environment(L"VLMR_RECORDER_REFUSE") == method ? E_ACCESSDENIED : S_OK;
}

}  // namespace vlmr::recorder
