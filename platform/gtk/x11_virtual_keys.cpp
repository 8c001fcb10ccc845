#include "platform/gtk/x11_virtual_keys.h"

#include <X11/keysym.h>

namespace miravue::platform::gtk {
namespace {

struct KeyMapping {
    unsigned long keysym;
    std::uint32_t vkCode;
    bool extended;
};

// Keys outside the regular runs (letters, digits, function keys, keypad digits).
constexpr KeyMapping kKeyMappings[] = {
    {XK_Shift_L, 160, false},
    {XK_Shift_R, 161, false},
    {XK_Control_L, 162, false},
    {XK_Control_R, 163, true},
    {XK_Alt_L, 164, false},
    {XK_Meta_L, 164, false},
    {XK_Alt_R, 165, true},
    {XK_Meta_R, 165, true},
    {XK_ISO_Level3_Shift, 165, true},  // AltGr, the right Alt key of many layouts
    {XK_Super_L, 91, true},
    {XK_Super_R, 92, true},
    {XK_Menu, 93, true},
    {XK_BackSpace, 8, false},
    {XK_Tab, 9, false},
    {XK_ISO_Left_Tab, 9, false},
    {XK_Return, 13, false},
    {XK_KP_Enter, 13, true},
    {XK_Pause, 19, false},
    {XK_Caps_Lock, 20, false},
    {XK_Escape, 27, false},
    {XK_space, 32, false},
    {XK_Prior, 33, true},
    {XK_Next, 34, true},
    {XK_End, 35, true},
    {XK_Home, 36, true},
    {XK_Left, 37, true},
    {XK_Up, 38, true},
    {XK_Right, 39, true},
    {XK_Down, 40, true},
    {XK_Print, 44, true},
    {XK_Insert, 45, true},
    {XK_Delete, 46, true},
    {XK_KP_Prior, 33, false},
    {XK_KP_Next, 34, false},
    {XK_KP_End, 35, false},
    {XK_KP_Home, 36, false},
    {XK_KP_Left, 37, false},
    {XK_KP_Up, 38, false},
    {XK_KP_Right, 39, false},
    {XK_KP_Down, 40, false},
    {XK_KP_Begin, 12, false},
    {XK_KP_Insert, 45, false},
    {XK_KP_Delete, 46, false},
    {XK_KP_Multiply, 106, false},
    {XK_KP_Add, 107, false},
    {XK_KP_Subtract, 109, false},
    {XK_KP_Decimal, 110, false},
    {XK_KP_Divide, 111, true},
    {XK_Num_Lock, 144, true},
    {XK_Scroll_Lock, 145, false},
    {XK_semicolon, 186, false},
    {XK_equal, 187, false},
    {XK_comma, 188, false},
    {XK_minus, 189, false},
    {XK_period, 190, false},
    {XK_slash, 191, false},
    {XK_grave, 192, false},
    {XK_bracketleft, 219, false},
    {XK_backslash, 220, false},
    {XK_bracketright, 221, false},
    {XK_apostrophe, 222, false},
    {XK_less, 226, false},  // the extra key beside left Shift on ISO keyboards
};

}  // namespace

VirtualKey VirtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= XK_F1 && keysym <= XK_F24) {
        return {static_cast<std::uint32_t>(112 + (keysym - XK_F1)), false};
    }
    if (keysym >= XK_a && keysym <= XK_z) {
        return {static_cast<std::uint32_t>('A' + (keysym - XK_a)), false};
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return {static_cast<std::uint32_t>('A' + (keysym - XK_A)), false};
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return {static_cast<std::uint32_t>('0' + (keysym - XK_0)), false};
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return {static_cast<std::uint32_t>(96 + (keysym - XK_KP_0)), false};
    }
    for (const KeyMapping& mapping : kKeyMappings) {
        if (mapping.keysym == keysym) {
            return {mapping.vkCode, mapping.extended};
        }
    }
    return {kUnmappedVirtualKey, false};
}

}  // namespace miravue::platform::gtk
