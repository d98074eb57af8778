// A stand-in for the DesktopWallpaper object of Windows 8 and later, which
// Wine lacks: an in-process COM server whose object implements
// IDesktopWallpaper for two monitors side by side and appends one line per
// call to the log the Active Desktop recorder writes too, so that a test
// sees which of the two the program used, and in what order.
//
//   VLMR_RECORDER_LOG, VLMR_RECORDER_REFUSE  see RecorderSupport.h
//   VLMR_RECORDER_DETACHED  a monitor's device path: it is known to the
//                           desktop but detached, so it has no rectangle
#include <windows.h>
#include <shobjidl.h>

#include <string>

#include "RecorderSupport.h"

namespace {

using namespace vlmr::recorder;

struct Monitor {
    const wchar_t* id;
    RECT place;
};

const Monitor kMonitors[] = {
    {L"\\\\?\\DISPLAY#TEST#1", {0, 0, 1024, 768}},
    {L"\\\\?\\DISPLAY#TEST#2", {1024, 0, 2048, 768}},
};

const Monitor* Find(LPCWSTR id) {
    for (const Monitor& monitor : kMonitors) {
        if (id != nullptr && std::wstring(id) == monitor.id) return &monitor;
    }
    return nullptr;
}

class RecordingDesktopWallpaper final : public RecordingObject<IDesktopWallpaper> {
public:
    RecordingDesktopWallpaper() : RecordingObject(IID_IDesktopWallpaper) {}

    // IDesktopWallpaper, in the interface's declaration order.
    STDMETHODIMP SetWallpaper(LPCWSTR monitorID, LPCWSTR wallpaper) override {
        Record("SetWallpaper " + ToUtf8(monitorID) + " " + ToUtf8(wallpaper));
        if (Find(monitorID) == nullptr || wallpaper == nullptr) return E_INVALIDARG;
        return Answer(L"SetWallpaper");
    }
    STDMETHODIMP GetWallpaper(LPCWSTR monitorID, LPWSTR*) override {
        Record("GetWallpaper " + ToUtf8(monitorID));
        return E_NOTIMPL;
    }
    STDMETHODIMP GetMonitorDevicePathAt(UINT monitorIndex, LPWSTR* monitorID) override {
        Record("GetMonitorDevicePathAt " + std::to_string(monitorIndex));
        if (monitorID == nullptr) return E_POINTER;
        *monitorID = nullptr;
        if (monitorIndex >= ARRAYSIZE(kMonitors)) return E_INVALIDARG;
        const std::wstring id = kMonitors[monitorIndex].id;
        const size_t bytes = (id.size() + 1) * sizeof(wchar_t);
        *monitorID = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        if (*monitorID == nullptr) return E_OUTOFMEMORY;
        CopyMemory(*monitorID, id.c_str(), bytes);
        return S_OK;
    }
    STDMETHODIMP GetMonitorDevicePathCount(UINT* count) override {
        Record("GetMonitorDevicePathCount");
        if (count == nullptr) return E_POINTER;
        *count = ARRAYSIZE(kMonitors);
        return Answer(L"GetMonitorDevicePathCount");
    }
    STDMETHODIMP GetMonitorRECT(LPCWSTR monitorID, RECT* displayRect) override {
        Record("GetMonitorRECT " + ToUtf8(monitorID));
        if (displayRect == nullptr) return E_POINTER;
        const Monitor* monitor = Find(monitorID);
        if (monitor == nullptr) return E_INVALIDARG;
        if (Environment(L"VLMR_RECORDER_DETACHED") == monitor->id) return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
        *displayRect = monitor->place;
        return S_OK;
    }
    STDMETHODIMP SetBackgroundColor(COLORREF color) override {
        Record("SetBackgroundColor " + std::to_string(color));
        return E_NOTIMPL;
    }
    STDMETHODIMP GetBackgroundColor(COLORREF*) override {
        Record("GetBackgroundColor");
        return E_NOTIMPL;
    }
    STDMETHODIMP SetPosition(DESKTOP_WALLPAPER_POSITION position) override {
        Record("SetPosition " + std::to_string(static_cast<int>(position)));
        return Answer(L"SetPosition");
    }
    STDMETHODIMP GetPosition(DESKTOP_WALLPAPER_POSITION*) override {
        Record("GetPosition");
        return E_NOTIMPL;
    }
    STDMETHODIMP SetSlideshow(IShellItemArray*) override {
        Record("SetSlideshow");
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSlideshow(IShellItemArray**) override {
        Record("GetSlideshow");
        return E_NOTIMPL;
    }
    STDMETHODIMP SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override {
        Record("SetSlideshowOptions");
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) override {
        Record("GetSlideshowOptions");
        return E_NOTIMPL;
    }
    STDMETHODIMP AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override {
        Record("AdvanceSlideshow");
        return E_NOTIMPL;
    }
    STDMETHODIMP GetStatus(DESKTOP_SLIDESHOW_STATE*) override {
        Record("GetStatus");
        return E_NOTIMPL;
    }
    STDMETHODIMP Enable(WINBOOL enable) override {
        Record("Enable " + std::to_string(enable));
        return E_NOTIMPL;
    }
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return GetClassObject<RecordingDesktopWallpaper>(rclsid, CLSID_DesktopWallpaper, riid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CanUnloadNow(); }
