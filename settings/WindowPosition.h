// Where the plug-in's windows may open: on a monitor, or else where the tool window opens without
// a stored position; and where its settings files lie.
#ifndef WINDOWPOSITION_H
#define WINDOWPOSITION_H

#include <windows.h>

#include <string>

const POINT DEFAULT_WINDOW_POSITION = { 100, 100 };

// True when the window's outer rectangle, moved to (left, top), shares at least one pixel with a
// monitor.
bool IntersectsAMonitor(HWND window, int left, int top);

// The path of one of the plug-in's settings files, in the folder zv\zvk\zVkQuarvelind under the
// host's directory; empty when the host reports no directory (no open accepts it). An empty
// directory is none too: the path would name a folder at the root of the current drive.
std::string SettingsFilePath(const char* fileName);

#endif
