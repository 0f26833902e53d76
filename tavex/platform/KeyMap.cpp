#include "KeyMap.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

namespace Tavex::Platform {
namespace {

struct Pair {
  std::uint32_t keysym;
  UINT vk;
};

// Keysyms that map one to one; the first entry for a virtual key is its reverse mapping.
constexpr Pair kTable[] = {
    {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB}, {XK_ISO_Left_Tab, VK_TAB},
    {XK_Clear, VK_CLEAR}, {XK_Return, VK_RETURN}, {XK_KP_Enter, VK_RETURN},
    {XK_Shift_L, VK_SHIFT}, {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU}, {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU}, {XK_Meta_R, VK_MENU}, {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Pause, VK_PAUSE}, {XK_Caps_Lock, VK_CAPITAL}, {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE}, {XK_Prior, VK_PRIOR}, {XK_Next, VK_NEXT}, {XK_End, VK_END},
    {XK_Home, VK_HOME}, {XK_Left, VK_LEFT}, {XK_Up, VK_UP}, {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN}, {XK_Select, VK_SELECT}, {XK_Print, VK_SNAPSHOT},
    {XK_Execute, VK_EXECUTE}, {XK_Insert, VK_INSERT}, {XK_Delete, VK_DELETE},
    {XK_Help, VK_HELP}, {XK_Super_L, VK_LWIN}, {XK_Super_R, VK_RWIN}, {XK_Menu, VK_APPS},
    {XK_KP_Home, VK_HOME}, {XK_KP_End, VK_END}, {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT}, {XK_KP_Left, VK_LEFT}, {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT}, {XK_KP_Down, VK_DOWN}, {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE}, {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD}, {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT}, {XK_KP_Decimal, VK_DECIMAL}, {XK_KP_Divide, VK_DIVIDE},
    {XK_Num_Lock, VK_NUMLOCK}, {XK_Scroll_Lock, VK_SCROLL},
    {XK_semicolon, VK_OEM_1}, {XK_colon, VK_OEM_1}, {XK_equal, VK_OEM_PLUS},
    {XK_plus, VK_OEM_PLUS}, {XK_comma, VK_OEM_COMMA}, {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD}, {XK_slash, VK_OEM_2}, {XK_grave, VK_OEM_3},
    {XK_asciitilde, VK_OEM_3}, {XK_bracketleft, VK_OEM_4}, {XK_backslash, VK_OEM_5},
    {XK_bracketright, VK_OEM_6}, {XK_apostrophe, VK_OEM_7}, {XK_less, VK_OEM_102},
    {XF86XK_Back, VK_BROWSER_BACK}, {XF86XK_Forward, VK_BROWSER_FORWARD},
    {XF86XK_Refresh, VK_BROWSER_REFRESH}, {XF86XK_Stop, VK_BROWSER_STOP},
    {XF86XK_Search, VK_BROWSER_SEARCH}, {XF86XK_Favorites, VK_BROWSER_FAVORITES},
    {XF86XK_HomePage, VK_BROWSER_HOME}, {XF86XK_AudioMute, VK_VOLUME_MUTE},
    {XF86XK_AudioLowerVolume, VK_VOLUME_DOWN}, {XF86XK_AudioRaiseVolume, VK_VOLUME_UP},
    {XF86XK_AudioNext, VK_MEDIA_NEXT_TRACK}, {XF86XK_AudioPrev, VK_MEDIA_PREV_TRACK},
    {XF86XK_AudioStop, VK_MEDIA_STOP}, {XF86XK_AudioPlay, VK_MEDIA_PLAY_PAUSE},
    {XF86XK_AudioPause, VK_MEDIA_PLAY_PAUSE}, {XF86XK_Mail, VK_LAUNCH_MAIL},
    {XF86XK_AudioMedia, VK_LAUNCH_MEDIA_SELECT}, {XF86XK_MyComputer, VK_LAUNCH_APP1},
    {XF86XK_Calculator, VK_LAUNCH_APP2}, {XF86XK_Sleep, VK_SLEEP},
};

}  // namespace

UINT VirtualKeyOfKeysym(std::uint32_t ks) {
  if (ks >= XK_a && ks <= XK_z) return 'A' + (ks - XK_a);
  if (ks >= XK_A && ks <= XK_Z) return 'A' + (ks - XK_A);
  if (ks >= XK_0 && ks <= XK_9) return '0' + (ks - XK_0);
  if (ks >= XK_KP_0 && ks <= XK_KP_9) return VK_NUMPAD0 + (ks - XK_KP_0);
  if (ks >= XK_F1 && ks <= XK_F24) return VK_F1 + (ks - XK_F1);
  for (const Pair& p : kTable) {
    if (p.keysym == ks) return p.vk;
  }
  return 0;
}

UINT SidedVirtualKeyOfKeysym(std::uint32_t ks) {
  switch (ks) {
    case XK_Shift_L: return VK_LSHIFT;
    case XK_Shift_R: return VK_RSHIFT;
    case XK_Control_L: return VK_LCONTROL;
    case XK_Control_R: return VK_RCONTROL;
    case XK_Alt_L:
    case XK_Meta_L: return VK_LMENU;
    case XK_Alt_R:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift: return VK_RMENU;
    default: return 0;
  }
}

std::uint32_t KeysymOfVirtualKey(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return XK_KP_0 + (vk - VK_NUMPAD0);
  if (vk >= VK_F1 && vk <= VK_F24) return XK_F1 + (vk - VK_F1);
  switch (vk) {
    case VK_LSHIFT: return XK_Shift_L;
    case VK_RSHIFT: return XK_Shift_R;
    case VK_LCONTROL: return XK_Control_L;
    case VK_RCONTROL: return XK_Control_R;
    case VK_LMENU: return XK_Alt_L;
    case VK_RMENU: return XK_Alt_R;
    default: break;
  }
  for (const Pair& p : kTable) {
    if (p.vk == vk) return p.keysym;
  }
  return 0;
}

bool IsExtendedKeysym(std::uint32_t ks) {
  switch (ks) {
    case XK_Prior: case XK_Next: case XK_End: case XK_Home: case XK_Left: case XK_Up:
    case XK_Right: case XK_Down: case XK_Insert: case XK_Delete: case XK_Control_R:
    case XK_Alt_R: case XK_ISO_Level3_Shift: case XK_KP_Enter: case XK_KP_Divide:
    case XK_Num_Lock: case XK_Super_L: case XK_Super_R: case XK_Menu: case XK_Print:
      return true;
    default:
      return false;
  }
}

char32_t CodePointOfKeysym(std::uint32_t ks) {
  switch (ks) {
    case XK_BackSpace: return 8;
    case XK_Tab:
    case XK_ISO_Left_Tab: return 9;
    case XK_Return:
    case XK_KP_Enter: return 13;
    case XK_Escape: return 27;
    case XK_KP_Space: return ' ';
    case XK_KP_Multiply: return '*';
    case XK_KP_Add: return '+';
    case XK_KP_Subtract: return '-';
    case XK_KP_Decimal: return '.';
    case XK_KP_Divide: return '/';
    case XK_KP_Separator: return ',';
    case XK_KP_Equal: return '=';
    default: break;
  }
  if (ks >= XK_KP_0 && ks <= XK_KP_9) return '0' + (ks - XK_KP_0);
  if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF)) return ks;  // Latin-1
  if ((ks & 0xFF000000u) == 0x01000000u) {
    const char32_t cp = ks & 0x00FFFFFFu;
    return cp <= 0x10FFFF ? cp : 0;
  }
  if (ks == XK_EuroSign) return 0x20AC;
  return 0;
}

}  // namespace Tavex::Platform

#include "tavex/Native.h"

namespace Tavex::Native {
UINT VirtualKeyFromKeysym(std::uint32_t keysym) { return Platform::VirtualKeyOfKeysym(keysym); }
std::uint32_t KeysymFromVirtualKey(UINT vk) { return Platform::KeysymOfVirtualKey(vk); }
}  // namespace Tavex::Native
