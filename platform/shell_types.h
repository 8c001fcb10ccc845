#pragma once
// Plain types shared by the shell seams (window, browser, keyboard hook, file drop).
// They are shaped so that a Windows backend can hand them to the system unchanged:
// handles are pointer-sized integers and callbacks use the system's calling convention.

#include <cstdint>

// The calling convention of procedures the platform calls back (window procedures,
// keyboard hook procedures). 32-bit Windows calls them as stdcall; elsewhere it is the
// default convention.
#if defined(_WIN32) && !defined(_WIN64)
#define MIRAVUE_CALLBACK __attribute__((stdcall))
#else
#define MIRAVUE_CALLBACK
#endif

namespace miravue::platform {

// A window of the platform; 0 is "no window".
using WindowHandle = std::uintptr_t;

// A rectangle in pixels; width is right - left and height is bottom - top.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

}  // namespace miravue::platform
