#include "win32/WinText.h"

#include <algorithm>
#include <climits>

namespace vlmr::win32 {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The conversion functions take int lengths. No text file of the program
// comes near 2 GB, so longer text simply converts to nothing.
std::optional<int> IntLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    return static_cast<int>(size);
}

std::wstring ToWide(std::string_view text, UINT codePage) {
    const std::optional<int> length = IntLength(text.size());
    if (!length || *length == 0) return {};
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), *length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), *length, out.data(), needed);
    return out;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToWide(utf8, CP_UTF8); }

std::string Narrow(std::wstring_view utf16) {
    const std::optional<int> length = IntLength(utf16.size());
    if (!length || *length == 0) return {};
    const int needed = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), *length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), *length, out.data(), needed, nullptr, nullptr);
    return out;
}

std::string DecodeTextFile(std::string_view bytes, UINT codePage) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return std::string(bytes.substr(kUtf8Bom.size()));
    // Every ANSI code page agrees with ASCII, and a list of plain paths is
    // the usual case: no conversion for it.
    if (codePage == CP_UTF8 || IsAscii(bytes)) return std::string(bytes);
    return Narrow(ToWide(bytes, codePage));
}

std::string EncodeTextFile(std::string_view utf8, UINT codePage) {
    if (codePage == CP_UTF8 || IsAscii(utf8)) return std::string(utf8);

    const std::wstring wide = Widen(utf8);
    const std::optional<int> length = IntLength(wide.size());
    if (length && *length > 0) {
        // No best-fit mapping: "ł" must not quietly become "l" in a path.
        BOOL usedDefault = FALSE;
        const int needed = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), *length, nullptr, 0,
                                               nullptr, &usedDefault);
        if (needed > 0 && !usedDefault) {
            std::string out(static_cast<std::size_t>(needed), '\0');
            WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), *length, out.data(), needed, nullptr,
                                &usedDefault);
            if (!usedDefault) return out;
        }
    }
    std::string out(kUtf8Bom);
    out.append(utf8);
    return out;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace vlmr::win32
