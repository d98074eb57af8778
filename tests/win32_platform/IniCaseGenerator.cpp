#include "IniCaseGenerator.h"

#include <array>
#include <cctype>
#include <string_view>

namespace vlmr::test {

namespace {

// Few names, so that sections and keys repeat and collide.
constexpr std::array<std::string_view, 5> kSections = {"VLMR", "Startup", "A", "Sec Two", "x.y"};
constexpr std::array<std::string_view, 5> kKeys = {"Style", "Path", "Enabled", "k", "Two Words"};
// Names a caller of ours never uses but a file may hold: comments, broken
// headers, an empty name.
constexpr std::array<std::string_view, 5> kOddKeys = {";k", "[A", "", "k]", "=k"};
// What the API trims besides blanks: tabs, VT, FF, Ctrl-Z.
constexpr std::string_view kBlanks = " \t\v\f\x1A";
constexpr std::string_view kValueBytes = "abcXYZ019 \t\"'=;[]\\:.-\v";
// Characters the profile API and our code both read alike, but only in files
// with a byte order mark: an ANSI file is the code page's on Windows.
constexpr std::array<std::string_view, 5> kUnicode = {"\xC3\xA9", "\xC3\x9C", "\xE2\x82\xAC", "\xD0\xB6", "\xE6\xBC\xA2"};

}  // namespace

std::string IniCaseGenerator::AnyCase(std::string name) {
    for (char& c : name)
        if (OneIn(2)) c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
    return name;
}

std::string IniCaseGenerator::Blanks() {
    std::string out;
    for (std::size_t n = OneIn(2) ? 0 : 1 + Below(2); n > 0; --n) out += kBlanks[OneIn(2) ? 0 : Below(kBlanks.size())];
    return out;
}

std::string IniCaseGenerator::SectionName() { return AnyCase(std::string(kSections[Below(kSections.size())])); }

std::string IniCaseGenerator::KeyName() {
    if (OneIn(8)) return std::string(kOddKeys[Below(kOddKeys.size())]);
    return AnyCase(std::string(kKeys[Below(kKeys.size())]));
}

std::string IniCaseGenerator::Value(bool unicode) {
    std::string value;
    // Long values around the 254-character cut, quoted or not.
    const std::size_t length = OneIn(8) ? 250 + Below(8) : Below(12);
    for (std::size_t i = 0; i < length; ++i) {
        if (unicode && OneIn(6))
            value += kUnicode[Below(kUnicode.size())];
        else
            value += kValueBytes[Below(kValueBytes.size())];
    }
    if (OneIn(3)) {
        const char quote = OneIn(3) ? '\'' : '"';
        value = quote + value + (OneIn(6) ? "" : std::string(1, quote));
    }
    return value;
}

std::string IniCaseGenerator::Line(bool unicode) {
    static constexpr std::array<std::string_view, 8> kGarbage = {"[A", "]x", "=v", "a]b=c", "[", "[]", "==", "k==v"};
    const std::size_t kind = Below(100);
    if (kind < 16) {
        section_ = SectionName();
        std::string header = Blanks() + "[" + Blanks() + section_ + Blanks() + "]";
        if (OneIn(8)) header += OneIn(2) ? "junk" : "]x";
        return header + Blanks();
    }
    if (kind < 81) made_.emplace_back(section_, (kind < 74 ? "" : ";") + KeyName());
    if (kind < 66) return Blanks() + made_.back().second + Blanks() + "=" + Blanks() + Value(unicode) + Blanks();
    if (kind < 74) return Blanks() + made_.back().second + Blanks();
    if (kind < 81) return Blanks() + made_.back().second + (OneIn(2) ? "=" + Value(unicode) : "");
    if (kind < 92) return Blanks();
    return std::string(kGarbage[Below(kGarbage.size())]);
}

// Half of the time a name the file has, in any case; otherwise any name.
std::pair<std::string, std::string> IniCaseGenerator::Name() {
    if (!made_.empty() && OneIn(2)) {
        const auto& [section, key] = made_[Below(made_.size())];
        return {AnyCase(section), AnyCase(key)};
    }
    return {OneIn(25) ? "" : SectionName(), KeyName()};
}

// style: 0 CR LF, 1 LF, 2 CR alone, 3 a mix of them.
std::string IniCaseGenerator::LineEnd(int style) {
    static constexpr std::array<std::string_view, 3> kEnds = {"\r\n", "\n", "\r"};
    return std::string(kEnds[style == 3 ? Below(3) : static_cast<std::size_t>(style)]);
}

IniCase IniCaseGenerator::Next() {
    IniCase c;
    const std::size_t encoding = Below(10);
    c.encoding = encoding < 6 ? IniEncoding::Ansi
                 : encoding < 7 ? IniEncoding::Utf8Bom
                 : encoding < 9 ? IniEncoding::Utf16Le
                                : IniEncoding::Utf16Be;
    const bool unicode = c.encoding != IniEncoding::Ansi;
    const int style = static_cast<int>(Below(10) < 4 ? 0 : Below(4));

    section_.clear();
    made_.clear();
    std::vector<std::string> lines(1 + Below(14));
    for (auto& line : lines) line = Line(unicode);
    // A NUL somewhere inside a line or two, never inside a character, and
    // often after a blank, which stays when the NUL cuts what follows.
    if (OneIn(6))
        for (std::size_t n = 1 + Below(2); n > 0; --n) {
            std::string& line = lines[Below(lines.size())];
            std::size_t at = Below(line.size() + 1);
            while (at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) ++at;
            line.insert(at, Blanks() + '\0');
        }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        c.text += lines[i];
        if (i + 1 < lines.size() || !OneIn(4)) c.text += LineEnd(style);
    }
    if (style == 0 && OneIn(10)) c.text += "\r";  // a last line ended by a lone CR

