// The words both front ends show when an exception would end the program.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "boot/StopMessage.h"

namespace vlmr::test {
namespace {

template <class Thrown>
std::string MessageFor(Thrown thrown) {
    try {
        throw thrown;
    } catch (...) {
        return StopMessageForCurrentException();
    }
}

TEST(StopMessage, NamesWhatFailedOrSaysItIsUnknown) {
    EXPECT_EQ(MessageFor(std::bad_alloc()), "Velmora stopped: std::bad_alloc");
    EXPECT_EQ(MessageFor(std::runtime_error("list index")), "Velmora stopped: list index");
    EXPECT_EQ(MessageFor(42), "Velmora stopped: an unknown error");
}

}  // namespace
}  // namespace vlmr::test
