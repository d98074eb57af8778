#include "DisplayGuard.h"

#include <QString>
#include <QtGlobal>

#include "UserFolders.h"

// Before Xlib, whose None macro would clash with the status kinds.
#include "store/RunLog.h"

#include <X11/Xlib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace vlmr {
namespace {

QtMessageHandler toolkitHandler = nullptr;  // the toolkit's own, which prints
std::atomic<bool> starting = false;
std::mutex heldLock;  // the toolkit may speak from its own threads too

struct HeldMessage {
    QtMsgType type;
    std::string category, file, function;
    int line;
    QString text;
};
std::vector<HeldMessage> held;

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGABRT};
struct sigaction previousActions[std::size(kCrashSignals)];
std::string crashLine;  // made beforehand: a signal handler may only write() it

std::string DisplayName() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (std::string value = Environment(variable); !value.empty()) return value;
    }
    return "(none)";
}

void PassOn(const HeldMessage& m) {
    const QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(), m.category.c_str());
    toolkitHandler(m.type, context, m.text);
}

bool DisplayAnswers() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

void OnToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const auto copy = [](const char* s) { return std::string(s ? s : ""); };
    HeldMessage message{type, copy(context.category), copy(context.file), copy(context.function), context.line, text};
    if (type != QtFatalMsg) {
        std::unique_lock<std::mutex> guard(heldLock);
        if (starting) {
            held.push_back(std::move(message));
            return;
        }
        guard.unlock();
        PassOn(message);
        return;
    }
    // The toolkit gives up and would abort now. When the display does not
    // answer, that is all there is to say; otherwise its own words explain.
    const std::string name = DisplayName();
    if (!DisplayAnswers()) {
        if (starting)
            LogError("the display " + name + " cannot be reached; start VLMR inside a running desktop session");
        else
            LogError("lost the display " + name);
    } else {
        const std::lock_guard<std::mutex> guard(heldLock);
        for (const HeldMessage& m : held) PassOn(m);
        PassOn(message);
        LogError("the toolkit failed on the display " + name);
    }
    std::fflush(nullptr);
    ::_exit(1);
}

// The toolkit does not expect the display to vanish in the middle of its
// first requests, and may crash on a missing reply.
void OnCrashWhileConnecting(int) {
    const ssize_t written = ::write(STDERR_FILENO, crashLine.data(), crashLine.size());
    static_cast<void>(written);
    ::_exit(1);
}

}  // namespace

void GuardToolkitStart() {
    starting = true;
    crashLine = "VLMR: the connection to the display " + DisplayName() + " failed while the toolkit was setting it up.\n";
    toolkitHandler = qInstallMessageHandler(&OnToolkitMessage);
    struct sigaction action {};
    action.sa_handler = &OnCrashWhileConnecting;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i) sigaction(kCrashSignals[i], &action, &previousActions[i]);
}

void ToolkitStarted() {
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i) sigaction(kCrashSignals[i], &previousActions[i], nullptr);
    const std::lock_guard<std::mutex> guard(heldLock);
    starting = false;
    for (const HeldMessage& m : held) PassOn(m);
    held.clear();
}

}  // namespace vlmr
