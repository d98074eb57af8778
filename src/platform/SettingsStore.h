#pragma once
// One value at a time from an INI-style settings file.
#include <string>
#include <string_view>

namespace vlmr {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value, or "" when the file, section or key is missing.
    virtual std::string Read(std::string_view section, std::string_view key, std::string_view file) = 0;
    // Non-zero on success, like the platform's profile writer.
    virtual int Write(std::string_view section, std::string_view key, std::string_view value,
                      std::string_view file) = 0;
};

}  // namespace vlmr
