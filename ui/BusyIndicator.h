// "Please wait..." in the list title and the wait cursor while a command that can take long runs,
// both put back on every way out of it, early returns included.
#ifndef BUSYINDICATOR_H
#define BUSYINDICATOR_H

#include <afxwin.h>

class CBusyIndicator
{
public:
    explicit CBusyIndicator(CWnd& title)
        : m_title(title), m_hPrevious(NULL), m_bActive(false)
    {
        if (s_pOutermost != NULL)
            return;
        ::GetWindowText(m_title.m_hWnd, m_szAfter, sizeof m_szAfter);
        m_bActive = true;
        s_pOutermost = this;
        m_title.SetWindowText(s_szPleaseWait);
        m_hPrevious = ::SetCursor(WaitCursor());
    }
    ~CBusyIndicator() { End(); }

    // For a command that sets a title of its own: shown when the wait ends, instead of the one
    // the wait began on. Inside another command's wait it is that command's title afterwards.
    void SetTitleAfter(LPCTSTR text)
    {
        if (m_bActive)
            lstrcpyn(m_szAfter, text, sizeof m_szAfter);
        else if (s_pOutermost != NULL)
            s_pOutermost->SetTitleAfter(text);
    }

    // Ends the wait before the scope does: a message box must not open under a title that asks
    // the user to wait. Inside another command's wait, that one ends it.
    void End()
    {
        if (!m_bActive)
            return;
        m_bActive = false;
        s_pOutermost = NULL;
        m_title.SetWindowText(m_szAfter);
        ::SetCursor(m_hPrevious);
    }

private:
    CBusyIndicator(const CBusyIndicator&);
    CBusyIndicator& operator=(const CBusyIndicator&);

    // Loaded once: a system cursor is shared and never freed, and loading it again at every
    // command would cost as much as a paint of many faces.
    static HCURSOR WaitCursor()
    {
        if (s_hWait == NULL)
            s_hWait = ::LoadCursor(NULL, IDC_WAIT);
        return s_hWait;
    }

    static constexpr const char* s_szPleaseWait = "Please wait...";
    static inline HCURSOR s_hWait = NULL;
    // A command called from another (a load from a selection change) leaves the title and the
    // cursor to the outer one, so that they change once each way.
    static inline CBusyIndicator* s_pOutermost = NULL;

    CWnd& m_title;
    // The titles are the window's own short texts; a buffer of its own keeps the wait from
    // allocating, so that a command that runs out of memory never fails at its start.
    char m_szAfter[64];
    HCURSOR m_hPrevious;
    bool m_bActive;
};

#endif
