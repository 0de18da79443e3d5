#include "ui/MaterialsPanel.h"

#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "settings/WindowPosition.h"
#include "ui/ListPositions.h"
#include "ui/WindowForward.h"

static const char s_szTitle[] = "Materials of ";
static const char s_szOutOfDate[] = "List is out of date: reload it";

// Room between the panel and the tool window it first opens beside.
static const int PANEL_GAP = 4;

CMaterialsPanel* CMaterialsPanel::s_pOpen = NULL;

// Where the panel stood when it last closed: it reopens there during the same run (no file).
static bool s_bPlacedBefore = false;
static POINT s_lastPosition = { 0, 0 };

BEGIN_MESSAGE_MAP(CMaterialsPanel, CDialog)
    ON_LBN_DBLCLK(IDC_MATERIALS_LIST, &CMaterialsPanel::OnDblclkRows)
    ON_LBN_SELCHANGE(IDC_MATERIALS_LIST, &CMaterialsPanel::OnSelchangeRows)
    ON_BN_CLICKED(IDC_TO_EDITOR, &CMaterialsPanel::OnToEditor)
    ON_BN_CLICKED(IDC_ASSIGN, &CMaterialsPanel::OnAssign)
    ON_BN_CLICKED(IDC_REPLACE, &CMaterialsPanel::OnReplace)
    ON_WM_CONTEXTMENU()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMaterialsPanel::CMaterialsPanel(CWnd& owner, CPanelCommands& commands)
    : CDialog(IDD, &owner), m_owner(owner), m_commands(commands)
{
}

/////////////////////////////////////////////////////////////////////////////
// The one panel

void CMaterialsPanel::Open(CWnd& owner, CPanelCommands& commands, ZvkHandle listed)
{
    if (s_pOpen != NULL)
    {
        BringWindowForward(*s_pOpen, s_pOpen->m_bActive);
        s_pOpen->Show(listed);
        return;
    }
    s_pOpen = new CMaterialsPanel(owner, commands);
    // A window that cannot be made deletes its object and clears the pointer (PostNcDestroy).
    s_pOpen->Create(IDD_MATERIALS, &owner);
}

void CMaterialsPanel::RefreshOpen()
{
    if (s_pOpen != NULL)
        s_pOpen->Refresh();
}

void CMaterialsPanel::FollowOpen()
{
    if (s_pOpen != NULL)
        s_pOpen->Refresh(false);
}

void CMaterialsPanel::CloseOpen()
{
    if (s_pOpen != NULL)
        s_pOpen->DestroyWindow();
}

void CMaterialsPanel::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MATERIALS_STATE, m_state);
    DDX_Control(pDX, IDC_MATERIALS_LIST, m_rowList);
    DDX_Control(pDX, IDC_MATERIALS_TOTAL, m_total);
    DDX_Control(pDX, IDC_TO_EDITOR, m_btnToEditor);
    DDX_Control(pDX, IDC_ASSIGN, m_btnAssign);
    DDX_Control(pDX, IDC_REPLACE, m_btnReplace);
}

BOOL CMaterialsPanel::OnInitDialog()
{
    CDialog::OnInitDialog();
    PlaceWindow();
    Refresh();
    return TRUE;
}

// Beside the tool window the first time (on its left when the right has no room), then where
// the panel last closed; wherever that lies off every monitor (one unplugged since, or the tool
// window moved off them), where the tool window opens without a stored position.
void CMaterialsPanel::PlaceWindow()
{
    POINT at = s_lastPosition;
    if (!s_bPlacedBefore)
    {
        RECT tool, panel;
        m_owner.GetWindowRect(&tool);
        GetWindowRect(&panel);
        int width = panel.right - panel.left;
        int screenRight = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        at.x = tool.right + PANEL_GAP + width <= screenRight ? tool.right + PANEL_GAP : tool.left - PANEL_GAP - width;
        at.y = tool.top;
    }
    if (!IntersectsAMonitor(m_hWnd, at.x, at.y))
        at = DEFAULT_WINDOW_POSITION;
    SetWindowPos(NULL, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Whether the panel is active is noted from its own activation, as asking costs a window-server
// call at every "Materials...".
BOOL CMaterialsPanel::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_ACTIVATE)
        m_bActive = LOWORD(wParam) != WA_INACTIVE;
    return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}

void CMaterialsPanel::OnClose()
{
    DestroyWindow();
}

// Esc in a host that runs IsDialogMessage for the panel: ending the dialog would only hide it.
void CMaterialsPanel::OnCancel()
{
    DestroyWindow();
}

// The tool window's end takes the panel with it (it owns the panel): this comes first then too.
void CMaterialsPanel::OnDestroy()
{
    RECT frame;
    GetWindowRect(&frame);
    s_lastPosition.x = frame.left;
    s_lastPosition.y = frame.top;
    s_bPlacedBefore = true;
}

