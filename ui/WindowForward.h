// Bringing one of the plug-in's windows forward when it is asked for again: hidden (Esc or Enter
// in a host that runs IsDialogMessage), minimised, or behind other windows, it comes back in front,
// ready to be used.
#ifndef WINDOWFORWARD_H
#define WINDOWFORWARD_H

#include <afxwin.h>

inline void BringWindowForward(CWnd& window, bool isActive = false)
{
    if (!window.IsWindowVisible())
        window.ShowWindow(SW_SHOW);
    if (window.IsIconic())
        window.ShowWindow(SW_RESTORE);
    if (!isActive)
        window.SetActiveWindow();
}

#endif
