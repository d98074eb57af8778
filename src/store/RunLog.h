#pragma once
// The run log: one line per event, "YYYY-MM-DD HH:MM:SS pid LEVEL message",
// appended and never rewritten. It is the only trace a logon run leaves, so
// every failure goes into it with its reason; a log that cannot be written
// is said once and never stops the program.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/LogFile.h"
#include "platform/Status.h"

namespace vlmr {

// Past this size the log is moved aside and started afresh.
inline constexpr std::uint64_t kLogRollOverSize = 1024 * 1024;

// Where this process's lines go; nullptr (the start) sends them nowhere.
void UseLogFile(LogFile* file);
void LogInfo(std::string_view message);
void LogError(std::string_view message);
// Moves a full log aside. Only the copy that holds the instance claim may
// do this, so no two copies rename the file under each other.
void RollOverLog();

// A failure's reason as one log phrase ("unknown reason" when it has none).
std::string Reason(const Status& status);

}  // namespace vlmr
