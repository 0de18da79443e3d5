// The tool window's frame: data exchange, message map, opening and closing, and where it opens.
#include "ui/MatIdDialog.h"

#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "settings/PositionFile.h"
#include "settings/WindowPosition.h"

CMatIdDialog::CMatIdDialog(CWnd* pParent)
    : CDialog(CMatIdDialog::IDD, pParent),
      m_view(m_faceList, m_listTitle, m_list, *this),
      m_listCommands(m_view),
      m_undoCommands(m_view),
      m_panelCommands(m_view, m_listCommands),
      m_followCommands(m_view)
{
    m_strItemText = "";
    m_bCopyMaterial = 0;
    m_bPaintRandom = 0;
    m_bPaintInvisible = 0;
    m_strObjectName = "";
}

void CMatIdDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ITEM_TEXT, m_strItemText);
    DDV_MaxChars(pDX, m_strItemText, 15);
    DDX_Control(pDX, IDC_LIST_TITLE, m_listTitle);
    DDX_Control(pDX, IDC_FACE_LIST, m_faceList);
    DDX_Control(pDX, IDC_PAINT_OPTIONS, m_paintOptions);
    DDX_Control(pDX, IDC_COPY_MATERIAL, m_btnCopyMaterial);
    DDX_Check(pDX, IDC_COPY_MATERIAL, m_bCopyMaterial);
    DDX_Control(pDX, IDC_PAINT_RANDOM, m_btnPaintRandom);
    DDX_Check(pDX, IDC_PAINT_RANDOM, m_bPaintRandom);
    DDX_Control(pDX, IDC_PAINT_INVISIBLE, m_btnPaintInvisible);
    DDX_Check(pDX, IDC_PAINT_INVISIBLE, m_bPaintInvisible);
    DDX_Text(pDX, IDC_OBJECT_NAME, m_strObjectName);
}

BEGIN_MESSAGE_MAP(CMatIdDialog, CDialog)
    ON_LBN_SELCHANGE(IDC_FACE_LIST, &CMatIdDialog::OnSelchangeFaceList)
    ON_BN_CLICKED(IDC_LOAD_LIST, &CMatIdDialog::OnLoadList)
    ON_BN_CLICKED(IDC_CLEAR_LIST, &CMatIdDialog::OnClearList)
    ON_BN_CLICKED(IDC_COPY_MATERIAL, &CMatIdDialog::OnCopyMaterial)
    ON_BN_CLICKED(IDC_PAINT_RANDOM, &CMatIdDialog::OnPaintRandom)
    ON_BN_CLICKED(IDC_PAINT_INVISIBLE, &CMatIdDialog::OnPaintInvisible)
    ON_BN_CLICKED(IDC_PAINT_FACE, &CMatIdDialog::OnPaintFace)
    ON_BN_CLICKED(IDC_PAINT_SELECTION, &CMatIdDialog::OnPaintSelection)
    ON_BN_CLICKED(IDC_PAINT_ALL, &CMatIdDialog::OnPaintAll)
    ON_BN_CLICKED(IDC_HELP_BUTTON, &CMatIdDialog::OnHelpButton)
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_SPARE_BUTTON, &CMatIdDialog::OnSpareButton)
    ON_LBN_KILLFOCUS(IDC_FACE_LIST, &CMatIdDialog::OnKillfocusFaceList)
    // The face list's menu and its Ctrl+letter keys; their commands arrive through OnCommand.
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_LIST_CTRL_KEY, &CMatIdDialog::OnListCtrlKey)
    // Following Modelvane
    ON_MESSAGE(WM_TIMER, &CMatIdDialog::OnFollowTimer)
END_MESSAGE_MAP()

BOOL CMatIdDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    g_paintHistory.ListReplaced();
    m_bSaveFailed = false;
    if (!LoadPosition())
    {
        m_nLeft = DEFAULT_WINDOW_POSITION.x;
        m_nTop = DEFAULT_WINDOW_POSITION.y;
        SavePosition();
    }
    SetWindowPos(NULL, m_nLeft, m_nTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    m_listFont.CreatePointFont(92, "Arial Black", NULL);
    m_faceList.SetFont(&m_listFont, TRUE);
    m_faceList.ShowModel(&m_list);
    SetDlgItemText(IDC_ITEM_TEXT, "");

    GetDlgItem(IDC_CLEAR_LIST)->EnableWindow(FALSE);
    m_paintOptions.EnableWindow(FALSE);
    m_btnCopyMaterial.EnableWindow(FALSE);
    m_btnPaintRandom.EnableWindow(FALSE);
    m_btnPaintInvisible.EnableWindow(FALSE);
    SetPaintButtons(0, 0);
    GetDlgItem(IDC_PAINT_ALL)->EnableWindow(TRUE);
    GetDlgItem(IDC_HELP_BUTTON)->EnableWindow(TRUE);
    m_followCommands.Start(*this);
    return TRUE;
}

void CMatIdDialog::OnClose()
{
    zvkCurrobjEditToolClose();
    RefreshHost();
    SavePosition();
    DestroyWindow();
}

void CMatIdDialog::PostNcDestroy()
{
    g_pToolDialog = NULL;
    delete this;
}

// Enter in a host that runs IsDialogMessage: ending the dialog would only hide the window.
void CMatIdDialog::OnOK()
{
}

// Esc closes the window as its close button does.
void CMatIdDialog::OnCancel()
{
    SendMessage(WM_CLOSE);
}

void CMatIdDialog::OnSpareButton()
{
    UpdateData(FALSE);
}

void CMatIdDialog::OnKillfocusFaceList()
{
    UpdateData(FALSE);
}

/////////////////////////////////////////////////////////////////////////////
// Where the window opens: the window-position file under the host's directory

std::string CMatIdDialog::GetSettingsPath()
{
    return SettingsFilePath("zVkQuarvelind.ini");
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
