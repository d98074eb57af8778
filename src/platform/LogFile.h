#pragma once
// Where the run log's lines are kept: a short text file in the user's own
// state folder that a user can read and paste into a bug report.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace vlmr {

class LogFile {
public:
    virtual ~LogFile() = default;
    // Local time as "YYYY-MM-DD HH:MM:SS".
    virtual std::string LocalTimestamp() = 0;
    virtual std::uint64_t ProcessId() = 0;
    // Adds one line (given without its end) at the end of the log in a
    // single write, so that lines of two copies running at once never mix.
    virtual Status Append(std::string_view line) = 0;
    // The log's size in bytes; 0 when there is none yet.
    virtual std::uint64_t Size() = 0;
    // Renames the log to its ".1" name, replacing the older one there.
    virtual Status MoveAside() = 0;
    // Says, outside the log, that it cannot be written and why.
    virtual void ReportUnwritable(const Status& why) = 0;
};

}  // namespace vlmr
