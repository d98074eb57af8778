#include "win32/DialogFont.h"

#include <cwchar>

namespace vlmr::win32 {

namespace {

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

bool FontFamilyInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExW(screen, &wanted, &NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring DialogFaceName() {
    if (FontFamilyInstalled(kClassicDialogFace)) return kClassicDialogFace;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != L'\0')
        return metrics.lfMessageFont.lfFaceName;
    return L"MS Shell Dlg";  // the logical face every Windows maps to its dialog font
}

LONG DialogFontHeight(UINT dpi) { return -MulDiv(825, static_cast<int>(dpi), 7200); }

UniqueFont CreateDialogFont(UINT dpi, bool bold) {
    // Looked up once: installing a font while the window is open changes nothing.
    static const std::wstring face = DialogFaceName();
    LOGFONTW font{};
    font.lfHeight = DialogFontHeight(dpi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace vlmr::win32
