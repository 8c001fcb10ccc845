#pragma once
// The window subclassing seam: a window's messages go through one replaceable procedure,
// and a replacing procedure hands what it does not handle to the one it replaced.

#include <cstdint>

#include "platform/shell_types.h"

namespace miravue::platform {

using WindowProcedure = std::intptr_t(MIRAVUE_CALLBACK*)(WindowHandle window, std::uint32_t message,
                                                         std::uintptr_t wparam,
                                                         std::intptr_t lparam);

// Makes procedure the window's procedure and returns the one it replaced (nullptr for an
// unknown window, whose procedure is then not changed).
WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure);

// Calls procedure with the message; 0 when procedure is nullptr.
std::intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window,
                                  std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam);

}  // namespace miravue::platform
