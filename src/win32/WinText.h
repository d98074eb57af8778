#pragma once
// Text at the border between the portable code (UTF-8) and Windows (UTF-16
// for every call, the ANSI code page or UTF-8 in text files).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vlmr::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// A window's text (a control's caption or contents), whole.
std::wstring WindowText(HWND window);

// The bytes of a text file as UTF-8: a UTF-8 byte order mark is dropped and
// the rest taken as it is; anything else is text in the given code page.
std::string DecodeTextFile(std::string_view bytes, UINT codePage);

// The bytes to store for UTF-8 text: in the given code page when every
// character has an exact counterpart there, otherwise UTF-8 behind a byte
// order mark, so that no character is lost or replaced by a look-alike.
std::string EncodeTextFile(std::string_view utf8, UINT codePage);

}  // namespace vlmr::win32
