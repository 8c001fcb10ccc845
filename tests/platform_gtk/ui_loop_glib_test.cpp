#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui_loop.h"

namespace miravue::platform {
namespace {

std::vector<std::string>& Trace() {
    static std::vector<std::string> trace;
    return trace;
}

void Record(std::uintptr_t argument) {
    Trace().push_back("task " + std::to_string(argument));
}

// Posts two more tasks and spins the loop, as a task waiting for the clipboard does.
void PostMoreAndSpin(std::uintptr_t argument) {
    Trace().push_back("begin " + std::to_string(argument));
    PostToUiLoop(Record, 10);
    PostToUiLoop(Record, 11);
    for (int i = 0; i < 5; ++i) {
        g_main_context_iteration(nullptr, FALSE);
    }
    Trace().push_back("end " + std::to_string(argument));
}

void RunUntilIdle() {
    // The queue drains within a bounded number of dispatches; never wait for more.
    for (int i = 0; i < 100 && g_main_context_pending(nullptr); ++i) {
        g_main_context_iteration(nullptr, FALSE);
    }
}

class UiLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { Trace().clear(); }
};

TEST_F(UiLoopTest, NothingRunsWhilePostingAndTasksRunInPostOrder) {
    ASSERT_TRUE(PostToUiLoop(Record, 1));
    ASSERT_TRUE(PostToUiLoop(Record, 2));
    ASSERT_TRUE(PostToUiLoop(Record, 3));
    EXPECT_TRUE(Trace().empty());
    RunUntilIdle();
    EXPECT_EQ(Trace(), (std::vector<std::string>{"task 1", "task 2", "task 3"}));
}

TEST_F(UiLoopTest, ATaskThatSpinsTheLoopIsNotEnteredByTheNextOnes) {
    PostToUiLoop(PostMoreAndSpin, 1);
    PostToUiLoop(Record, 2);
    RunUntilIdle();
    EXPECT_EQ(Trace(),
              (std::vector<std::string>{"begin 1", "end 1", "task 2", "task 10", "task 11"}));
}

TEST_F(UiLoopTest, NoTaskIsRefused) {
    EXPECT_FALSE(PostToUiLoop(nullptr, 0));
    RunUntilIdle();
    EXPECT_TRUE(Trace().empty());
}

}  // namespace
}  // namespace miravue::platform
