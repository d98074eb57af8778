// The Windows half of the banner screenshot: banner-shot.sh takes the picture
// from the X side, this tool finds and moves the windows and hands out the
// banner bitmap of the executable for the comparison.
//
//   BannerShotDriver show-banner       waits for "Please Configure", moves the box
//                                      off the banner, prints the banner's client
//                                      area on the screen as "x y width height"
//   BannerShotDriver extract-banner EXE OUT.bmp
//                                      writes the 245 x 32 bitmap resource of EXE
//   BannerShotDriver finish            dismisses the box and closes the configurator
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "WindowProbe.h"

namespace {
using namespace vlmr::wintest;

constexpr LONG kBannerWidth = 245, kBannerHeight = 32;

HWND WaitForPleaseConfigure() {
    return WaitForWindow(
        [] {
            HWND box = FindMessageBox(0, L"Velmora");
            return box != nullptr && MessageBoxText(box) == L"Please Configure" ? box : nullptr;
        },
        kWindowTimeoutMs);
}

int ShowBanner() {
    HWND box = WaitForPleaseConfigure();
    if (box == nullptr) {
        std::fprintf(stderr, "no \"Please Configure\" box\n");
        return 1;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    HWND banner = FindBanner(process);
    if (banner == nullptr) {
        std::fprintf(stderr, "no banner window behind the box\n");
        return 1;
    }
    // The box is centred on the screen like the banner and would hide it.
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(banner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const RECT client = ClientRectOnScreen(banner);
    std::printf("%ld %ld %ld %ld\n", client.left, client.top, client.right - client.left, client.bottom - client.top);
    return 0;
}

struct BannerSearch {
    HMODULE module;
    std::string bitmap;  // BITMAPINFO and bits, as the resource holds them
};

BOOL CALLBACK TakeBannerBitmap(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    auto& search = *reinterpret_cast<BannerSearch*>(param);
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* data = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) return TRUE;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    if (header->biWidth != kBannerWidth || std::abs(header->biHeight) != kBannerHeight) return TRUE;
    search.bitmap.assign(data, size);
    return FALSE;
}

int ExtractBanner(const wchar_t* exe, const wchar_t* out) {
    HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot open the executable\n");
        return 1;
    }
    BannerSearch search{module, {}};
    EnumResourceNamesW(module, MAKEINTRESOURCEW(2) /* RT_BITMAP */, TakeBannerBitmap,
                       reinterpret_cast<LONG_PTR>(&search));
    FreeLibrary(module);
    if (search.bitmap.empty()) {
        std::fprintf(stderr, "no %ld x %ld bitmap resource\n", kBannerWidth, kBannerHeight);
        return 1;
    }
    // A resource bitmap is a .bmp file without its file header.
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(search.bitmap.data());
    DWORD colours = header->biClrUsed;
    if (colours == 0 && header->biBitCount <= 8) colours = 1u << header->biBitCount;
    DWORD masks = header->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(sizeof file + search.bitmap.size());
    file.bfOffBits = static_cast<DWORD>(sizeof file + header->biSize + masks + colours * sizeof(RGBQUAD));
    std::ofstream bmp(out, std::ios::binary | std::ios::trunc);
    bmp.write(reinterpret_cast<const char*>(&file), sizeof file);
    bmp.write(search.bitmap.data(), static_cast<std::streamsize>(search.bitmap.size()));
    return bmp.good() ? 0 : 1;
}

int Finish() {
    HWND box = WaitForPleaseConfigure();
    if (box == nullptr || !PressOk(box)) {
        std::fprintf(stderr, "no \"Please Configure\" box to dismiss\n");
        return 1;
    }
    HWND configurator = WaitForWindow([] { return FindTitledWindow(0, L"Velmora Configurator"); }, kWindowTimeoutMs);
    if (configurator == nullptr) {
        std::fprintf(stderr, "the configurator did not open\n");
        return 1;
    }
    PostMessageW(configurator, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"show-banner" && argc == 2) return ShowBanner();
    if (command == L"extract-banner" && argc == 4) return ExtractBanner(argv[2], argv[3]);
    if (command == L"finish" && argc == 2) return Finish();
    std::fprintf(stderr, "usage: BannerShotDriver show-banner | extract-banner EXE OUT.bmp | finish\n");
    return 2;
}
