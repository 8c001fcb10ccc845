// Work handed to the UI loop: one idle source drains a queue, one task per dispatch, so
// the tasks run in the order they were posted and never inside each other.

#include <glib.h>

#include <deque>

#include "platform/ui_loop.h"

namespace miravue::platform {
namespace {

struct PostedTask {
    UiTask task;
    std::uintptr_t argument;
};

std::deque<PostedTask>& Queue() {
    static std::deque<PostedTask> queue;
    return queue;
}

guint g_drain_source = 0;

gboolean RunNextTask(gpointer /*data*/) {
    std::deque<PostedTask>& queue = Queue();
    if (!queue.empty()) {
        const PostedTask next = queue.front();
        queue.pop_front();
        next.task(next.argument);
    }
    if (queue.empty()) {
        g_drain_source = 0;
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace

bool PostToUiLoop(UiTask task, std::uintptr_t argument) {
    if (task == nullptr) {
        return false;
    }
    Queue().push_back(PostedTask{task, argument});
    if (g_drain_source == 0) {
        // Default priority: ahead of redraws, so a posted play starts at once.
        g_drain_source = g_idle_add_full(G_PRIORITY_DEFAULT, RunNextTask, nullptr, nullptr);
    }
    return true;
}

}  // namespace miravue::platform
