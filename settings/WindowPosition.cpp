// Where the tool window opens: the window-position file under the host's directory.
#include "ui/MatIdDialog.h"

#include "settings/WindowPosition.h"

#include "host/zvkapi.h"
#include "settings/PositionFile.h"

#include <climits>

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

// A host that reports no directory gives an empty path, which no open accepts. An empty
// directory is none too: the path would name a folder at the root of the current drive.
std::string CMatIdDialog::GetSettingsPath()
{
    const char* directory = zvkGetZVDir(0);
    if (directory == NULL || directory[0] == '\0')
        return std::string();
    return std::string(directory) + "\\zv\\zvk\\zVkQuarvelind\\zVkQuarvelind.ini";
}

// Reads the left and top edges. A stored position at which the window would lie outside
// every monitor counts as unreadable, so the caller falls back to (100, 100).
bool CMatIdDialog::LoadPosition()
{
    bool result = ReadPositionFile(m_settingsFile, GetSettingsPath(), m_nLeft, m_nTop);
    if (result && !IntersectsAMonitor(m_hWnd, m_nLeft, m_nTop))
        result = false;
    return result;
}

bool CMatIdDialog::SavePosition()
{
    RECT rect;
    GetWindowRect(&rect);
    if (m_bSaveFailed)
        return false;
    const bool result = m_settingsFile.OpenForWrite(GetSettingsPath());
    if (result)
    {
        m_settingsFile.WriteInt(rect.left, true);
        m_settingsFile.WriteInt(rect.top, true);
    }
    m_settingsFile.CloseWrite();
    if (!result)
        m_bSaveFailed = true;
    return result;
}
