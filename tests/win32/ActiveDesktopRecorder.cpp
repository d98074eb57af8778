// A stand-in for the Active Desktop component: an in-process COM server whose
// object implements IActiveDesktop and appends one line per call to a log.
// Wine's own component returns E_NOTIMPL everywhere, so the scenario tests
// register this DLL under CLSID_ActiveDesktop and read the log back.
//
//   VLMR_RECORDER_LOG, VLMR_RECORDER_REFUSE  see RecorderSupport.h
//   VLMR_RECORDER_ACTIVE_DESKTOP "1" reports Active Desktop on, anything else off
// clang-format off
#include <windows.h>
#include <wininet.h>  // shlobj.h needs INTERNET_MAX_URL_LENGTH for COMPONENT
#include <shlobj.h>
// clang-format on

#include <string>

#include "RecorderSupport.h"

namespace {

using namespace vlmr::recorder;

// {75048700-EF1F-11D0-9888-006097DEACF9}
constexpr CLSID kClsidActiveDesktop = {0x75048700, 0xef1f, 0x11d0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xde, 0xac, 0xf9}};
// {F490EB00-1240-11D1-9888-006097DEACF9}
constexpr IID kIidActiveDesktop = {0xf490eb00, 0x1240, 0x11d1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xde, 0xac, 0xf9}};

class RecordingActiveDesktop final : public RecordingObject<IActiveDesktop> {
public:
    RecordingActiveDesktop() : RecordingObject(kIidActiveDesktop) {}

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
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return GetClassObject<RecordingActiveDesktop>(rclsid, kClsidActiveDesktop, riid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CanUnloadNow(); }
