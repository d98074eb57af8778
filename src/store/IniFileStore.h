#pragma once
// Settings kept in an INI file by our own reader and writer, for systems
// without the Windows profile API.
#include <cstddef>

#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"

namespace vlmr {

// A settings file larger than this is no settings file of ours; it reads as
// unreadable, so every value is "" and nothing is written into it.
inline constexpr std::size_t kSettingsFileLimit = std::size_t{1} << 20;

class IniFileStore : public SettingsStore {
public:
    explicit IniFileStore(FileSystem& fs) : fs_(fs) {}
    std::string Read(std::string_view section, std::string_view key, std::string_view file) override;
    Status Write(std::string_view section, std::string_view key, std::string_view value,
              std::string_view file) override;

private:
    FileSystem& fs_;
};

}  // namespace vlmr
