// The virtual-key codes beyond the few in platform.h: the backends report
// them, the demo's key table reads them, and the capture tool's --key names
// them.
#pragma once

#include "platform/platform.h"  // VkEscape, VkF1, VkUp, VkDown

namespace plat {

constexpr int VkReturn = 0x0D;
constexpr int VkSpace = 0x20;
constexpr int VkLeft = 0x25;
constexpr int VkRight = 0x27;
constexpr int Vk0 = 0x30;  // digits 0..9 are Vk0 + digit
constexpr int VkA = 0x41;  // letters A..Z are VkA + (letter - 'A')
// F1..F12 are VkF1 + (n - 1).

constexpr int vkDigit(int digit) { return Vk0 + digit; }
constexpr int vkLetter(char upper) { return VkA + (upper - 'A'); }

// The keys the demo answers to, by the names people press them by.
struct DemoKey {
    const char* name;
    int code;
};
constexpr DemoKey DemoKeys[] = {
    {"Escape", VkEscape}, {"F1", VkF1}, {"Up", VkUp}, {"Down", VkDown},
    {"1", vkDigit(1)}, {"2", vkDigit(2)}, {"3", vkDigit(3)}, {"4", vkDigit(4)}, {"5", vkDigit(5)}, {"6", vkDigit(6)},
    {"A", vkLetter('A')}, {"D", vkLetter('D')}, {"W", vkLetter('W')}, {"S", vkLetter('S')},
};

} // namespace plat
