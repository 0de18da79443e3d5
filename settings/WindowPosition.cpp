#include "settings/WindowPosition.h"

#include <climits>

#include "host/zvkapi.h"

// The sums are taken wide and clamped, so no stored number can overflow them.
bool IntersectsAMonitor(HWND window, int left, int top)
{
    RECT now;
    ::GetWindowRect(window, &now);
    const long long width = static_cast<long long>(now.right) - now.left;
    const long long height = static_cast<long long>(now.bottom) - now.top;
    const long long right = left + (width > 0 ? width : 1);
    const long long bottom = top + (height > 0 ? height : 1);
    RECT there;
    there.left = left;
    there.top = top;
    there.right = static_cast<LONG>(right < LONG_MAX ? right : LONG_MAX);
    there.bottom = static_cast<LONG>(bottom < LONG_MAX ? bottom : LONG_MAX);
    return ::MonitorFromRect(&there, MONITOR_DEFAULTTONULL) != NULL;
}

std::string SettingsFilePath(const char* fileName)
{
    const char* directory = zvkGetZVDir(0);
    if (directory == NULL || directory[0] == '\0')
        return std::string();
    return std::string(directory) + "\\zv\\zvk\\zVkQuarvelind\\" + fileName;
}
