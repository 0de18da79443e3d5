// "Follow Modelvane": while on and the tool window is shown, a timer looks at the host about three
// times a second and the face list follows it: another polyhedron selected (or the same with
// another face count) is loaded as "Faces | matIDs" loads it; otherwise every entry whose face now
// reads another index shows it. A tick only reads the host. Off by default; the choice is kept in
// a settings file of its own.
#ifndef FOLLOWCOMMANDS_H
#define FOLLOWCOMMANDS_H

#include <afxwin.h>

#include "settings/TextFileStream.h"
#include "ui/resource.h"
#include "ui/FaceListView.h"

class CFollowCommands
{
public:
    static const UINT_PTR TIMER_ID = ZVK_FOLLOW_TIMER;
    static const UINT PERIOD_MS = 333;

    explicit CFollowCommands(CFaceListView& view) : m_view(view) {}

    // The choice as the settings file has it; the timer on the window started when it is on.
    void Start(CWnd& window);
    // The menu item and Ctrl+F: on becomes off and off on, and the file keeps it.
    void Toggle(CWnd& window);
    bool IsOn() const { return m_bOn; }
    // The item checked while following is on; it is never greyed.
    void FitMenu(CMenu* pPopup) const;

    // Whether a tick may look now: the window shown (not hidden, not minimised), nothing of the
    // plug-in's open (a command, a menu, a message box: the tick would come inside its message),
    // and Modelvane showing no modal window of its own (its main window disabled).
    static bool MayLookNow(CWnd& window);
    // One look at the host; true when the list changed, so that the materials panel follows.
    bool Tick();

private:
    void SetTimer(CWnd& window) const;

    CFaceListView& m_view;
    CTextFileStream m_file;
    bool m_bOn = false;
};

#endif
