// Resource identifiers of Inkslip, one range and prefix per kind:
//   IDI_  icons            101, 115-123
//   IDR_  menus, accelerators 102, 109, 118
//   IDD_  dialogs          108, 110, 120
//   IDC_  dialog controls  1004-1033 (numbers are shared between dialogs)
//   IDM_  commands         40001-40019
#pragma once

// Icons
#define IDI_TRAY 101
#define IDI_PEN 115
#define IDI_ERASER 116
#define IDI_FILL 117
#define IDI_BOX 121
#define IDI_ELLIPSE 122
#define IDI_TEXT 123

// Menus and accelerators
#define IDR_TRAY_MENU 102
#define IDR_PAPER_MENU 109
#define IDR_ACCELERATORS 118

// Dialogs
#define IDD_TOOL_PALETTE 108
#define IDD_SIZE 110
#define IDD_OPTIONS 120

// Tool palette (dialog 108)
#define IDC_PALETTE_PEN_SIZE 1004
#define IDC_PALETTE_ERASE_SIZE 1005
#define IDC_PALETTE_PEN 1009
#define IDC_PALETTE_ERASER 1010
#define IDC_PALETTE_FILL 1011
#define IDC_PALETTE_RED 1012
#define IDC_PALETTE_GREEN 1013
#define IDC_PALETTE_BLUE 1014
#define IDC_PALETTE_BOX 1015
#define IDC_PALETTE_ELLIPSE 1016
#define IDC_PALETTE_TEXT 1017
#define IDC_PALETTE_SWATCH 1018

// Size dialog (dialog 110)
#define IDC_SIZE_WIDTH 1013
#define IDC_SIZE_HEIGHT 1014

// Options dialog (dialog 120)
#define IDC_OPTIONS_DEL_WARNING 1019
#define IDC_OPTIONS_DEFAULT_SIZE_X 1020
#define IDC_OPTIONS_DEFAULT_SIZE_Y 1021
#define IDC_OPTIONS_DATA_FOLDER 1022
#define IDC_OPTIONS_OUTPUT_FOLDER 1023
#define IDC_OPTIONS_BROWSE_DATA_FOLDER 1024
#define IDC_OPTIONS_BROWSE_OUTPUT_FOLDER 1025
#define IDC_OPTIONS_HOTKEY_NEW 1026
#define IDC_OPTIONS_USE_HOTKEY 1027
#define IDC_OPTIONS_HOTKEY_HIDE 1028
#define IDC_OPTIONS_NO_SIZING 1032
#define IDC_OPTIONS_BG_SWATCH 1033

// Commands: tray menu and accelerator (main window)
#define IDM_EXIT 40001
#define IDM_VERSION 40002
#define IDM_NEW_PAPER 40004
#define IDM_HIDE_ALL 40006
#define IDM_SHOW_TOOL_PALETTE 40007
#define IDM_TOPMOST 40012
#define IDM_NEW_FROM_BMP 40017
#define IDM_UNDO 40018
#define IDM_OPTIONS 40019

// Commands: a note's popup menu
#define IDM_PEEL_OFF 40013
#define IDM_LOCK 40014
#define IDM_SAVE_AS 40015
#define IDM_RESIZE 40016
