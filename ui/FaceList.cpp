// Building, clearing and labelling the face list; the help text.
#include "ui/MatIdDialog.h"

#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "model/EntryText.h"
#include "ui/BusyIndicator.h"

// Storage reserved per entry text before a fill: at most 13 characters and the zero.
static const int ENTRY_STORAGE_BYTES = 16;

// The list title while the list can be used.
static const char s_szListTitle[] = "Faces | matIDs list";
static const char s_szRefusedTitle[] = "Nothing selected...";
static const char s_szEmptyTitle[] = "List is empty!";
static const char s_szSelectPolyhedron[] = "Please, select a polyhedron!";
static const char s_szTooManyFaces[] = "Sorry, I cannot handle above 64k faces! Try to reduce polyhedrons' faces.";

static const char s_szHelpText[] =
    "\r- 'matIDs/Faces list' listbox - Display polyhedrons' faces and the relevant matIDs. Mouse click on items will send the faces material to the Material Editor.\n"
    "\r   Use mouse or up/down arrows keys to navigate through the items. Use 'Alt' and 'Ctrl' keys + mouse click or mouse scroll to select multifaces.\n"
    "\r- 'Faces | matIDs' button - Refresh and/or load the list of polyhedrons' faces and the relevant material IDs.\n"
    "\r- 'Clear content' button - Clear, reset the list.\n"
    "\r- 'Copy material' checkbox - Stops the material toggles and set active the last matIDs/faces material. Option for painting other face(s)/polyhs.\n"
    "\r- 'Paint random' checkbox - Paint face(s) with random material color in real time. Painting colors roulette.\n"
    "\r- 'Paint invisibe' checkbox - Paint face(s) with invisible material. Scene editing mode only. Rendering mode will draw the objects as solid.\n"
    "\r- 'Paint face' button - Assign (paint) the Material Editor material as well as the grabbed or random ones on the selected face.\n"
    "\r- 'Paint selection' button - Assign (paint) the Material Editor material as well as the grabbed or random ones on the selected faces.\n"
    "\r- 'Paint all' button - Assign (paint) the Material Editor material as well as the grabbed or random ones on the whole polyhedron.\n"
    "\r- 'Help' button - This help window.\n"
    "\r- COLORREF - system color: todo faces; green color: faces painted; red color: faces painted invisible.\n";

// The list is filled under "Please wait..." and the wait cursor; a refusal's message shows once
// both are back.
void CMatIdDialog::OnLoadList()
{
    UpdateData(FALSE);
    CBusyIndicator busy(m_listTitle);
    ListEmptied();
    zvkCurrobjEditToolClose();
    zvkSceneRefresh();
    m_strItemText = "";

    ZvkHandle polyhedron = zvkGetCurrentSelection();
    if (!IsPolyhedron(polyhedron))
    {
        busy.End();
        AfxMessageBox(s_szSelectPolyhedron, MB_ICONINFORMATION, 0);
        return;
    }

    m_faceList.SetRedraw(FALSE);
    busy.SetTitleAfter(s_szListTitle);
    EnableForLoadedList();

    CHostMaterial editorMaterial = CHostMaterial::EditorCopy();
    // Without the material the load could not give the editor back what it showed: it stops
    // here with the list empty, and nothing is activated or released as a material.
    if (!editorMaterial.IsMade())
    {
        m_faceList.SetRedraw(TRUE);
        UpdateData(FALSE);
        return;
    }
    ShowObjectName();

    if (!AddFaceEntries(polyhedron))
    {
        busy.SetTitleAfter(s_szRefusedTitle);
        busy.End();
        AfxMessageBox(s_szTooManyFaces, MB_ICONINFORMATION, 0);
        editorMaterial.Release();
        m_faceList.SetRedraw(TRUE);
        return;
    }

    zvkPolyhInitializeMaterials(polyhedron);
    editorMaterial.ShowInEditor();
    editorMaterial.Release();
    RefreshHost();
    m_faceList.SetSel(0, TRUE);
    m_faceList.SetRedraw(TRUE);
    UpdateWindow();
    UpdateData(FALSE);
}

