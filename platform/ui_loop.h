#pragma once
// Hands work to the UI thread's loop, to run once the current event has been handled.

#include <cstdint>

namespace miravue::platform {

using UiTask = void (*)(std::uintptr_t argument);

// Queues task(argument) on the UI thread's loop. Tasks run one at a time, in the order
// they were posted, on the UI thread. False when the task cannot be queued.
// Must be called on the UI thread.
bool PostToUiLoop(UiTask task, std::uintptr_t argument);

}  // namespace miravue::platform
