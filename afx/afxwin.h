// The subset of the platform class library that the plug-in uses, over plain Win32:
// module state, application object, windows with a handle map and message maps,
// dialogs with data exchange, the standard controls and the GDI wrappers.
#ifndef AFXWIN_H
#define AFXWIN_H

#include <windows.h>
#include <string.h>
#include "afxstr.h"

class CCmdTarget;
class CWnd;
class CWinApp;
class CFont;
class CDataExchange;

/////////////////////////////////////////////////////////////////////////////
// Module state

struct AFX_MODULE_STATE
{
    HINSTANCE m_hCurrentResourceHandle;
    CWinApp* m_pCurrentWinApp;
    LPCTSTR m_lpszCurrentAppName;
    // Set while the library unloads because the whole process is ending (not a FreeLibrary): the
    // application then leaves every window alone, for the system takes them down itself.
    BOOL m_bProcessEnding;
};

AFX_MODULE_STATE* AfxGetModuleState();
AFX_MODULE_STATE* AfxGetStaticModuleState();
AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* pNewState);

struct AFX_MAINTAIN_STATE2
{
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pModuleState)
        : m_pPrevModuleState(AfxSetModuleState(pModuleState)) {}
    ~AFX_MAINTAIN_STATE2() { AfxSetModuleState(m_pPrevModuleState); }
    AFX_MODULE_STATE* m_pPrevModuleState;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p);

// A pointer per thread in a TLS slot of its own. The compiler's emulated thread_local allocates
// per thread, and the runtime frees that before DllMain sees the library unload, when closing
// windows still runs their handlers; a slot holds the pointer itself and stays valid.
template <class TYPE>
class CThreadPointer
{
public:
    CThreadPointer() : m_nSlot(::TlsAlloc()) {}
    ~CThreadPointer() { if (m_nSlot != TLS_OUT_OF_INDEXES) ::TlsFree(m_nSlot); }
    bool HasSlot() const { return m_nSlot != TLS_OUT_OF_INDEXES; }
    TYPE* Get() const { return m_nSlot != TLS_OUT_OF_INDEXES ? (TYPE*)::TlsGetValue(m_nSlot) : NULL; }
    void Set(TYPE* pValue) { if (m_nSlot != TLS_OUT_OF_INDEXES) ::TlsSetValue(m_nSlot, pValue); }

private:
    CThreadPointer(const CThreadPointer&);
    CThreadPointer& operator=(const CThreadPointer&);
    DWORD m_nSlot;
};

// The dialog being created on this thread: bound to its window on the window's first message.
class CDialog;
CThreadPointer<CDialog>& AfxDialogBeingCreated();

HINSTANCE AfxGetResourceHandle();
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
void AfxWinTerm();
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// Whether every per-thread pointer has its TLS slot. Without one the library cannot switch to its
// own module state and would run on the host's: the caller refuses to open a window.
BOOL AfxThreadStorageAvailable();

// Temporary CWnd objects (from FromHandle) live until the outermost message returns.
void AfxLockTempMaps();
void AfxUnlockTempMaps();

// Every way into the library's code from outside (a window procedure, an export) is one of these:
// temporary objects live until the outermost one ends, and nothing thrown goes further. A command
// that ran out of memory is told to the user once the outermost way in has unwound, so that the
// box never runs its message loop in the middle of an outer command.
class CAfxEntry
{
public:
    CAfxEntry();
    ~CAfxEntry();
    // Called in a catch (...) block: what ended the command is traced, and an allocation failure
    // noted for the box.
    void Caught(LPCTSTR lpszWhere);

private:
    CAfxEntry(const CAfxEntry&);
    CAfxEntry& operator=(const CAfxEntry&);
};
// How many ways in are open now: 1 inside a message that came straight from outside, more inside
// a message that came during another (a menu's, a message box's or a command's own loop).
int AfxEntryDepth();

