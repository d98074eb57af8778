#pragma once
// Processes that drive a setter in a test send the run log's lines to
// stderr, where the test reads what the setter said.
#include <cstdio>
#include <unistd.h>

#include "store/RunLog.h"

namespace vlmr::test {

class LogOnStderr : public LogFile {
public:
    LogOnStderr() { UseLogFile(this); }
    ~LogOnStderr() override { UseLogFile(nullptr); }
    std::string LocalTimestamp() override { return "2000-01-01 00:00:00"; }
    std::uint64_t ProcessId() override { return static_cast<std::uint64_t>(::getpid()); }
    Status Append(std::string_view line) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        std::fflush(stderr);
        return Status::Ok();
    }
    std::uint64_t Size() override { return 0; }
    Status MoveAside() override { return Status::Ok(); }
    void ReportUnwritable(const Status&) override {}
};

inline LogOnStderr logOnStderr;

// What a setter's refusal says, in the middle of its log line.
inline constexpr char kUnchanged[] = " error the wallpaper stays as it was; ";

}  // namespace vlmr::test
