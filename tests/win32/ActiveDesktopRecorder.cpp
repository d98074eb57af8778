// A stand-in for the Active Desktop component: an in-process COM server whose
// object implements IActiveDesktop and appends one line per call to a log.
// Wine's own component returns E_NOTIMPL everywhere, so the scenario tests
// register this DLL under CLSID_ActiveDesktop and read the log back.
//
//   VLMR_RECORDER_LOG            Windows path of the log (UTF-8, one call a line)
//   VLMR_RECORDER_ACTIVE_DESKTOP "1" reports Active Desktop on, anything else off
//   VLMR_RECORDER_REFUSE         "SetWallpaper": that call is recorded, then
//                                answered with E_ACCESSDENIED
// clang-format off
#include <windows.h>
#include <wininet.h>  // shlobj.h needs INTERNET_MAX_URL_LENGTH for COMPONENT
#include <shlobj.h>
// clang-format on

#include <atomic>
#include <string>

namespace {

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

// {75048700-EF1F-11D0-9888-006097DEACF9}
constexpr CLSID kClsidActiveDesktop = {0x75048700, 0xef1f, 0x11d0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xde, 0xac, 0xf9}};
// {F490EB00-1240-11D1-9888-006097DEACF9}
constexpr IID kIidActiveDesktop = {0xf490eb00, 0x1240, 0x11d1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xde, 0xac, 0xf9}};

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

class RecordingActiveDesktop final : public IActiveDesktop {
public:
    RecordingActiveDesktop() { ++g_liveObjects; }
    RecordingActiveDesktop(const RecordingActiveDesktop&) = delete;
    RecordingActiveDesktop& operator=(const RecordingActiveDesktop&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidActiveDesktop)) {
            *ppv = static_cast<IActiveDesktop*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        const long left = --refs_;
        if (left == 0) {
            Record("Release");
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IActiveDesktop, in the interface's declaration order.
    STDMETHODIMP ApplyChanges(DWORD dwFlags) override {
        Record("ApplyChanges " + std::to_string(dwFlags));
        return S_OK;
    }
    STDMETHODIMP GetWallpaper(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetWallpaper(PCWSTR pwszWallpaper, DWORD) override {
        Record("SetWallpaper " + ToUtf8(pwszWallpaper));
        return Answer(L"SetWallpaper");
    }
    STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT pwpo, DWORD) override {
        if (pwpo == nullptr) {
            Record("SetWallpaperOptions (null)");
            return E_POINTER;
        }
        Record("SetWallpaperOptions " + std::to_string(pwpo->dwSize) + " " + std::to_string(pwpo->dwStyle));
        return S_OK;
    }
    STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPattern(PCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT pco, DWORD) override {
        if (pco == nullptr) {
            Record("GetDesktopItemOptions (null)");
            return E_POINTER;
        }
        Record("GetDesktopItemOptions " + std::to_string(pco->dwSize));
        pco->fEnableComponents = TRUE;
        pco->fActiveDesktop = Environment(L"VLMR_RECORDER_ACTIVE_DESKTOP") == L"1" ? TRUE : FALSE;
        return S_OK;
    }
    STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT pco, DWORD) override {
        if (pco == nullptr) {
            Record("SetDesktopItemOptions (null)");
            return E_POINTER;
        }
        Record("SetDesktopItemOptions " + std::to_string(pco->dwSize) + " " + std::to_string(pco->fEnableComponents) +
               " " + std::to_string(pco->fActiveDesktop));
        return S_OK;
    }
    STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemCount(int*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }

private:
    ~RecordingActiveDesktop() { --g_liveObjects; }
    std::atomic<long> refs_{1};
};

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: counting its references buys nothing.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* object = new RecordingActiveDesktop();
        const HRESULT result = object->QueryInterface(riid, ppv);
        object->Release();  // drops the creation reference; the caller holds its own
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lock ? ++g_serverLocks : --g_serverLocks;
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, kClsidActiveDesktop)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}
