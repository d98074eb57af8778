#include "boot/StopMessage.h"

#include <exception>

namespace vlmr {

std::string StopMessageForCurrentException() {
    const std::string_view prefix = "Velmora stopped: ";
    try {
        throw;
    } catch (const std::exception& error) {
        return std::string(prefix) + error.what();
    } catch (...) {
        return std::string(prefix) + "an unknown error";
    }
}

}  // namespace vlmr
