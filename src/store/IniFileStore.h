#pragma once
// Settings kept in an INI file by our own reader and writer, for systems
// without the Windows profile API.
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"

namespace vlmr {

class IniFileStore : public SettingsStore {
public:
    explicit IniFileStore(FileSystem& fs) : fs_(fs) {}
    std::string Read(std::string_view section, std::string_view key, std::string_view file) override;
    int Write(std::string_view section, std::string_view key, std::string_view value,
              std::string_view file) override;

private:
    FileSystem& fs_;
};

}  // namespace vlmr
