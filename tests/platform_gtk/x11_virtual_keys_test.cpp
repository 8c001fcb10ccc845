#include "platform/gtk/x11_virtual_keys.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace miravue::platform::gtk {
namespace {

struct KeyCase {
    const char* name;
    unsigned long keysym;
    std::uint32_t vkCode;
    bool extended;
};

class VirtualKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyTest, MapsToTheWindowsCode) {
    const VirtualKey key = VirtualKeyFromKeysym(GetParam().keysym);
    EXPECT_EQ(key.vkCode, GetParam().vkCode);
    EXPECT_EQ(key.extended, GetParam().extended);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyTest,
    ::testing::Values(
        KeyCase{"F1", XK_F1, 112, false}, KeyCase{"F8", XK_F8, 119, false},
        KeyCase{"F9", XK_F9, 120, false}, KeyCase{"F24", XK_F24, 135, false},
        KeyCase{"LowerA", XK_a, 65, false}, KeyCase{"UpperZ", XK_Z, 90, false},
        KeyCase{"Digit0", XK_0, 48, false}, KeyCase{"Digit9", XK_9, 57, false},
        KeyCase{"LeftShift", XK_Shift_L, 160, false}, KeyCase{"RightShift", XK_Shift_R, 161, false},
        KeyCase{"LeftCtrl", XK_Control_L, 162, false},
        KeyCase{"RightCtrl", XK_Control_R, 163, true}, KeyCase{"LeftAlt", XK_Alt_L, 164, false},
        KeyCase{"RightAlt", XK_Alt_R, 165, true}, KeyCase{"AltGr", XK_ISO_Level3_Shift, 165, true},
        KeyCase{"LeftWindows", XK_Super_L, 91, true}, KeyCase{"RightWindows", XK_Super_R, 92, true},
        KeyCase{"Keypad5", XK_KP_5, 101, false}, KeyCase{"KeypadEnter", XK_KP_Enter, 13, true},
        KeyCase{"ArrowLeft", XK_Left, 37, true},
        KeyCase{"Unknown", XK_VoidSymbol, kUnmappedVirtualKey, false}),
    [](const ::testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

}  // namespace
}  // namespace miravue::platform::gtk
