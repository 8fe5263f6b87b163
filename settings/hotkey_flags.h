// The one conversion between the modifier bits of RegisterHotKey (MOD_) and
// those of the hot key control (HOTKEYF_).
#pragma once

#include <windows.h>
#include <commctrl.h>

// MOD_ALT 1 <-> HOTKEYF_ALT 4, MOD_CONTROL 2 <-> HOTKEYF_CONTROL 2,
// MOD_SHIFT 4 <-> HOTKEYF_SHIFT 1; other bits are dropped.
constexpr UINT ModifiersToHotkeyFlags(UINT modifiers) {
    return ((modifiers & MOD_ALT) ? HOTKEYF_ALT : 0) |
           ((modifiers & MOD_CONTROL) ? HOTKEYF_CONTROL : 0) |
           ((modifiers & MOD_SHIFT) ? HOTKEYF_SHIFT : 0);
}
constexpr UINT HotkeyFlagsToModifiers(UINT flags) {
    return ((flags & HOTKEYF_ALT) ? MOD_ALT : 0) | ((flags & HOTKEYF_CONTROL) ? MOD_CONTROL : 0) |
           ((flags & HOTKEYF_SHIFT) ? MOD_SHIFT : 0);
}
