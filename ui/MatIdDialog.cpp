// The tool window's frame: data exchange, message map, opening and closing.
#include "ui/MatIdDialog.h"

#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "settings/WindowPosition.h"

CMatIdDialog::CMatIdDialog(CWnd* pParent)
    : CDialog(CMatIdDialog::IDD, pParent)
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
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_SELECT_MATERIAL, &CMatIdDialog::OnSelectMaterial)
    ON_COMMAND(ID_SELECT_PAINTED, &CMatIdDialog::OnSelectPainted)
    ON_COMMAND(ID_SELECT_TO_DO, &CMatIdDialog::OnSelectToDo)
    ON_COMMAND(ID_COPY_LIST, &CMatIdDialog::OnCopyList)
    ON_COMMAND(ID_COPY_SELECTED, &CMatIdDialog::OnCopySelected)
    // The materials panel
    ON_COMMAND(ID_MATERIALS, &CMatIdDialog::OnMaterials)
    // Undo and redo
    ON_COMMAND(ID_UNDO_PAINT, &CMatIdDialog::OnUndoPaint)
    ON_COMMAND(ID_REDO_PAINT, &CMatIdDialog::OnRedoPaint)
    // The face list's Ctrl+letter keys
    ON_MESSAGE(WM_LIST_CTRL_KEY, &CMatIdDialog::OnListCtrlKey)
END_MESSAGE_MAP()

// The Ctrl+letter keys the face list hands to the window, each giving a command as its menu item
// does; a command with nothing to act on then does nothing, as its greyed item would. A key is
// taken whatever state its command is in, so that the list never acts on it.
static const struct
{
    UINT vk;
    bool shift;
    UINT command;
} s_listKeys[] = {
    { 'Z', false, ID_UNDO_PAINT },
    { 'Y', false, ID_REDO_PAINT },
    { 'Z', true, ID_REDO_PAINT },
    { 'M', false, ID_MATERIALS },
};

LRESULT CMatIdDialog::OnListCtrlKey(WPARAM vk, LPARAM shift)
{
    for (const auto& key : s_listKeys)
        if (key.vk == vk && key.shift == (shift != 0))
        {
            SendMessage(WM_COMMAND, key.command);
            return TRUE;
        }
    return FALSE;
}

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
