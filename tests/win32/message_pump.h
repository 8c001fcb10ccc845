#pragma once
// Runs the test thread's message loop until a condition holds, as the program's loop would.

#include <functional>

namespace miravue::test {

// Dispatches messages until `done` is true or `timeoutMs` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 3000);

}  // namespace miravue::test
