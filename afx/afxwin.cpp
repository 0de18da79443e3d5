#include "afxwin.h"
#include <cstdio>
#include <map>
#include <memory>
#include <new>

/////////////////////////////////////////////////////////////////////////////
// Module state: the process's (resources from the executable) and this library's.

namespace {

AFX_MODULE_STATE g_processModuleState = { GetModuleHandle(NULL), NULL, NULL, FALSE };
AFX_MODULE_STATE g_staticModuleState = { NULL, NULL, NULL, FALSE };

// Made on first use: another module's static initialisation may ask for the state first.
CThreadPointer<AFX_MODULE_STATE>& ThreadModuleState()
{
    static CThreadPointer<AFX_MODULE_STATE> s_state;
    return s_state;
}

} // namespace

CThreadPointer<CDialog>& AfxDialogBeingCreated()
{
    static CThreadPointer<CDialog> s_pDialog;
    return s_pDialog;
}

BOOL AfxThreadStorageAvailable()
{
    return ThreadModuleState().HasSlot() && AfxDialogBeingCreated().HasSlot();
}

AFX_MODULE_STATE* AfxGetModuleState()
{
    AFX_MODULE_STATE* pState = ThreadModuleState().Get();
    return pState ? pState : &g_processModuleState;
}

AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    return &g_staticModuleState;
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* pNewState)
{
    AFX_MODULE_STATE* pPrevState = AfxGetModuleState();
    ThreadModuleState().Set(pNewState);
    return pPrevState;
}

HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }

/////////////////////////////////////////////////////////////////////////////
// Application object

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(lpszAppName), m_pszExeName(NULL), m_hInstance(NULL)
{
    g_staticModuleState.m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    if (g_staticModuleState.m_pCurrentWinApp == this)
        g_staticModuleState.m_pCurrentWinApp = NULL;
}

