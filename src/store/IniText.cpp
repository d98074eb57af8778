#include "store/IniText.h"

#include <vector>

#include "store/Text.h"
#include "store/Utf16Text.h"

namespace vlmr {

namespace {

// The profile API trims blanks, tabs, VT, FF and Ctrl-Z around names and
// values; CR and LF end lines.
bool IsIniBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view TrimIni(std::string_view s) {
    while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The profile API keeps names and values as C strings: a NUL ends them, and
// the rest of that line is lost while later lines still count.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// A section or key name as a caller gives it: the API takes a C string and
// trims it before it compares.
std::string_view QueryName(std::string_view name) { return TrimIni(UpToNul(name)); }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// One line of the text: where it starts, its content without the line end,
// and where the next line starts. CR LF, a lone CR and a lone LF each end a line.
struct Line {
    std::size_t begin;
    std::string_view content;
    std::size_t next;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) end = text.size();
        std::size_t next = end;
        if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({begin, text.substr(begin, end - begin), next});
        begin = next;
    }
    return lines;
}

// The line end new lines get: the file's first one, CR LF when it has none.
// A CR that ends the whole text does not tell: its LF may have been lost.
std::string_view LineEndOf(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) return "\r\n";
    if (text[end] == '\n') return "\n";
    if (end + 1 == text.size() || text[end + 1] == '\n') return "\r\n";
    return "\r";
}

// The section name of a header line "[ name ]", or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimIni(line);
    const std::size_t close = line.rfind(']');
    if (line.empty() || line.front() != '[' || close == std::string_view::npos) return std::nullopt;
    return UpToNul(TrimIni(line.substr(1, close - 1)));
}

struct KeyLine {
    std::string_view name;      // as the API compares it
    std::string_view spelling;  // as the file has it, kept when the line is rewritten
    std::string_view value;
};

// Any other line that is not blank holds a key: "name = value", or a bare
// name, which is a key with an empty value. A line starting with ';' is a
// key too, whose name no caller asks for.
std::optional<KeyLine> ParseKey(std::string_view line) {
    line = TrimIni(line);
    if (line.empty() || SectionName(line)) return std::nullopt;
    const std::size_t eq = line.find('=');
    const std::string_view spelling = TrimIni(line.substr(0, eq));
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : TrimIni(line.substr(eq + 1));
    return KeyLine{UpToNul(spelling), spelling, UpToNul(value)};
}

// A value as a read returns it: without quotes around the whole of it, and
// at most kIniValueLimit characters. The profile API copies a quoted value
// with its closing quote and then drops the last character it copied: when
// the inner text is exactly the limit, the quote did not fit and a letter
// goes instead.
std::string ReadValue(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        const std::string_view inner = value.substr(1, value.size() - 2);
        const std::string_view cut = FirstCharacters(inner, kIniValueLimit);
        if (cut.size() == inner.size() && FirstCharacters(inner, kIniValueLimit - 1).size() < inner.size())
            return std::string(FirstCharacters(inner, kIniValueLimit - 1));
        return std::string(cut);
    }
    return std::string(FirstCharacters(value, kIniValueLimit));
}

// The lines of one section, [first, end) as indexes into the line list. The
// lines before the first header make a section without a name, which comes
// first; so a second section of a name is never searched.
struct SectionRange {
    std::optional<std::size_t> header;
    std::size_t first;
    std::size_t end;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
    std::optional<std::size_t> header;
    std::string_view name;
    for (std::size_t i = 0;; ++i) {
        if (i == lines.size() || SectionName(lines[i].content)) {
            if (EqualsNoCase(name, section)) return SectionRange{header, header ? *header + 1 : 0, i};
            if (i == lines.size()) return std::nullopt;
            header = i;
            name = *SectionName(lines[i].content);
        }
    }
}

std::optional<KeyLine> FindKey(const std::vector<Line>& lines, const SectionRange& range, std::string_view key,
                               std::size_t& index) {
    for (index = range.first; index < range.end; ++index) {
        auto k = ParseKey(lines[index].content);
        if (k && EqualsNoCase(k->name, key)) return k;
    }
    return std::nullopt;
}

