#pragma once
// X key symbols to Windows virtual-key codes, so that key events read from X reach the
// program as the Windows keyboard hook reports them.

#include <cstdint>

namespace miravue::platform::gtk {

struct VirtualKey {
    std::uint32_t vkCode = 0;
    bool extended = false;  // keys Windows marks as extended (the E0-prefixed ones)
};

// Keys without a Windows counterpart give kUnmappedVirtualKey.
inline constexpr std::uint32_t kUnmappedVirtualKey = 0xFF;

// keysym is the key's unshifted symbol (level 0 of the first group).
VirtualKey VirtualKeyFromKeysym(unsigned long keysym);

}  // namespace miravue::platform::gtk
