#include "store/LogonEntry.h"

namespace vlmr {

void SetRegistryString(LogonList& list, std::string_view name, std::string_view program) {
    list.WriteEntry(name, program);  // failures are not reported to the user
}

void DeleteRegistryValue(LogonList& list, std::string_view name) { list.DeleteEntry(name); }

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
