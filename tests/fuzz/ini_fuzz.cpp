// The INI reader and writer on any file text. The input is the section, key
// and value of one write, each ended by a NUL byte, then the file's bytes
// (which may hold NULs, as a UTF-16 file does): a seed is a write followed
// by an ordinary Config.ini.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "store/IniText.h"
#include "store/Text.h"
#include "store/Utf16Text.h"

namespace {

using vlmr::fuzz::Require;
using Name = std::pair<std::string_view, std::string_view>;
constexpr auto npos = std::string_view::npos;

std::string_view NextField(std::string_view& rest) {
    const std::size_t nul = rest.find('\0');
    const std::string_view field = rest.substr(0, nul);
    rest = nul == npos ? std::string_view() : rest.substr(nul + 1);
    return field;
}

// Characters as a read counts them: every byte that does not continue a
// UTF-8 sequence starts one.
std::size_t CharacterCount(std::string_view s) {
    std::size_t n = 0;
    for (const unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != npos; }

bool NoControlCharacter(std::string_view s) {
    for (const unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

// A name every reader of the format sees alike: no control character, no
// blank at either end, nothing that would turn its line into a comment or a
// section header or end the name early.
bool PlainName(std::string_view s, std::string_view forbidden) {
    return !s.empty() && s.front() != ' ' && s.back() != ' ' && NoControlCharacter(s) &&
           s.find_first_of(forbidden) == npos;
}

// A value that reads back as itself: no blank or quote at either end to be
// dropped, and short enough not to be cut.
bool PlainValue(std::string_view v) {
    const auto kept = [](char c) { return c != ' ' && c != '"' && c != '\''; };
    return v.size() <= vlmr::kIniValueLimit && NoControlCharacter(v) &&
           (v.empty() || (kept(v.front()) && kept(v.back())));
}

// A name as a caller would ask for it: a C string, without the blanks, tabs,
// VT, FF and Ctrl-Z that a read ignores around it.
std::string_view AsAsked(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    const std::string_view ignored = " \t\v\f\x1A";
    const std::size_t first = name.find_first_not_of(ignored);
    if (first == npos) return {};
    return name.substr(first, name.find_last_not_of(ignored) - first + 1);
}

// Every section and key the text might define, from a loose scan of its
// lines (CR, LF or both end one): their reads must survive a write of some
// other key. Bounded so that a large input stays quick.
std::vector<Name> NamesIn(std::string_view text) {
    std::vector<Name> names;
    std::string_view section;
    for (std::size_t pos = 0; pos < text.size() && names.size() < 64;) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == npos) end = text.size();
        const std::string_view line = AsAsked(text.substr(pos, end - pos));
        if (!line.empty() && line.front() == '[') {
            section = AsAsked(line.substr(1, line.rfind(']') - 1));
        } else if (!line.empty()) {
            names.emplace_back(section, AsAsked(line.substr(0, line.find('='))));
        }
        pos = end + 1;
    }
    return names;
}

// The text as the reader sees it: after the byte order mark, and a UTF-16
// file through its UTF-8 copy.
std::string Readable(std::string_view file) {
    const vlmr::Utf16Order order = vlmr::Utf16OrderOf(file);
    if (order == vlmr::Utf16Order::None) return std::string(vlmr::WithoutBom(file));
    return vlmr::Utf16ToUtf8(file.substr(vlmr::kUtf16BomSize), order);
}

std::vector<std::string> ReadAll(std::string_view text, const std::vector<Name>& names) {
    std::vector<std::string> values;
    for (const auto& [section, key] : names) {
        values.push_back(vlmr::IniLookup(text, section, key));
        Require(CharacterCount(values.back()) <= vlmr::kIniValueLimit, "a read returned more than 254 characters");
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view section = NextField(rest);
    const std::string_view key = NextField(rest);
    const std::string_view value = NextField(rest);
    const std::string_view text = rest;

    const std::string readable = Readable(text);
    std::vector<Name> names = NamesIn(readable);
    names.emplace_back(section, key);
    const std::vector<std::string> before = ReadAll(text, names);

    const std::optional<std::string> written = vlmr::IniAssign(text, section, key, value);
    Require(written.has_value() != (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)),
            "a write was refused without a line break in it, or one with a line break went through");
    // The lines before the first header form a section without a name, which
    // the program never writes: a key there may start the file, and one that
    // starts with a byte order mark changes how the whole file reads.
    if (!written || AsAsked(section).empty()) return 0;
    const std::string_view after = *written;

    // A write changes or adds one line: what it took out of the old text
    // lies within a single line.
    const std::string_view old = readable;
    const std::string updated = Readable(after);
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < updated.size() && old[prefix] == updated[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < updated.size() - prefix &&
           old[old.size() - 1 - suffix] == updated[updated.size() - 1 - suffix])
        ++suffix;
    Require(old.substr(prefix, old.size() - prefix - suffix).find_first_of("\r\n") == npos,
            "a write took bytes out of more than one line");

    const std::vector<std::string> now = ReadAll(after, names);
    if (!PlainName(section, "[]") || !PlainName(key, "=[];")) return 0;
    // A UTF-16 file holds only what UTF-16 can encode.
    if (vlmr::Utf16OrderOf(text) != vlmr::Utf16Order::None &&
        !(vlmr::IsValidUtf8(section) && vlmr::IsValidUtf8(key) && vlmr::IsValidUtf8(value)))
        return 0;

    // The key reads what the same write into an empty file reads.
    const std::string readBack = vlmr::IniLookup(after, section, key);
    const std::optional<std::string> alone = vlmr::IniAssign("", section, key, value);
    Require(alone && readBack == vlmr::IniLookup(*alone, section, key),
            "a written key reads otherwise than in a file of its own");
    if (PlainValue(value)) Require(readBack == value, "a written value does not read back as itself");

    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& [s, k] = names[i];
        if (vlmr::EqualsNoCase(s, section) && vlmr::EqualsNoCase(k, key)) continue;
        Require(now[i] == before[i], "a write changed the value of another key");
    }
    Require(vlmr::IniAssign(after, section, key, value) == after, "writing the same value again changed the file");
    return 0;
}