    for (std::size_t n = 0; n < 16; ++n) {
        auto [section, key] = Name();
        if (OneIn(10)) section = Blanks() + section + Blanks();
        if (OneIn(10)) key = Blanks() + key + Blanks();
        c.queries.emplace_back(section, key);
    }

    c.writeSection = OneIn(10) ? "New Sec" : OneIn(30) ? "" : SectionName();
    c.writeKey = OneIn(10) ? "NewKey" : AnyCase(std::string(kKeys[Below(kKeys.size())]));
    if (OneIn(10)) c.writeKey = Blanks() + c.writeKey + Blanks();
    c.writeValue = Value(unicode);
    if (OneIn(30)) c.writeValue.insert(Below(c.writeValue.size() + 1), OneIn(2) ? "\r\n" : "\n");

    c.readBack.emplace_back(c.writeSection, c.writeKey);
    for (std::size_t n = 0; n < 8; ++n)
        c.readBack.push_back(n < 3 ? std::pair(AnyCase(c.writeSection), KeyName()) : Name());
    return c;
}

std::vector<IniCase> KnownCases() {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, std::string>> names = {
        {"VLMR", "Style"}, {"VLMR", "Path"}, {"vlmr", "style"}, {"B", "k"}};
    std::vector<IniCase> cases;
    auto add = [&](std::string text, IniEncoding encoding, std::string key, std::string value) {
        IniCase c{std::move(text), encoding, names, "VLMR", std::move(key), std::move(value), names};
        cases.push_back(std::move(c));
    };
    add("[VLMR]\r\nStyle\r\nStyle=Center\r\n", IniEncoding::Ansi, "Style", "Tile");
    add("[VLMR]\rStyle=Center\r", IniEncoding::Ansi, "Path", "/p");
    add("[VLMR]\r\nStyle=Center\x0b\r\n\x0c[B]\x1a\r\nk\x0b=\x1av\r\n", IniEncoding::Ansi, "Style", "Tile");
    add("[VLMR]\r\nStyle=Center\r\n", IniEncoding::Utf16Le, "Path", "C:\\\xC3\xA9");
    add("[VLMR]\r\nStyle=Center\r\n", IniEncoding::Utf16Be, "Style", "Tile");
    add("[VLMR]\r\nStyle=Cen\0ter\r\nPath=x\r\n[B]\r\nk=v\r\n"s, IniEncoding::Ansi, "Path", "y");
    add("[VLMR]\r\nStyle=Tile\r", IniEncoding::Ansi, "Path", "/p");
    return cases;
}

}  // namespace vlmr::test
