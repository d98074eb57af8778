#pragma once
// One value at a time from an INI-style settings file.
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace vlmr {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value, or "" when the file, section or key is missing.
    virtual std::string Read(std::string_view section, std::string_view key, std::string_view file) = 0;
    // Stores the value; a failure says why, in words for the user.
    virtual Status Write(std::string_view section, std::string_view key, std::string_view value,
                      std::string_view file) = 0;
};

}  // namespace vlmr
