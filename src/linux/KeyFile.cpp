#include "KeyFile.h"

#include <fstream>
#include <set>

#include "TextParts.h"

namespace vlmr {

KeyFile ReadKeyFile(const std::string& path) {
    KeyFile file;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::map<std::string, std::string>* group = nullptr;
    std::set<std::string> seen;
    while (std::getline(in, line)) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#') continue;
        if (text.front() == '[') {
            const std::string name(text.substr(1, text.find(']') - 1));
            group = seen.insert(name).second ? &file[name] : nullptr;
            continue;
        }
        const std::size_t equals = text.find('=');
        if (!group || equals == std::string_view::npos) continue;
        group->emplace(Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)));
    }
    return file;
}

std::string Value(const KeyFile& file, std::string_view group, const std::string& key) {
    const auto g = file.find(group);
    if (g == file.end()) return "";
    const auto k = g->second.find(key);
    return k == g->second.end() ? "" : k->second;
}

std::string Unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: out += '\\', out += value[i];
        }
    }
    return out;
}

}  // namespace vlmr
