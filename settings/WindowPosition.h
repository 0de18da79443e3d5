// Where the plug-in's windows may open: on a monitor, or else where the tool window opens without
// a stored position.
#ifndef WINDOWPOSITION_H
#define WINDOWPOSITION_H

#include <windows.h>

const POINT DEFAULT_WINDOW_POSITION = { 100, 100 };

// True when the window's outer rectangle, moved to (left, top), shares at least one pixel with a
// monitor.
bool IntersectsAMonitor(HWND window, int left, int top);

#endif
