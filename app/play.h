#pragma once
// The play command: ask the key endpoint for the player page's URL prefix, append the
// percent-encoded address and show that page in the browser control.

#include <cstdint>

#include "web/text.h"

namespace miravue {

inline constexpr std::int32_t kHotkeyVkCode = 120;  // F9

// Fetches the prefix anew (never cached) and navigates to prefix + UrlEncode(address).
// An unreachable endpoint gives an empty prefix; an empty address plays the prefix alone.
void PlayAddress(const Text& address);

// The keyboard hook's callback: F9, with any modifier, plays the clipboard's text.
// The play itself is handed to the UI loop and runs right after the key event has been
// passed on, so a slow key endpoint never holds up the hook (a Windows low-level hook that
// overruns the system's timeout is dropped for good) or the key event.
void OnHotkey(std::int32_t modifier, std::int32_t vkCode, std::int32_t unused);

// The task OnHotkey posts: reads the clipboard then, outside the hook call, and plays it.
void PlayClipboard(std::uintptr_t unused);

}  // namespace miravue
