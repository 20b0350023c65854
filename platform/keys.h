// The Win32 virtual-key codes the program reacts to.
#pragma once

namespace platform {

constexpr int VK_RETURN = 13;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_X = 88;
constexpr int VK_Z = 90;
constexpr int VK_NUMPAD2 = 98;
constexpr int VK_NUMPAD4 = 100;
constexpr int VK_NUMPAD6 = 102;
constexpr int VK_NUMPAD8 = 104;
constexpr int VK_F1 = 112;

}  // namespace platform
