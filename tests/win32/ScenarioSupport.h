#pragma once
// A fresh application folder with a copy of the real VLMR.exe, the process
// started from it, the recorder's log, and the registration of the recorder.
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vlmr::wintest {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view text);

// The Windows name of a file of the build tree (Wine maps the host's / to a drive).
std::filesystem::path FromHostPath(const char* hostPath);

// What the build hands over: the program under test, its fallback picture, the recorders.
std::filesystem::path ProgramUnderTest();
std::filesystem::path FallbackPicture();
std::filesystem::path RecorderDll();
std::filesystem::path WallpaperRecorderDll();

inline constexpr const wchar_t* kActiveDesktopClass = L"{75048700-EF1F-11D0-9888-006097DEACF9}";
inline constexpr const wchar_t* kDesktopWallpaperClass = L"{C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD}";

// Points the class at an in-process server DLL (HKLM; Wine ignores HKCU for
// these classes), or takes the class away again. Each returns the registry
// error code, ERROR_SUCCESS on success (also for a class that was not there).
LSTATUS RegisterServer(const wchar_t* clsid, const std::filesystem::path& dll);
LSTATUS UnregisterServer(const wchar_t* clsid);
inline LSTATUS RegisterRecorder(const std::filesystem::path& dll) { return RegisterServer(kActiveDesktopClass, dll); }

enum class ListEncoding { Ansi, Utf8WithBom };

// A scratch folder holding the application folder "app", the recorder's log,
// the user's local application data folder (with the run log) and the stderr
// of the programs started from it.
class AppFolder {
public:
    AppFolder();
    ~AppFolder();
    AppFolder(const AppFolder&) = delete;
    AppFolder& operator=(const AppFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    const std::filesystem::path& Path() const { return app_; }
    std::filesystem::path Exe() const { return app_ / L"VLMR.exe"; }
    std::filesystem::path Log() const { return root_ / L"recorder.log"; }
    std::filesystem::path LocalAppData() const { return root_ / L"LocalAppData"; }
    std::filesystem::path RunLog() const { return LocalAppData() / L"Velmora" / L"VLMR.log"; }
    std::filesystem::path Stderr() const { return root_ / L"stderr.txt"; }

    void WriteInstalled() const;
    void WriteStyle(std::string_view style) const;
    void WriteList(const std::vector<std::wstring>& paths, ListEncoding encoding) const;
    void WriteBytes(const wchar_t* name, std::string_view bytes) const;

    // The recorder's lines, without their line ends; empty when nothing called it.
    std::vector<std::string> LogLines() const;

private:
    std::filesystem::path root_;
    std::filesystem::path app_;
};

// A started program; killed on destruction if it is still running.
// A file's lines split at CR LF; a last line without one ends in "<no line end>".
std::vector<std::string> CrLfLines(const std::filesystem::path& file);

// The run log's lines (or stderr's) written by one process, each as "level
// message" without its time and process id; a line not in the log's form
// comes back as "malformed: " and the line.
std::vector<std::string> RunLogOf(const std::filesystem::path& file, DWORD processId);

class AppProcess {
public:
    // Starts exe with the command line "exe" + tail; the recorder settings and
    // the folder's LOCALAPPDATA go into the environment the process inherits,
    // its stdout and stderr into the folder's Stderr().
    AppProcess(const AppFolder& folder, std::wstring_view tail = L"", bool activeDesktopOn = false);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    bool WaitForExit(DWORD timeoutMs) const;
    bool Running() const;
    void Kill();

private:
    PROCESS_INFORMATION info_{};
};

}  // namespace vlmr::wintest
