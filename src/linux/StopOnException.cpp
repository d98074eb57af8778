#include "StopOnException.h"

#include <cstdio>
#include <unistd.h>

#include "boot/StopMessage.h"
#include "store/RunLog.h"

namespace vlmr {
namespace {
bool stopping = false;
std::function<void(const std::string&)> stopBox;
}  // namespace

void ShowStopsIn(std::function<void(const std::string& text)> box) { stopBox = std::move(box); }

bool Stopping() { return stopping; }

void StopForCurrentException() noexcept {
    stopping = true;
    bool told = false;
    try {
        const std::string text = StopMessageForCurrentException();
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        told = true;
        LogError(text);
        // A copy: starting a toolkit for the box may install a box of its own.
        if (const auto box = stopBox) box(text);
    } catch (...) {
        if (!told) std::fputs("VLMR: stopped by an error that could not even be described\n", stderr);
    }
    // At once: the state that threw is not to be trusted with destructors.
    std::fflush(nullptr);
    ::_exit(1);
}

}  // namespace vlmr
