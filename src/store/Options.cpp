#include "store/Options.h"

#include <algorithm>

#include "store/INIMod.h"

namespace vlmr {

Options ReadOptions(SettingsStore& store, std::string_view settingsFile, const std::vector<std::string>& offered) {
    Options options;
    // One blank apart, as the options window writes them; a word of any
    // other form is not a type and is passed by.
    const std::string types = ReadIniValue(store, kOptionsSection, kTypesKey, settingsFile);
    for (std::size_t start = 0; start < types.size();) {
        std::size_t end = types.find(' ', start);
        if (end == std::string::npos) end = types.size();
        const std::string word = types.substr(start, end - start);
        if (std::find(offered.begin(), offered.end(), word) != offered.end() &&
            std::find(options.types.begin(), options.types.end(), word) == options.types.end())
            options.types.push_back(word);
        start = end + 1;
    }
    const std::string proportions = ReadIniValue(store, kOptionsSection, kProportionsKey, settingsFile);
    if (proportions == "Fill") options.proportions = Proportions::Fill;
    if (proportions == "Fit") options.proportions = Proportions::Fit;
    options.noRepeats = ReadIniValue(store, kOptionsSection, kNoRepeatsKey, settingsFile) == "True";
    options.perMonitor = ReadIniValue(store, kOptionsSection, kPerMonitorKey, settingsFile) == "True";
    return options;
}

std::string TypesValue(const std::vector<std::string>& types) {
    std::string value;
    for (const std::string& type : types) {
        if (!value.empty()) value += ' ';
        value += type;
    }
    return value;
}

}  // namespace vlmr
