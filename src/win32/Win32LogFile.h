#pragma once
// The run log on Windows: %LOCALAPPDATA%\Velmora\VLMR.log, UTF-8 with CR LF,
// each line also on stderr, where a console or a test harness can read it.
#include <string>

#include "platform/LogFile.h"

namespace vlmr::win32 {

// %LOCALAPPDATA%\Velmora\VLMR.log; "" when the user's local application
// data folder cannot be found.
std::wstring DefaultLogPath();

class Win32LogFile : public LogFile {
public:
    explicit Win32LogFile(std::wstring path);
    std::string LocalTimestamp() override;
    std::uint64_t ProcessId() override;
    Status Append(std::string_view line) override;
    std::uint64_t Size() override;
    Status MoveAside() override;
    void ReportUnwritable(const Status& why) override;

private:
    std::wstring path_;
};

}  // namespace vlmr::win32
