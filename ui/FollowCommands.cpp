#include "ui/FollowCommands.h"

#include <vector>

#include "host/HostPolyhedron.h"
#include "settings/FollowSetting.h"
#include "settings/WindowPosition.h"
#include "ui/resource.h"

void CFollowCommands::Start(CWnd& window)
{
    m_bOn = ReadFollowSetting(m_file, SettingsFilePath(FOLLOW_SETTING_FILE));
    SetTimer(window);
}

// A file that cannot be written leaves the choice to this window's life.
void CFollowCommands::Toggle(CWnd& window)
{
    m_bOn = !m_bOn;
    WriteFollowSetting(m_file, SettingsFilePath(FOLLOW_SETTING_FILE), m_bOn);
    SetTimer(window);
}

void CFollowCommands::SetTimer(CWnd& window) const
{
    if (m_bOn)
        ::SetTimer(window.m_hWnd, TIMER_ID, PERIOD_MS, NULL);
    else
        ::KillTimer(window.m_hWnd, TIMER_ID);
}

void CFollowCommands::FitMenu(CMenu* pPopup) const
{
    ::CheckMenuItem(pPopup->m_hMenu, ID_FOLLOW_HOST, MF_BYCOMMAND | (m_bOn ? MF_CHECKED : MF_UNCHECKED));
}

bool CFollowCommands::MayLookNow(CWnd& window)
{
    if (!window.IsWindowVisible() || window.IsIconic() || AfxEntryDepth() > 1)
        return false;
    HWND hostView = zvkGetMainViewHwnd();
    HWND hostMain = hostView != NULL ? ::GetAncestor(hostView, GA_ROOT) : NULL;
    return hostMain == NULL || ::IsWindowEnabled(hostMain);
}

// The host is asked, in this order, the selection, its type, its full name, its face count and
// face array; nothing else. Nothing selected, or no polyhedron: the list stays as it is.
bool CFollowCommands::Tick()
{
    ZvkHandle selection = zvkGetCurrentSelection();
    if (!IsPolyhedron(selection))
        return false;
    char szName[ZVK_NAME_BUFFER_SIZE];
    ReadFullName(selection, szName);
    CHostPolyhedron faces(selection);
    CFaceListModel& model = m_view.Model();
    if (!model.IsFrom((std::uintptr_t)selection, szName, faces.FaceCount()))
    {
        m_view.LoadFollowing(selection);
        return true;
    }
    const CHostPolyhedron::Records records = faces.ReadRecords();
    std::vector<int> changed;
    model.ShowIndicesNow(records.ReadableCount(), [&records](int face) { return records.MaterialOfReadable(face); },
                         [&changed](int entry) { changed.push_back(entry); });
    if (changed.empty())
        return false;
    // One repaint of the changed entries in view; their colours, the selection and the scroll stay.
    m_view.RepaintEntries(changed);
    return true;
}
