#include "win32/DialogFont.h"

#include <cmath>
#include <cwchar>
#include <map>

#include "win32/DeviceContext.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

std::wstring SystemDialogFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != L'\0')
        return metrics.lfMessageFont.lfFaceName;
    return L"MS Shell Dlg";  // the logical face every Windows maps to its dialog font
}

}  // namespace

bool FontFamilyInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const WindowDc screen(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExW(screen.get(), &wanted, &NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::wstring FaceFor(const layout::Font& font) {
    // Looked up once a face: installing a font while a window is open changes nothing.
    static std::map<std::string, std::wstring> faces;
    const auto known = faces.find(font.face);
    if (known != faces.end()) return known->second;
    const std::wstring wanted = Widen(font.face);
    return faces[font.face] = FontFamilyInstalled(wanted.c_str()) ? wanted : SystemDialogFace();
}

LONG FontHeight(const layout::Font& font, UINT dpi) {
    // Points are 1/72 inch; in hundredths, so 8.25 pt stays exact.
    return -MulDiv(static_cast<int>(std::lround(font.points * 100)), static_cast<int>(dpi), 7200);
}

UniqueFont CreateLayoutFont(const layout::Font& font, UINT dpi) {
    LOGFONTW described{};
    described.lfHeight = FontHeight(font, dpi);
    described.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    described.lfUnderline = font.underline ? TRUE : FALSE;
    described.lfCharSet = DEFAULT_CHARSET;
    described.lfQuality = DEFAULT_QUALITY;
    wcsncpy(described.lfFaceName, FaceFor(font).c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&described));
}

}  // namespace vlmr::win32
