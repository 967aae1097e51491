#include "util/entry_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lumo::util {

namespace {

TEST(EntryGuard, PassesTheResultOnAndTurnsAnythingThrownIntoOneLineAndMinusOne) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(runGuarded("demo", [] { return 3; }), 3);
    EXPECT_EQ(runGuarded("demo", []() -> int { throw std::runtime_error("no way"); }), -1);
    EXPECT_EQ(runGuarded("demo", []() -> int { throw 7; }), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "demo: stopped by an unexpected error: no way\n"
              "demo: stopped by an unexpected error: an exception of unknown type\n");
}

}  // namespace

}  // namespace lumo::util
