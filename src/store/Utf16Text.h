#pragma once
// UTF-16 files behind a byte order mark, as Windows editors save them. The
// portable code works on UTF-8, so such a file is read through a UTF-8 copy,
// and a change is spliced back into the file's own bytes.
#include <cstddef>
#include <string>
#include <string_view>

namespace vlmr {

enum class Utf16Order { None, LittleEndian, BigEndian };

inline constexpr std::size_t kUtf16BomSize = 2;

// The byte order the bytes' UTF-16 byte order mark names; None without one.
Utf16Order Utf16OrderOf(std::string_view bytes);

// UTF-8 of UTF-16 units (the bytes after the mark). A lone surrogate reads
// as U+FFFD; a last odd byte is no unit and is skipped.
std::string Utf16ToUtf8(std::string_view units, Utf16Order order);

// Bytes of the well-formed UTF-8 sequence at text[pos] (no overlong form,
// no surrogate, nothing past U+10FFFF), or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// UTF-16 units of UTF-8 text; a byte that starts no valid sequence becomes U+FFFD.
std::string Utf8ToUtf16(std::string_view utf8, Utf16Order order);

// Where, in the units, the character begins that starts at byte `offset` of
// Utf16ToUtf8(units); the end of the whole units for an offset past the text.
std::size_t Utf16OffsetOf(std::string_view units, Utf16Order order, std::size_t offset);

bool IsValidUtf8(std::string_view text);

}  // namespace vlmr
