// Tasks handed to the UI loop run later, on this thread, one each, in the order posted.

#include <gtest/gtest.h>

#include <vector>

#include "message_pump.h"
#include "platform/ui_loop.h"

namespace {

std::vector<std::uintptr_t>& Ran() {
    static std::vector<std::uintptr_t> ran;
    return ran;
}

void Record(std::uintptr_t argument) {
    Ran().push_back(argument);
}

TEST(UiLoop, RunsPostedTasksLaterInPostedOrder) {
    Ran().clear();
    ASSERT_TRUE(miravue::platform::PostToUiLoop(Record, 1));
    ASSERT_TRUE(miravue::platform::PostToUiLoop(Record, 2));
    ASSERT_TRUE(miravue::platform::PostToUiLoop(Record, 3));
    EXPECT_TRUE(Ran().empty()) << "a posted task must not run inside the post";
    ASSERT_TRUE(miravue::test::PumpUntil([] { return Ran().size() == 3; }));
    EXPECT_EQ(Ran(), (std::vector<std::uintptr_t>{1, 2, 3}));
}

TEST(UiLoop, RefusesNoTask) {
    EXPECT_FALSE(miravue::platform::PostToUiLoop(nullptr, 0));
}

}  // namespace
