#include "ScenarioSupport.h"

#include "WindowProbe.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <regex>

#ifndef VELMORA_PROGRAM_UNDER_TEST
#error "the build must define VELMORA_PROGRAM_UNDER_TEST, VELMORA_FALLBACK_PICTURE and the VELMORA_*RECORDER_DLL"
#endif

namespace vlmr::wintest {
namespace fs = std::filesystem;

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

fs::path FromHostPath(const char* hostPath) {
    // Wine's own mapping knows the drive letters of the prefix.
    using DosName = LPWSTR(CDECL*)(LPCSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto dosName = reinterpret_cast<DosName>(
        reinterpret_cast<void*>(kernel != nullptr ? GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr));
    if (dosName == nullptr) return fs::path(hostPath);  // not under Wine: take the name as it is
    LPWSTR name = dosName(hostPath);
    if (name == nullptr) return {};
    fs::path result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

fs::path ProgramUnderTest() { return FromHostPath(VELMORA_PROGRAM_UNDER_TEST); }
fs::path FallbackPicture() { return FromHostPath(VELMORA_FALLBACK_PICTURE); }
fs::path RecorderDll() { return FromHostPath(VELMORA_RECORDER_DLL); }
fs::path WallpaperRecorderDll() { return FromHostPath(VELMORA_WALLPAPER_RECORDER_DLL); }

static std::wstring ClassKey(const wchar_t* clsid) { return std::wstring(L"Software\\Classes\\CLSID\\") + clsid; }

LSTATUS RegisterServer(const wchar_t* clsid, const fs::path& dll) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (ClassKey(clsid) + L"\\InprocServer32").c_str(), 0, nullptr,
                                     0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    const std::wstring server = dll.wstring();
    const std::wstring model = L"Apartment";
    status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                            static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model.c_str()),
                                static_cast<DWORD>((model.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
    return status;
}

LSTATUS UnregisterServer(const wchar_t* clsid) {
    const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassKey(clsid).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

AppFolder::AppFolder() {
    static std::atomic<unsigned> serial{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    root_ = fs::path(temp) / (L"vlmr-scenario-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial));
    app_ = root_ / L"app";
    fs::remove_all(root_);
    fs::create_directories(app_);
    fs::create_directories(LocalAppData());
    fs::copy_file(ProgramUnderTest(), Exe());
    fs::copy_file(FallbackPicture(), app_ / L"logo.gif");
}

AppFolder::~AppFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void AppFolder::WriteBytes(const wchar_t* name, std::string_view bytes) const {
    std::ofstream file(app_ / name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void AppFolder::WriteInstalled() const { WriteBytes(L"Installed", "01/02/2024\r\n"); }

void AppFolder::WriteStyle(std::string_view style) const {
    WriteBytes(L"Config.ini", "[VLMR]\r\nStyle=" + std::string(style) + "\r\n");
}

void AppFolder::WriteList(const std::vector<std::wstring>& paths, ListEncoding encoding) const {
    std::string bytes = encoding == ListEncoding::Utf8WithBom ? "\xEF\xBB\xBF" : "";
    for (const std::wstring& path : paths) {
        if (encoding == ListEncoding::Utf8WithBom) {
            bytes += Narrow(path);
        } else {
            const int length = WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0,
                                                   nullptr, nullptr);
            std::string ansi(static_cast<size_t>(length), '\0');
            WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), ansi.data(), length, nullptr,
                                nullptr);
            bytes += ansi;
        }
        bytes += "\r\n";
    }
    WriteBytes(L"IPaths.dat", bytes);
}

std::vector<std::string> AppFolder::LogLines() const {
    std::ifstream file(Log(), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> CrLfLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> RunLogOf(const fs::path& file, DWORD processId) {
    static const std::regex form(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (\d+) ((info|error) .*))");
    std::vector<std::string> lines;
    for (const std::string& line : CrLfLines(file)) {
        std::smatch parts;
        if (!std::regex_match(line, parts, form))
            lines.push_back("malformed: " + line);
        else if (parts[1] == std::to_string(processId))
            lines.push_back(parts[2]);
    }
    return lines;
}

AppProcess::AppProcess(const AppFolder& folder, std::wstring_view tail, bool activeDesktopOn) {
    // The recorder runs inside the program and reads its settings from there.
    SetEnvironmentVariableW(L"VLMR_RECORDER_LOG", folder.Log().c_str());
    SetEnvironmentVariableW(L"VLMR_RECORDER_ACTIVE_DESKTOP", activeDesktopOn ? L"1" : L"0");
    SetEnvironmentVariableW(L"LOCALAPPDATA", folder.LocalAppData().c_str());
    const std::wstring exe = folder.Exe().wstring();
    std::wstring commandLine = L"\"" + exe + L"\"" + std::wstring(tail);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE output = CreateFileW(folder.Stderr().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      &inherited, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output != INVALID_HANDLE_VALUE) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output;
    }
    // Started from outside the application folder, as the logon starts it.
    const std::wstring directory = folder.Root().wstring();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE, 0,
                        nullptr, directory.c_str(), &startup, &info_)) {
        info_ = PROCESS_INFORMATION{};
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
}

AppProcess::~AppProcess() {
    if (info_.hProcess == nullptr) return;
    Kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool AppProcess::WaitForExit(DWORD timeoutMs) const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool AppProcess::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void AppProcess::Kill() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, kExitTimeoutMs);
    }
}

}  // namespace vlmr::wintest