// Fills the library's own state, which the thread may not have been able to switch to (no TLS
// slot): the library must load all the same, to refuse its window with a message.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPTSTR, int)
{
    AFX_MODULE_STATE* pModuleState = AfxGetStaticModuleState();
    pModuleState->m_hCurrentResourceHandle = hInstance;

    CWinApp* pApp = pModuleState->m_pCurrentWinApp;
    if (pApp == NULL)
        return FALSE;
    pApp->m_hInstance = hInstance;

    // Without a name of its own, the application is called after its module file.
    char szPath[MAX_PATH];
    DWORD nLength = GetModuleFileName(hInstance, szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return FALSE;
    const char* pszName = szPath;
    for (const char* p = szPath; *p; ++p)
        if (*p == '\\' || *p == '/')
            pszName = p + 1;
    pApp->m_strExeName = pszName;
    int nDot = -1;
    for (int i = 0; pszName[i]; ++i)
        if (pszName[i] == '.')
            nDot = i;
    if (nDot >= 0)
        pApp->m_strExeName.GetBufferSetLength(nDot);
    pApp->m_pszExeName = pApp->m_strExeName;
    if (pApp->m_pszAppName == NULL)
        pApp->m_pszAppName = pApp->m_pszExeName;
    pModuleState->m_lpszCurrentAppName = pApp->m_pszAppName;
    return TRUE;
}

void AfxWinTerm()
{
    AfxLockTempMaps();
    AfxUnlockTempMaps();
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    LPCTSTR lpszCaption = AfxGetModuleState()->m_lpszCurrentAppName;
    return ::MessageBox(::GetActiveWindow(), lpszText, lpszCaption, nType);
}

/////////////////////////////////////////////////////////////////////////////
// Handle map: permanent objects the library attached, temporary ones made on demand.

namespace {

typedef std::map<HWND, CWnd*> HandleMap;
HandleMap g_permanentMap;
// Temporary objects come from a pool first: a message needs a few (a dialog's buttons), and taking
// each from the heap would let a handler fail at its first button. The rest go to the map.
const int TEMPORARY_POOL_SIZE = 16;
CWnd g_temporaryPool[TEMPORARY_POOL_SIZE];
int g_nTemporaryPoolUsed = 0;
HandleMap g_temporaryMap;
int g_nTempMapLock = 0;

// The temporary object of a handle (a window's, a menu's), made on first use. It is given its
// handle only once it has its entry: an allocation that fails leaves no entry without an object,
// and no object that would destroy what it names.
template <class Object, class Handle>
Object* TemporaryObject(std::map<Handle, Object*>& map, Handle handle, Handle Object::*member)
{
    typename std::map<Handle, Object*>::iterator it = map.lower_bound(handle);
    if (it != map.end() && it->first == handle)
        return it->second;
    std::unique_ptr<Object> pTemp(new Object);
    map.insert(it, std::make_pair(handle, pTemp.get()));
    pTemp.get()->*member = handle;
    return pTemp.release();
}

// Every temporary object goes, its handle taken away first so that it destroys nothing.
template <class Object, class Handle>
void DeleteTemporaryObjects(std::map<Handle, Object*>& map, Handle Object::*member)
{
    while (!map.empty())
    {
        Object* pTemp = map.begin()->second;
        map.erase(map.begin());
        pTemp->*member = NULL;
        delete pTemp;
    }
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Ways in from outside

namespace {

const char s_szOutOfMemory[] = "Not enough memory: the command was not finished.";
int g_nEntryDepth = 0;
bool g_bOutOfMemory = false;   // a command ran out of memory; the outermost way in tells the user

} // namespace

int AfxEntryDepth()
{
    return g_nEntryDepth;
}

CAfxEntry::CAfxEntry()
{
    ++g_nEntryDepth;
    AfxLockTempMaps();
}

// The box opens while this way in still counts, so that a failure in a message that comes during
// the box waits for it to close.
CAfxEntry::~CAfxEntry()
{
    while (g_nEntryDepth == 1 && g_bOutOfMemory)
    {
        g_bOutOfMemory = false;
        AfxMessageBox(s_szOutOfMemory, MB_ICONINFORMATION);
    }
    AfxUnlockTempMaps();
    --g_nEntryDepth;
}

void CAfxEntry::Caught(LPCTSTR lpszWhere)
{
    const char* pszWhat = "an exception";
    try
    {
        throw;
    }
    catch (const std::bad_alloc&)
    {
        g_bOutOfMemory = true;
        pszWhat = "an allocation failure";
    }
    catch (...)
    {
    }
    char szTrace[96];
    snprintf(szTrace, sizeof szTrace, "%s: %s ended the command\n", lpszWhere, pszWhat);
    ::OutputDebugString(szTrace);
}

/////////////////////////////////////////////////////////////////////////////
// Temporary objects

void AfxLockTempMaps()
{
    ++g_nTempMapLock;
}

static void DeleteTemporaryMenus();

void AfxUnlockTempMaps()
{
    if (--g_nTempMapLock > 0)
        return;
    g_nTempMapLock = 0;
    for (int i = 0; i < g_nTemporaryPoolUsed; ++i)
        g_temporaryPool[i].m_hWnd = NULL;
    g_nTemporaryPoolUsed = 0;
    DeleteTemporaryObjects(g_temporaryMap, &CWnd::m_hWnd);
    DeleteTemporaryMenus();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    HandleMap::iterator it = g_permanentMap.find(hWnd);
    return it == g_permanentMap.end() ? NULL : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    for (int i = 0; i < g_nTemporaryPoolUsed; ++i)
        if (g_temporaryPool[i].m_hWnd == hWnd)
            return &g_temporaryPool[i];
    if (g_nTemporaryPoolUsed < TEMPORARY_POOL_SIZE)
    {
        CWnd* pTemp = &g_temporaryPool[g_nTemporaryPoolUsed++];
        pTemp->m_hWnd = hWnd;
        return pTemp;
    }
    return TemporaryObject(g_temporaryMap, hWnd, &CWnd::m_hWnd);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL || FromHandlePermanent(hWndNew) != NULL)
        return FALSE;
    g_permanentMap[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL)
    {
        HandleMap::iterator it = g_permanentMap.find(hWnd);
        if (it != g_permanentMap.end() && it->second == this)
            g_permanentMap.erase(it);
    }
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    try
    {
        PreSubclassWindow();
    }
    catch (...)
    {
        Detach();
        throw;
    }
    m_pfnSuper = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    return TRUE;
}

CWnd::~CWnd()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
    {
        // The window outlives its object: give it back its own procedure before it goes.
        if (m_pfnSuper != NULL)
            ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        ::DestroyWindow(Detach());
    }
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != NULL && ::DestroyWindow(m_hWnd);
}

/////////////////////////////////////////////////////////////////////////////
// Message dispatch

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY _messageEntries[] = { { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } };
    static const AFX_MSGMAP messageMap = { NULL, &_messageEntries[0] };
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            if (pEntry->nMessage == nMessage && pEntry->nCode == nCode
                && nID >= pEntry->nID && nID <= pEntry->nLastID)
                return pEntry;
        }
    }
    return NULL;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (pEntry == NULL)
        return FALSE;
    (this->*pEntry->pfn)();
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    *pResult = 0;
    switch (message)
    {
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_DRAWITEM:
        if (CWnd* pChild = FromHandlePermanent(((LPDRAWITEMSTRUCT)lParam)->hwndItem))
            return pChild->OnChildNotify(message, wParam, lParam, pResult);
        return FALSE;
    case WM_MEASUREITEM:
        if (CWnd* pChild = FromHandlePermanent(::GetDlgItem(m_hWnd, ((LPMEASUREITEMSTRUCT)lParam)->CtlID)))
            return pChild->OnChildNotify(message, wParam, lParam, pResult);
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(message, 0, 0);
    if (pEntry == NULL)
        return FALSE;
    switch (pEntry->nSig)
    {
    case AfxSig_vWp:
        (this->*AfxMsgCast<void (CWnd::*)(CWnd*, CPoint)>(pEntry->pfn))(
            FromHandle((HWND)wParam), CPoint((DWORD)lParam));
        break;
    case AfxSig_lwl:
        *pResult = (this->*AfxMsgCast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pEntry->pfn))(wParam, lParam);
        break;
    default:
        (this->*pEntry->pfn)();
        break;
    }
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

