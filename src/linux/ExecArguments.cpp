#include "ExecArguments.h"

namespace vlmr {

std::vector<std::string> ExecArguments(std::string_view exec, std::string_view address) {
    // Inside double quotes a backslash escapes only these.
    constexpr std::string_view kQuotedEscapes = "\"`$\\";
    std::vector<std::string> arguments;
    std::string current;
    bool started = false;  // something, even an empty "", makes an argument
    bool addressed = false;
    enum class Quote { None, Double, Single } quote = Quote::None;

    const auto finish = [&] {
        if (started) arguments.push_back(std::move(current));
        current.clear();
        started = false;
    };
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        const bool hasNext = i + 1 < exec.size();
        if (c == '%') {
            if (!hasNext) continue;
            const char code = exec[++i];
            if (code == '%') {
                current += '%', started = true;
            } else if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
                current += address, started = true, addressed = true;
            }
            continue;  // any other field code stands for nothing here
        }
        switch (quote) {
            case Quote::Double:
                if (c == '"') {
                    quote = Quote::None;
                } else if (c == '\\' && hasNext && kQuotedEscapes.find(exec[i + 1]) != std::string_view::npos) {
                    current += exec[++i];
                } else {
                    current += c;
                }
                continue;
            case Quote::Single:
                if (c == '\'') quote = Quote::None;
                else current += c;
                continue;
            case Quote::None: break;
        }
        if (c == ' ' || c == '\t' || c == '\n') {
            finish();
        } else if (c == '"' || c == '\'') {
            quote = c == '"' ? Quote::Double : Quote::Single;
            started = true;
        } else if (c == '\\' && hasNext) {
            current += exec[++i], started = true;
        } else {
            current += c, started = true;
        }
    }
    if (quote != Quote::None) return {};
    finish();
    if (arguments.empty() || arguments.front().empty()) return {};
    // A browser's entry without a field code still gets the page to open.
    if (!addressed) arguments.emplace_back(address);
    return arguments;
}

}  // namespace vlmr
