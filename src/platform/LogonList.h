#pragma once
// The user's list of programs that the desktop starts at logon.
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace vlmr {

class LogonList {
public:
    virtual ~LogonList() = default;
    // Creates or replaces the entry so that logon starts the program.
    virtual Status WriteEntry(std::string_view name, std::string_view program) = 0;
    // Removes that one entry; a missing entry is no error.
    virtual Status DeleteEntry(std::string_view name) = 0;
};

}  // namespace vlmr