/////////////////////////////////////////////////////////////////////////////
// Message maps

typedef void (CCmdTarget::*AFX_PMSG)();

enum AfxSig { AfxSig_end = 0, AfxSig_vv, AfxSigCmd_v, AfxSig_vWp, AfxSig_lwl };

// A handler with arguments travels in an entry's pfn and is turned back into its own type,
// told by nSig, before it is called; both are member-function pointers of one size.
template <class To, class From>
inline To AfxMsgCast(From pfn)
{
    static_assert(sizeof(To) == sizeof(From), "member-function pointers differ in size");
    To to;
    memcpy(&to, &pfn, sizeof to);
    return to;
}

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT_PTR nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

// void OnXxx()
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, (WORD)(id), (WORD)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn) },
// void OnXxx()
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    { WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn) },
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
// void OnClose()
#define ON_WM_CLOSE() \
    { WM_CLOSE, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(static_cast<void (CWnd::*)()>(&ThisClass::OnClose)) },
// void OnDestroy()
#define ON_WM_DESTROY() \
    { WM_DESTROY, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(static_cast<void (CWnd::*)()>(&ThisClass::OnDestroy)) },
// void OnContextMenu(CWnd* pWnd, CPoint pos)
#define ON_WM_CONTEXTMENU() \
    { WM_CONTEXTMENU, 0, 0, 0, AfxSig_vWp, \
      AfxMsgCast<AFX_PMSG>(static_cast<void (CWnd::*)(CWnd*, CPoint)>(&ThisClass::OnContextMenu)) },
// LRESULT OnXxx(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(message, memberFxn) \
    { message, 0, 0, 0, AfxSig_lwl, AfxMsgCast<AFX_PMSG>(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(memberFxn)) },

/////////////////////////////////////////////////////////////////////////////
// Command targets and the application object

class CObject
{
public:
    virtual ~CObject() {}
};

class CCmdTarget : public CObject
{
protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

class CWinThread : public CCmdTarget
{
public:
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
};

class CWinApp : public CWinThread
{
public:
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    virtual ~CWinApp();

    LPCTSTR m_pszAppName;
    LPCTSTR m_pszExeName;
    HINSTANCE m_hInstance;

private:
    friend BOOL AfxWinInit(HINSTANCE, HINSTANCE, LPTSTR, int);
    CString m_strExeName;
};

/////////////////////////////////////////////////////////////////////////////
// Simple value types

class CPoint : public tagPOINT
{
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    // Signed 16-bit halves, as a mouse message packs them.
    explicit CPoint(DWORD dwPoint) { x = (short)LOWORD(dwPoint); y = (short)HIWORD(dwPoint); }
};

/////////////////////////////////////////////////////////////////////////////
// GDI objects and device contexts

class CGdiObject : public CObject
{
public:
    CGdiObject() : m_hObject(NULL) {}
    virtual ~CGdiObject() { DeleteObject(); }
    BOOL Attach(HGDIOBJ hObject);
    BOOL DeleteObject();

    HGDIOBJ m_hObject;
};

class CFont : public CGdiObject
{
public:
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, class CDC* pDC = NULL);
    operator HFONT() const { return (HFONT)m_hObject; }
};

class CBrush : public CGdiObject
{
public:
    CBrush() {}
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
};

class CDC : public CObject
{
public:
    CDC() : m_hDC(NULL) {}
    BOOL Attach(HDC hDC) { m_hDC = hDC; return hDC != NULL; }
    HDC Detach() { HDC hDC = m_hDC; m_hDC = NULL; return hDC; }
    operator HDC() const { return m_hDC; }

