#pragma once
// Small text helpers shared by the portable code.
#include <string>
#include <string_view>

namespace vlmr {

// Drops blanks and tabs from both ends.
std::string_view TrimBlanks(std::string_view text);
// ASCII letters compared without regard to case; other bytes exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view text);
// The text without a leading UTF-8 byte order mark, which editors on
// Windows like to add.
std::string_view WithoutBom(std::string_view text);
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The first `count` characters of UTF-8 text, never cutting a character.
std::string_view FirstCharacters(std::string_view text, std::size_t count);

}  // namespace vlmr
