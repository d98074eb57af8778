#include "store/INIMod.h"

#include "store/IniText.h"
#include "store/Text.h"

namespace vlmr {

std::string ReadIniValue(SettingsStore& store, std::string_view section, std::string_view key,
                         std::string_view file) {
    // Whatever the store, a value never comes back longer than the profile
    // API's buffer allows.
    return std::string(FirstCharacters(store.Read(section, key, file), kIniValueLimit));
}

Status WriteIniValue(SettingsStore& store, std::string_view section, std::string_view key, std::string_view value,
                  std::string_view file) {
    return store.Write(section, key, value, file);
}

}  // namespace vlmr
