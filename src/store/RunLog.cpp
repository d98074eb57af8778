#include "store/RunLog.h"

#include <cstdio>
#include <mutex>

namespace vlmr {
namespace {

struct ProcessLog {
    std::mutex lock;
    LogFile* file = nullptr;
    bool unwritableSaid = false;
};

ProcessLog& TheLog() {
    static ProcessLog log;
    return log;
}

// One event, one line: a line break or other control byte inside a message
// (a file name may hold one) is written as an escape, so no message can
// end a line early or forge one of its own.
std::string OneLine(std::string_view message) {
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
        message.remove_suffix(1);
    std::string line;
    line.reserve(message.size());
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            line += c;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            line += escape;
        }
    }
    return line;
}

void Write(std::string_view level, std::string_view message) {
    ProcessLog& log = TheLog();
    const std::lock_guard<std::mutex> hold(log.lock);
    if (log.file == nullptr) return;
    const std::string line = log.file->LocalTimestamp() + " " + std::to_string(log.file->ProcessId()) + " " +
                             std::string(level) + " " + OneLine(message);
    const Status written = log.file->Append(line);
    if (!written && !log.unwritableSaid) {
        log.unwritableSaid = true;
        log.file->ReportUnwritable(written);
    }
}

}  // namespace

void UseLogFile(LogFile* file) {
    ProcessLog& log = TheLog();
    const std::lock_guard<std::mutex> hold(log.lock);
    log.file = file;
    log.unwritableSaid = false;
}

void LogInfo(std::string_view message) { Write("info", message); }

void LogError(std::string_view message) { Write("error", message); }

void RollOverLog() {
    ProcessLog& log = TheLog();
    std::unique_lock<std::mutex> hold(log.lock);
    if (log.file == nullptr || log.file->Size() <= kLogRollOverSize) return;
    const Status moved = log.file->MoveAside();
    hold.unlock();
    if (moved)
        LogInfo("the log passed " + std::to_string(kLogRollOverSize) + " bytes; the earlier lines are in its .1 file");
    else
        LogError("the log passed " + std::to_string(kLogRollOverSize) + " bytes but could not be moved aside: " +
                 Reason(moved));
}

std::string Reason(const Status& status) {
    const std::string reason = OneLine(status.description);
    return reason.empty() ? std::string("unknown reason") : reason;
}

}  // namespace vlmr