void CMaterialsPanel::PostNcDestroy()
{
    if (s_pOpen == this)
        s_pOpen = NULL;
    delete this;
}

/////////////////////////////////////////////////////////////////////////////
// What it shows

// Sets a window's text when it differs from what it shows: a call to the window server each.
static void ShowText(CWnd& window, CString& strShown, LPCTSTR text)
{
    if (strShown == text)
        return;
    strShown = text;
    window.SetWindowText(text);
}

void CMaterialsPanel::Refresh(bool readColours)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    Show(m_commands.IsListOf(polyhedron) ? polyhedron : NULL, readColours);
}

// The rows are read afresh only from a face list of the selected polyhedron (listed, known up to
// date); otherwise they stay as they were, greyed under the out-of-date line. They are drawn
// again only when they changed; the buttons follow the face list's selection as well. They draw
// from m_tally: a refresh that runs out of memory before they are shown anew gives them their
// tally back, and the next refresh shows them again.
void CMaterialsPanel::Show(ZvkHandle listed, bool readColours)
{
    const bool wasUpToDate = m_bUpToDate;
    bool changed = (listed != NULL) != m_bUpToDate;
    m_bUpToDate = listed != NULL;
    MaterialTally before;
    if (m_bUpToDate)
        before = std::move(m_tally);
    try
    {
        if (m_bUpToDate)
        {
            CountFaces(listed);
            if (readColours)
                ReadColours(listed);
            else if (m_strName.Compare(m_commands.List().Name().c_str()) == 0)
                KeepColours(before);
            changed = changed || !(m_tally == before);
            if (m_strName.Compare(m_commands.List().Name().c_str()) != 0)
            {
                m_strName = m_commands.List().Name().c_str();
                SetWindowText(CString(s_szTitle) + m_strName);
            }
        }
        ShowText(m_state, m_strState, m_bUpToDate ? "" : s_szOutOfDate);
        if (!changed)
            return UpdateCommands();
        int current = m_rowList.GetCurSel();
        ShowText(m_total, m_strTotal, TotalText(m_tally).c_str());
        m_rowList.ShowRows(m_tally, m_bUpToDate ? CurrentRowAfterCount(before, current) : current, !m_bUpToDate);
    }
    catch (...)
    {
        if (m_bUpToDate)
            m_tally = std::move(before);
        m_bUpToDate = wasUpToDate;
        throw;
    }
    OnSelchangeRows();
}

// One pass over the face records; entry i of a list of this polyhedron is face i, so the
// coloured entries name the painted faces without a word of their texts read back.
void CMaterialsPanel::CountFaces(ZvkHandle polyhedron)
{
    CHostPolyhedron faces(polyhedron);
    const CHostPolyhedron::Records records = faces.ReadRecords();
    const int entries = m_commands.List().EntryCount();
    const int readable = records.ReadableCount() < entries ? records.ReadableCount() : entries;
    m_tally = CountFacesByMaterial(readable, [records](int face) { return records.MaterialOfReadable(face); });
    // Entries past the faces the host gives records for are counted as faces without one.
    m_tally.faces = entries;
    m_tally.withoutRecord += entries - readable;
    for (int entry : m_commands.PaintedEntries())
        if (const ZvkFace* record = records.FaceRecord(entry))
            MarkPainted(m_tally, zvkFaceMaterialIndex(record));
}

// One material for every slot, released once; without it the swatches stay blank. For an index
// outside the polyhedron's table the material holds whatever the host leaves in it.
void CMaterialsPanel::ReadColours(ZvkHandle polyhedron)
{
    CHostMaterial material = CHostMaterial::EditorCopy();
    if (!material.IsMade())
        return;
    for (MaterialRow& row : m_tally.rows)
    {
        material.ReadSlot(polyhedron, (unsigned short)row.index);
        ZvkColor colour = material.Colour();
        row.hasColour = true;
        row.r = colour.r;
        row.g = colour.g;
        row.b = colour.b;
        row.a = colour.a;
    }
}

// Each row's colour as the row of its index had it, for a recount of the same polyhedron; the rows of
// another one show no colour until a refresh reads its slots.
void CMaterialsPanel::KeepColours(const MaterialTally& before)
{
    for (MaterialRow& row : m_tally.rows)
        for (const MaterialRow& was : before.rows)
            if (was.index == row.index)
            {
                row.hasColour = was.hasColour;
                row.r = was.r;
                row.g = was.g;
                row.b = was.b;
                row.a = was.a;
                break;
            }
}

