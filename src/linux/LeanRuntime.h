#pragma once
// The runtime of the lean course: the process without a toolkit. Messages
// are the banner's X events; a box loads the toolkit module and shows the
// toolkit's box in this very process, so the course simply goes on.
#include <string>
#include <vector>

#include "LinuxProcess.h"
#include "ToolkitModule.h"

struct _XDisplay;

namespace vlmr {

class XBanner;

class LeanRuntime : public LinuxProcess {
public:
    // The display connection is the banner's; ending the program closes it.
    LeanRuntime(std::vector<std::string> arguments, _XDisplay* display, ToolkitModule& toolkit);

    // A display connection that breaks, the banner's or the toolkit's, ends
    // the program with a line in the log and exit code 1. The toolkit puts
    // in a handler of its own as it starts, so this is said again after.
    static void EndOnLostDisplay();
    // The toolkit, started on first use.
    Toolkit& StartedToolkit();

    // The banner whose events DeliverPendingMessages handles.
    void DeliverTo(XBanner& banner) { banner_ = &banner; }

    void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
    void DeliverPendingMessages() override;
    [[noreturn]] void EndProgram() override;
    // Only the configurator asks, and it runs on the toolkit.
    std::string TodayShortDate() override { return StartedToolkit().TodayShortDate(); }

private:
    _XDisplay* display_;
    ToolkitModule& toolkit_;
    XBanner* banner_ = nullptr;
};

}  // namespace vlmr
