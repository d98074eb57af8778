#include "store/IniText.h"

#include <vector>

#include "store/Text.h"

namespace vlmr {

namespace {

// One line of the file: where it starts, its content without the line end,
// and where the next line starts.
struct Line {
    std::size_t begin;
    std::string_view content;
    std::size_t next;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    // A byte order mark is no part of the first line; it stays in the file.
    std::size_t begin = text.size() - WithoutBom(text).size();
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(begin, end - begin);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        lines.push_back({begin, content, next});
        begin = next;
    }
    return lines;
}

// The section name of a header line "[ name ]", or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view name;
    std::string_view value;
};

// A key line "name = value"; comments and lines without '=' are none.
std::optional<KeyLine> ParseKey(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';') return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))};
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Where the section's lines are: [first, last) indexes into the line list,
// first being the header. Only the first section of a name counts.
struct SectionRange {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionName(lines[i].content);
        if (!name || !EqualsNoCase(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].content)) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

}  // namespace

std::string IniLookup(std::string_view text, std::string_view section, std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const auto range = FindSection(lines, section);
    if (!range) return "";
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        auto k = ParseKey(lines[i].content);
        if (k && EqualsNoCase(k->name, key))
            return std::string(FirstCharacters(Unquote(k->value), kIniValueLimit));
    }
    return "";
}

std::optional<std::string> IniAssign(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return std::nullopt;
    // New lines follow the file's own line ends; CR LF for a new file.
    const std::size_t firstLf = text.find('\n');
    const std::string_view eol = (firstLf != std::string_view::npos && (firstLf == 0 || text[firstLf - 1] != '\r'))
                                     ? std::string_view("\n")
                                     : std::string_view("\r\n");
    const std::vector<Line> lines = SplitLines(text);
    const auto range = FindSection(lines, section);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (!range) {
        out.append(text);
        if (!WithoutBom(text).empty()) {
            if (out.back() != '\n') out.append(eol);
            out.append(eol);  // a blank line between sections
        }
        out.append("[").append(section).append("]").append(eol);
        out.append(key).append("=").append(value).append(eol);
        return out;
    }

    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        auto k = ParseKey(lines[i].content);
        if (!k || !EqualsNoCase(k->name, key)) continue;
        // Replace this line's content, keeping its line end and the key's spelling.
        out.append(text.substr(0, lines[i].begin));
        out.append(k->name).append("=").append(value);
        out.append(text.substr(lines[i].begin + lines[i].content.size()));
        return out;
    }

    // Add the key after the section's last non-blank line.
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
        if (!TrimBlanks(lines[i].content).empty()) last = i;
    const std::size_t insertAt = lines[last].next;
    out.append(text.substr(0, insertAt));
    if (out.back() != '\n') out.append(eol);
    out.append(key).append("=").append(value).append(eol);
    out.append(text.substr(insertAt));
    return out;
}

}  // namespace vlmr