// The row of the material that was current before, or the first row.
int CMaterialsPanel::CurrentRowAfterCount(const MaterialTally& before, int current) const
{
    const MaterialRow* was = MaterialRowAt(before, current);
    bool wasWithoutRecord = current >= 0 && current < RowCount(before) && was == NULL;
    for (int row = 0; row < RowCount(m_tally); ++row)
    {
        const MaterialRow* now = MaterialRowAt(m_tally, row);
        if (was != NULL ? now != NULL && now->index == was->index : wasWithoutRecord && now == NULL)
            return row;
    }
    return RowCount(m_tally) > 0 ? 0 : -1;
}

/////////////////////////////////////////////////////////////////////////////
// Acting on a row

// The current row's material when the rows may act now: the face list up to date (asked
// afresh) and a row of a material current. Otherwise the panel shows the host anew, greyed when
// the list is out of date, and nothing is done.
const MaterialRow* CMaterialsPanel::RowToActOn()
{
    if (!m_bUpToDate || !m_commands.IsListOf(SelectedPolyhedron()))
    {
        Refresh();
        return NULL;
    }
    return MaterialRowAt(m_tally, m_rowList.GetCurSel());
}

void CMaterialsPanel::OnOK()
{
    if (const MaterialRow* row = RowToActOn())
    {
        m_commands.SelectFaces(row->index);
        Refresh();
    }
}

void CMaterialsPanel::OnDblclkRows()
{
    OnOK();
}

void CMaterialsPanel::OnToEditor()
{
    if (const MaterialRow* row = RowToActOn())
        m_commands.ToEditor(row->index);
}

// A greyed command does nothing from its menu item either: each asks afresh. The rows are read
// again only after a paint: a press that paints nothing makes no host call.
void CMaterialsPanel::OnAssign()
{
    const MaterialRow* row = RowToActOn();
    if (row == NULL || m_commands.SelectedEntryCount() == 0)
        return;
    if (m_commands.Assign(row->index))
        Refresh();
}

void CMaterialsPanel::OnReplace()
{
    const MaterialRow* row = RowToActOn();
    if (row == NULL || row->faces == 0)
        return;
    if (m_commands.Replace(row->index))
        Refresh();
}

void CMaterialsPanel::OnSelchangeRows()
{
    UpdateCommands();
}

// Every command only for a row of a material while the rows are up to date; "Assign" also needs
// a selected entry, "Replace" a face of the material.
void CMaterialsPanel::UpdateCommands()
{
    const MaterialRow* row = m_bUpToDate ? MaterialRowAt(m_tally, m_rowList.GetCurSel()) : NULL;
    bool assign = row != NULL && m_commands.SelectedEntryCount() > 0;
    bool replace = row != NULL && row->faces > 0;
    int shown = (row != NULL ? 1 : 0) | (assign ? 2 : 0) | (replace ? 4 : 0);
    if (shown == m_commandsShown)
        return;
    m_commandsShown = shown;
    m_btnToEditor.EnableWindow(row != NULL);
    m_btnAssign.EnableWindow(assign);
    m_btnReplace.EnableWindow(replace);
}

/////////////////////////////////////////////////////////////////////////////
// A row's context menu

// On the rows only: a right click makes the row under it current first; below the last row it
// opens nothing. Each item greyed as its button is (Select faces as "To editor").
void CMaterialsPanel::OnContextMenu(CWnd* pWnd, CPoint pos)
{
    if (pWnd == NULL || pWnd->m_hWnd != m_rowList.m_hWnd)
    {
        DefWindowProc(WM_CONTEXTMENU, (WPARAM)(pWnd ? pWnd->m_hWnd : NULL), MAKELPARAM(pos.x, pos.y));
        return;
    }
    if (pos.x != -1 || pos.y != -1)
    {
        CPoint client = pos;
        m_rowList.ScreenToClient(&client);
        int row = EntryAt(m_rowList, client);
        if (row < 0)
            return;
        if (row != m_rowList.GetCurSel())
        {
            m_rowList.SetCurSel(row);
            OnSelchangeRows();
        }
    }
    CMenu menu;
    CMenu* pPopup = menu.LoadMenu(IDR_MATERIAL_ROW_MENU) ? menu.GetSubMenu(0) : NULL;
    if (pPopup == NULL)
        return;
    // The buttons' states as UpdateCommands last showed them (bit 0 "To editor", 1 "Assign", 2 "Replace").
    const struct { UINT id; int bit; } items[] = {
        { IDOK, 1 }, { IDC_TO_EDITOR, 1 }, { IDC_ASSIGN, 2 }, { IDC_REPLACE, 4 },
    };
    for (const auto& item : items)
        pPopup->EnableMenuItem(item.id, MF_BYCOMMAND | ((m_commandsShown & item.bit) != 0 ? MF_ENABLED : MF_GRAYED));
    CPoint at = ContextMenuPosition(m_rowList, pos, m_rowList.GetCurSel());
    // The chosen command arrives afterwards as WM_COMMAND, as from any menu.
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}