    void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
    // Through a brush of its own: the background colour stays as it is.
    void FillSolidRect(LPCRECT lpRect, COLORREF clr) { CBrush brush(clr); FillRect(lpRect, &brush); }
    void FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
    void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
        { return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    HDC m_hDC;
};

/////////////////////////////////////////////////////////////////////////////
// Windows

class CWnd : public CCmdTarget
{
public:
    CWnd() : m_hWnd(NULL), m_pfnSuper(NULL) {}
    virtual ~CWnd();

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

// Handle map
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);

// Operations
    virtual BOOL DestroyWindow();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
        { return ::SendMessage(m_hWnd, message, wParam, lParam); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLong(m_hWnd, GWL_STYLE); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
    void SetWindowText(LPCTSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE)
        { ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)(pFont ? pFont->m_hObject : NULL), bRedraw); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, HRGN hrgnUpdate = NULL,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
        { return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    BOOL OpenClipboard() { return ::OpenClipboard(m_hWnd); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
        { return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : NULL, x, y, cx, cy, nFlags); }

// Data exchange
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

// Message handling
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void OnClose() {}
    void OnDestroy() {}
    void OnContextMenu(CWnd* pWnd, CPoint pos) {}

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void OnNcDestroy();

    WNDPROC m_pfnSuper;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

class CDialog : public CWnd
{
public:
    CDialog() : m_nIDTemplate(0), m_pParentWnd(NULL) {}
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

protected:
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

/////////////////////////////////////////////////////////////////////////////
// Controls

class CStatic : public CWnd
{
};

class CButton : public CWnd
{
public:
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
};

class CListBox : public CWnd
{
public:
// Attributes
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
    int SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, nSelect); }
    int SetSel(int nIndex, BOOL bSelect = TRUE) { return (int)SendMessage(LB_SETSEL, bSelect, nIndex); }
    int GetSelCount() const { return (int)SendMessage(LB_GETSELCOUNT); }
    int GetSelItems(int nMaxItems, LPINT rgIndex) const
        { return (int)SendMessage(LB_GETSELITEMS, nMaxItems, (LPARAM)rgIndex); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
        { return (int)SendMessage(LB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
    int GetText(int nIndex, LPTSTR lpszBuffer) const
        { return (int)SendMessage(LB_GETTEXT, nIndex, (LPARAM)lpszBuffer); }
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, nIndex); }
    int GetItemHeight(int nIndex) const { return (int)SendMessage(LB_GETITEMHEIGHT, nIndex); }
    int SetItemHeight(int nIndex, UINT cyItemHeight)
        { return (int)SendMessage(LB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0)); }
    int InitStorage(int nItems, UINT nBytes) { return (int)SendMessage(LB_INITSTORAGE, nItems, nBytes); }
    int SetTopIndex(int nIndex) { return (int)SendMessage(LB_SETTOPINDEX, nIndex); }
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) { return (int)SendMessage(LB_SETCARETINDEX, nIndex, MAKELONG(bScroll, 0)); }
    void SetAnchorIndex(int nIndex) { SendMessage(LB_SETANCHORINDEX, nIndex); }
    int GetItemRect(int nIndex, LPRECT lpRect) const { return (int)SendMessage(LB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const
    {
        DWORD dw = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
        bOutside = HIWORD(dw) != 0;
        return LOWORD(dw);
    }

// Operations
    int AddString(LPCTSTR lpszItem) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)lpszItem); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }

// Overridables
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {}

protected:
    virtual void PreSubclassWindow();
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};

/////////////////////////////////////////////////////////////////////////////
// Menus

class CMenu : public CObject
{
public:
    CMenu() : m_hMenu(NULL) {}
    virtual ~CMenu() { DestroyMenu(); }

    HMENU m_hMenu;

    static CMenu* FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL DestroyMenu();
    BOOL LoadMenu(UINT nIDResource);

    CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
        { return (UINT)::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL)
        { return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = NULL)
        { return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect); }
};

/////////////////////////////////////////////////////////////////////////////
// Data exchange

class CUserException
{
};

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_idLastControl(0), m_bEditLastControl(FALSE) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    void Fail();

    UINT m_idLastControl;
    BOOL m_bEditLastControl;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);

#endif
