// Keys a list box of the plug-in acts on itself, so that they work whether or not the host's
// message loop runs IsDialogMessage.
#ifndef LISTKEYS_H
#define LISTKEYS_H

#include <windows.h>

// Some platforms turn a release of the context-menu key into WM_CONTEXTMENU in their default
// handling and some (Wine) do not. The list asks for the menu itself only when no request went
// through it while the key was pressed and released, so it never opens twice.
class CContextMenuKey
{
public:
    // Every message, before the list's own handling.
    void Before(UINT message, WPARAM wParam)
    {
        if (message == WM_CONTEXTMENU)
            m_bAsked = true;
        else if (message == WM_KEYDOWN && wParam == VK_APPS)
            m_bAsked = false;
    }
    // Every message, after it, with the list's handle as it is then (NULL once the list is gone).
    void After(HWND hWnd, UINT message, WPARAM wParam)
    {
        if (message == WM_KEYUP && wParam == VK_APPS && !m_bAsked && hWnd != NULL)
            ::SendMessage(hWnd, WM_CONTEXTMENU, (WPARAM)hWnd, MAKELPARAM(-1, -1));
    }

private:
    bool m_bAsked = false;
};

// Esc in a list closes its window, as IsDialogMessage turns it into the window's IDCANCEL. With
// IsDialogMessage the key never reaches the list, so it acts once either way. True when the key
// was taken: the list may be gone then, and nothing of it may be touched.
inline bool EscapeClosesParent(HWND hWndList, UINT message, WPARAM wParam)
{
    if (message != WM_KEYDOWN || wParam != VK_ESCAPE)
        return false;
    ::SendMessage(::GetParent(hWndList), WM_COMMAND, IDCANCEL, (LPARAM)hWndList);
    return true;
}

#endif
