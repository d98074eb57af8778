#include "store/LogonEntry.h"

namespace vlmr {

Status SetRegistryString(LogonList& list, std::string_view name, std::string_view program) {
    return list.WriteEntry(name, program);
}

Status DeleteRegistryValue(LogonList& list, std::string_view name) { return list.DeleteEntry(name); }

std::string RunEntryText(std::string_view program) {
    std::string text;
    const bool quote = program.find(' ') != std::string_view::npos;
    text.reserve(program.size() + 2);
    if (quote) text += '"';
    text.append(program);
    if (quote) text += '"';
    return text;
}

std::string DesktopEntryExec(std::string_view program) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = program.find_first_of(reserved) != std::string_view::npos;
    std::string out;
    if (quote) out += '"';
    for (char c : program) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        // A value is one line without control characters: these three go
        // in as the value's own escapes and come back out before the quoting.
        if (c == '\n' || c == '\t' || c == '\r') {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
            continue;
        }
        // Inside quotes these four keep their meaning unless escaped. An
        // escaped backslash must itself be doubled again, since the key's
        // value is first unescaped as a string.
        if (quote && (c == '"' || c == '`' || c == '$')) out += "\\\\";
        if (quote && c == '\\') {
            out += "\\\\\\\\";
            continue;
        }
        out += c;
    }
    if (quote) out += '"';
    return out;
}

}  // namespace vlmr
