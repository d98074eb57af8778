#pragma once
// The run log on Linux: $XDG_STATE_HOME/velmora/VLMR.log, each line also on
// stderr, which the session journal keeps for programs started at logon.
#include <string>

#include "platform/LogFile.h"

namespace vlmr {

// $XDG_STATE_HOME/velmora/VLMR.log (~/.local/state/velmora/VLMR.log by default).
std::string DefaultLogPath();

class PosixLogFile : public LogFile {
public:
    explicit PosixLogFile(std::string path);
    std::string LocalTimestamp() override;
    std::uint64_t ProcessId() override;
    Status Append(std::string_view line) override;
    std::uint64_t Size() override;
    Status MoveAside() override;
    void ReportUnwritable(const Status& why) override;

private:
    std::string path_;
};

}  // namespace vlmr
