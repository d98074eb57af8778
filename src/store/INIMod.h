#pragma once
// Access to the settings file, one value per call.
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace vlmr {

std::string ReadIniValue(SettingsStore& store, std::string_view section, std::string_view key,
                         std::string_view file);
Status WriteIniValue(SettingsStore& store, std::string_view section, std::string_view key, std::string_view value,
                  std::string_view file);

}  // namespace vlmr