// What a load enables and resets, whether it lists the faces or refuses them.
void CMatIdDialog::EnableForLoadedList()
{
    GetDlgItem(IDC_CLEAR_LIST)->EnableWindow(TRUE);
    m_paintOptions.EnableWindow(TRUE);
    m_btnCopyMaterial.EnableWindow(TRUE);
    m_btnPaintRandom.EnableWindow(TRUE);
    m_bPaintRandom = 0;
    m_btnPaintInvisible.EnableWindow(TRUE);
    SetPaintButtons(0, 0);
}

// What following does when the host's selection is another polyhedron, or the same with another
// face count: what the load shows, with only reads of the host and no message box; the face-limit
// refusal shows in the title alone, once.
void CMatIdDialog::LoadListFollowing(ZvkHandle polyhedron)
{
    UpdateData(FALSE);
    m_faceList.SetRedraw(FALSE);
    ListEmptied();
    m_strItemText = "";
    EnableForLoadedList();
    ShowListName(FullNameOf(polyhedron).c_str());
    bool listed = AddFaceEntries(polyhedron);
    m_listTitle.SetWindowText(listed ? s_szListTitle : s_szRefusedTitle);
    if (listed)
        m_faceList.SetSel(0, TRUE);
    m_faceList.SetRedraw(TRUE);
    UpdateData(FALSE);
}

// One entry per face, in face order. A polyhedron at the face limit or above is refused as a
// whole (false, nothing added); m_strItemText keeps the text of the last entry formed. The model
// learns what each entry shows and what the list was read from, refused or not.
bool CMatIdDialog::AddFaceEntries(ZvkHandle polyhedron)
{
    CHostPolyhedron faces(polyhedron);
    // Faces reported without their array: nothing can be read, so nothing is listed.
    int count = faces.HasFaceArray() ? faces.FaceCount() : 0;
    m_list.BeginFill(count < FACE_LIMIT ? count : 0);
    m_list.SetSource((std::uintptr_t)polyhedron, faces.FaceCount());
    if (count > 0 && count < FACE_LIMIT)
        m_faceList.InitStorage(count, count * ENTRY_STORAGE_BYTES);
    // Each text is formed in a local buffer and m_strItemText takes only the one it keeps: nothing
    // reads it during the loop, so a string copy per face would be work for nothing.
    char szText[ENTRY_TEXT_SIZE] = "";
    const CHostPolyhedron::Records records = faces.ReadRecords();
    for (int i = 0; i < count; ++i)
    {
        const ZvkFace* record = records.FaceRecord(i);
        if (record != NULL)
            FormatEntryText(szText, i, zvkFaceMaterialIndex(record));
        else
            FormatEntryTextWithoutRecord(szText, i);
        // Tested once entry 0's text is formed, before anything is added.
        if (count >= FACE_LIMIT)
        {
            m_strItemText = szText;
            return false;
        }
        m_faceList.AddString(szText);
        m_list.NoteFilled(i, record != NULL ? zvkFaceMaterialIndex(record) : -1);
    }
    m_list.Filled(count);
    m_strItemText = szText;
    return true;
}

void CMatIdDialog::ShowObjectName()
{
    UpdateData(FALSE);
    ZvkHandle selection = zvkGetCurrentSelection();
    char szName[ZVK_NAME_BUFFER_SIZE];
    ReadFullName(selection, szName);
    ShowListName(IsPolyhedron(selection) ? szName : s_szRefusedTitle);
    UpdateData(FALSE);
}

// The name under the list, which the list's model keeps as the polyhedron the list is of.
void CMatIdDialog::ShowListName(const char* name)
{
    m_strObjectName = name;
    m_list.SetName(name);
}

// Every way the list is emptied: its entries and their colours go, and with them the entries
// that the paint history's steps so far coloured.
void CMatIdDialog::ListEmptied()
{
    m_faceList.ResetContent();
    m_list.Empty();
    g_paintHistory.ListReplaced();
}

void CMatIdDialog::OnClearList()
{
    UpdateData(FALSE);
    m_faceList.SetRedraw(FALSE);
    ListEmptied();
    m_listTitle.SetWindowText(s_szEmptyTitle);
    ShowListName("");
    m_strItemText = "";
    SetPaintButtons(0, 0);
    zvkCurrobjEditToolClose();
    zvkCurrobjRefresh();
    zvkSceneRefresh();
    m_faceList.SetRedraw(TRUE);
    UpdateWindow();
    UpdateData(FALSE);
}

void CMatIdDialog::OnHelpButton()
{
    AfxMessageBox(s_szHelpText, MB_ICONINFORMATION, 0);
}
