#pragma once
// Shell services: finding and starting the user's web browser.
#include <string>
#include <string_view>

#include "platform/Runtime.h"

namespace vlmr {

struct BrowserLookup {
    enum class Result { Found, NotFound, ProbeFailed };
    Result result = Result::NotFound;
    std::string browser;  // what to start when Found
    std::string problem;  // English description when ProbeFailed
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual BrowserLookup FindBrowser() = 0;
    // Starts the browser with the address as its whole parameter text and
    // returns at once; the result is not examined by the program.
    virtual void StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) = 0;
};

}  // namespace vlmr