// The file's text as the INI code reads it: after any byte order mark, and
// UTF-8 of a UTF-16 file.
struct Body {
    Utf16Order order;
    std::size_t bomSize;
    std::string decoded;

    explicit Body(std::string_view file) : order(Utf16OrderOf(file)) {
        bomSize = order != Utf16Order::None ? kUtf16BomSize : file.size() - WithoutBom(file).size();
        if (order != Utf16Order::None) decoded = Utf16ToUtf8(file.substr(bomSize), order);
    }
    std::string_view Text(std::string_view file) const {
        return order != Utf16Order::None ? std::string_view(decoded) : file.substr(bomSize);
    }
};

// One change of the text: `removed` bytes at `at` give way to `inserted`.
struct Edit {
    std::size_t at;
    std::size_t removed;
    std::string inserted;
};

// What ends the text's last line before a new line follows it. A text ending
// in a lone CR lacks only the LF of a CR LF file: a whole line end there
// would leave a blank line.
std::string_view EndOfLastLine(std::string_view text, std::string_view eol) {
    if (text.empty() || text.back() == '\n') return "";
    if (text.back() == '\r') return eol == "\r" ? "" : "\n";
    return eol;
}

Edit PlanAssign(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view eol = LineEndOf(text);
    const std::vector<Line> lines = SplitLines(text);
    const auto range = FindSection(lines, section);
    std::string entry = std::string(key).append("=").append(value).append(eol);

    if (!range) {
        std::string added;
        if (!text.empty()) added.append(EndOfLastLine(text, eol)).append(eol);  // a blank line between sections
        added.append("[").append(section).append("]").append(eol).append(entry);
        return {text.size(), 0, added};
    }
    std::size_t index = 0;
    if (const auto k = FindKey(lines, *range, key, index))
        // Rewrite this line's content, keeping its line end and the key's spelling.
        return {lines[index].begin, lines[index].content.size(), std::string(k->spelling).append("=").append(value)};

    // Add the key after the section's last line that is not blank.
    std::optional<std::size_t> last = range->header;
    for (std::size_t i = range->first; i < range->end; ++i)
        if (!TrimIni(lines[i].content).empty()) last = i;
    if (!last) return {0, 0, entry};
    const std::size_t at = lines[*last].next;
    if (at == text.size()) entry.insert(0, EndOfLastLine(text, eol));
    return {at, 0, entry};
}

}  // namespace

std::string IniLookup(std::string_view file, std::string_view section, std::string_view key) {
    const Body body(file);
    const std::vector<Line> lines = SplitLines(body.Text(file));
    const auto range = FindSection(lines, QueryName(section));
    std::size_t index = 0;
    const auto k = range ? FindKey(lines, *range, QueryName(key), index) : std::nullopt;
    return k ? ReadValue(k->value) : "";
}

std::optional<std::string> IniAssign(std::string_view file, std::string_view section, std::string_view key,
                                     std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return std::nullopt;
    const Body body(file);
    const std::string_view text = body.Text(file);
    const Edit edit = PlanAssign(text, QueryName(section), QueryName(key), value);

    std::string out(file.substr(0, body.bomSize));
    if (body.order == Utf16Order::None) {
        out.append(text.substr(0, edit.at)).append(edit.inserted).append(text.substr(edit.at + edit.removed));
        return out;
    }
    // Splice the change into the UTF-16 units, so every other byte stays as it was.
    const std::string_view units = file.substr(body.bomSize);
    const std::size_t from = Utf16OffsetOf(units, body.order, edit.at);
    const std::size_t to = Utf16OffsetOf(units, body.order, edit.at + edit.removed);
    out.append(units.substr(0, from)).append(Utf8ToUtf16(edit.inserted, body.order)).append(units.substr(to));
    return out;
}

}  // namespace vlmr
