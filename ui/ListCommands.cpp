// The face list's menu: fitting its items, and selecting every face of one material, the painted
// faces or the faces still to do in one step.
#include "ui/ListCommands.h"

#include "host/HostFaceSelection.h"
#include "ui/BusyIndicator.h"
#include "ui/resource.h"

static const char s_szSelectMaterial[] = "Select faces of material";

static UINT GreyedUnless(bool enabled)
{
    return MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
}

// The out-of-date line and the separator under it, found by the line's command wherever the
// resource puts it.
static void DeleteOutOfDateLine(CMenu* pPopup)
{
    int count = pPopup->GetMenuItemCount();
    for (int i = 0; i < count; ++i)
    {
        if (pPopup->GetMenuItemID(i) != ID_FACES_OUT_OF_DATE)
            continue;
        pPopup->DeleteMenu(ID_FACES_OUT_OF_DATE, MF_BYCOMMAND);
        if (i < count - 1 && (pPopup->GetMenuState(i, MF_BYPOSITION) & MF_SEPARATOR))
            pPopup->DeleteMenu(i, MF_BYPOSITION);
        return;
    }
}

void CListCommands::FitMenu(CMenu* pPopup, int entry, ZvkHandle polyhedron)
{
    m_nMenuEntry = entry;
    bool upToDate = m_view.IsListOf(polyhedron);
    int material = upToDate && entry >= 0 ? CHostPolyhedron(polyhedron).MaterialOfFace(entry) : -1;
    if (material >= 0)
    {
        char szText[64];
        wsprintf(szText, "%s %d", s_szSelectMaterial, material);
        pPopup->ModifyMenu(ID_SELECT_MATERIAL, MF_BYCOMMAND | MF_STRING, ID_SELECT_MATERIAL, szText);
    }
    if (upToDate)
        DeleteOutOfDateLine(pPopup);
    const int entries = m_view.EntryCount();
    pPopup->EnableMenuItem(ID_SELECT_MATERIAL, GreyedUnless(material >= 0));
    pPopup->EnableMenuItem(ID_SELECT_PAINTED, GreyedUnless(upToDate && m_view.AnyEntry(true)));
    pPopup->EnableMenuItem(ID_SELECT_TO_DO, GreyedUnless(upToDate && m_view.AnyEntry(false)));
    pPopup->EnableMenuItem(ID_MATERIALS, GreyedUnless(upToDate && entries > 0));
    pPopup->EnableMenuItem(ID_COPY_LIST, GreyedUnless(entries > 0));
    pPopup->EnableMenuItem(ID_COPY_SELECTED, GreyedUnless(m_view.SelectedCount() > 0));
}

/////////////////////////////////////////////////////////////////////////////
// Select commands

// Each command asks the host again: a command may arrive without its menu, or after the host
// changed. An out-of-date list makes no host call beyond these questions.
void CListCommands::SelectMaterialOfMenuEntry()
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    int entry = m_nMenuEntry;
    if (!m_view.IsListOf(polyhedron) || entry < 0 || entry >= m_view.EntryCount())
        return;
    CBusyIndicator busy(m_view.Title());
    CHostPolyhedron faces(polyhedron);
    int material = faces.MaterialOfFace(entry);
    if (material >= 0)
        SelectEntriesOfMaterial(faces, material, entry);
}

void CListCommands::SelectFacesOfMaterial(unsigned material)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!m_view.IsListOf(polyhedron))
        return;
    CBusyIndicator busy(m_view.Title());
    SelectEntriesOfMaterial(CHostPolyhedron(polyhedron), (int)material, -1);
}

// Exactly the entries whose face has the material index, with the given entry current (the first
// chosen one for -1).
void CListCommands::SelectEntriesOfMaterial(const CHostPolyhedron& polyhedron, int material, int current)
{
    int count = m_view.EntryCount();
    std::vector<int> chosen;
    const CHostPolyhedron::Records records = polyhedron.ReadRecords();
    for (int face = 0; face < count; ++face)
        if (records.MaterialOfFace(face) == material)
            chosen.push_back(face);
    if (!chosen.empty())
        SelectChosen(polyhedron.Handle(), chosen, current >= 0 ? current : chosen.front());
}

// The painted or the to-do entries, the first of them current.
void CListCommands::SelectPaintState(bool painted)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!m_view.IsListOf(polyhedron))
        return;
    CBusyIndicator busy(m_view.Title());
    std::vector<int> chosen = m_view.EntriesPainted(painted);
    if (!chosen.empty())
        SelectChosen(polyhedron, chosen, chosen.front());
}

// What a click that left exactly these entries selected does, with one host call for all of
// them (none when every entry is chosen, as a click that selects every entry leaves it). When
// the host gives no array for that call the list stays as it was.
void CListCommands::SelectChosen(ZvkHandle polyhedron, const std::vector<int>& chosen, int current)
{
    zvkCurrobjEditToolClose();
    int count = m_view.EntryCount();
    int selected = (int)chosen.size();
    bool given = false;
    {
        CHostFaceSelection faces(polyhedron, selected < count ? count : 0);
        if (selected < count && !faces.IsReady())
            return;
        m_view.SelectEntries(chosen, current);
        given = faces.Select(chosen.data(), selected);
    }
    m_view.SelectionMade(selected, given);
}
