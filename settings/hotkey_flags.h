// The two global hot keys: their ids, the rule for registering one stored
// pair, and the one conversion between the modifier bits of RegisterHotKey
// (MOD_) and those of the hot key control (HOTKEYF_).
#pragma once

#include <windows.h>
#include <commctrl.h>

// Ids of the hot keys registered for the main window. The pair of each is
// stored at index id - HK_NEW of the settings' HotkeyModifiers and
// HotkeyVirtualKeys.
constexpr int HK_NEW = 1;   // new note
constexpr int HK_HIDE = 2;  // hide all / show all

// Registers one pair for `window`. A pair without a key stands for "no hot
// key": nothing is registered and that counts as success. Registering two
// empty pairs would otherwise clash with each other.
inline bool RegisterHotkeyPair(HWND window, int id, UINT modifiers, UINT virtualKey) {
    if (virtualKey == 0) return true;
    return RegisterHotKey(window, id, modifiers, virtualKey) != FALSE;
}

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
