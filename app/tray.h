// The notification-area icon and the tray menu.
#pragma once

#include <windows.h>

// Adds the icon (id 1, callback WM_USER, tip "Inkslip"); the result is not
// examined: without a taskbar there is no icon until "TaskbarCreated".
void AddTrayIcon(HWND mainWindow);
void RemoveTrayIcon();
// A mouse message from the icon (in lParam of WM_USER).
void OnTrayNotify(HWND mainWindow, LPARAM lParam);
// Opens the tray menu at the cursor; the choice arrives as WM_COMMAND.
void ShowTrayMenu(HWND mainWindow);

// The registered "TaskbarCreated" message.
UINT TaskbarCreatedMessage();