void CWnd::OnNcDestroy()
{
    if (m_pfnSuper != NULL)
    {
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        m_pfnSuper = NULL;
    }
    Detach();
    PostNcDestroy();
}

// The procedure of every window this library subclasses. Nothing thrown may reach Windows.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CAfxEntry entry;
    LRESULT lResult = 0;
    try
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd == NULL)
            lResult = ::DefWindowProc(hWnd, nMsg, wParam, lParam);
        else if (nMsg == WM_NCDESTROY)
        {
            lResult = ::CallWindowProc(pWnd->m_pfnSuper, hWnd, nMsg, wParam, lParam);
            pWnd->OnNcDestroy();
        }
        else
            lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    }
    catch (...)
    {
        entry.Caught("AfxWndProc");
        lResult = 0;
    }
    return lResult;
}

/////////////////////////////////////////////////////////////////////////////
// List box

void CListBox::GetText(int nIndex, CString& rString) const
{
    int nLength = GetTextLen(nIndex);
    if (nLength == LB_ERR)
    {
        rString.Empty();
        return;
    }
    GetText(nIndex, rString.GetBufferSetLength(nLength));
    rString.ReleaseBuffer();
}

// An owner-draw fixed list box asks for its item height while it is being created, before any
// object is attached to it; measure again now that MeasureItem can answer.
void CListBox::PreSubclassWindow()
{
    if ((GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != LBS_OWNERDRAWFIXED)
        return;
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = GetDlgCtrlID();
    mis.itemHeight = GetItemHeight(0);
    MeasureItem(&mis);
    SetItemHeight(0, mis.itemHeight);
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message)
    {
    case WM_DRAWITEM:
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        MeasureItem((LPMEASUREITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

/////////////////////////////////////////////////////////////////////////////
// GDI objects

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == NULL)
        return FALSE;
    DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    HGDIOBJ hObject = m_hObject;
    m_hObject = NULL;
    return ::DeleteObject(hObject);
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpyn(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);

    // Tenths of a point to logical units of the screen (or of the given device).
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(NULL);
    POINT pt = { 0, MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720) };
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = { 0, 0 };
    ::DPtoLP(hDC, &ptOrg, 1);
    logFont.lfHeight = -abs(pt.y - ptOrg.y);
    if (pDC == NULL)
        ::ReleaseDC(NULL, hDC);
    return Attach(::CreateFontIndirect(&logFont));
}

/////////////////////////////////////////////////////////////////////////////
// Menus: temporary objects for handles the library did not load (submenus), freed with the
// temporary windows; they never destroy the menu they wrap.

namespace {

std::map<HMENU, CMenu*> g_temporaryMenus;

} // namespace

static void DeleteTemporaryMenus()
{
    DeleteTemporaryObjects(g_temporaryMenus, &CMenu::m_hMenu);
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == NULL)
        return NULL;
    return TemporaryObject(g_temporaryMenus, hMenu, &CMenu::m_hMenu);
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == NULL || m_hMenu != NULL)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == NULL)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource)));
}
