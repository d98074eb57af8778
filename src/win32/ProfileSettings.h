#pragma once
// Settings through the Windows profile API, one value per call.
#include "platform/SettingsStore.h"

namespace vlmr::win32 {

class ProfileSettings : public SettingsStore {
public:
    std::string Read(std::string_view section, std::string_view key, std::string_view file) override;
    Status Write(std::string_view section, std::string_view key, std::string_view value,
              std::string_view file) override;
};

}  // namespace vlmr::win32
