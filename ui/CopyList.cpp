// Copying face list entries to the clipboard as text: face, material index and paint state,
// separated by tabs, one line per entry.
#include "ui/MatIdDialog.h"

#include <string.h>

#include <string>

#include "host/zvkapi.h"
#include "ui/BusyIndicator.h"
#include "model/EntryText.h"
#include "host/HostPolyhedron.h"

static const char s_szClipboardInUse[] = "The clipboard is in use by another program: nothing was copied.";

static const char* PaintState(COLORREF rgbEntry)
{
    if (rgbEntry == 0)
        return "to do";
    return rgbEntry == CLR_PAINTED_INVISIBLE ? "invisible" : "painted";
}

// The material index an entry shows, after its " | "; none for an entry listed without its
// face's record, the same empty field an up-to-date list's copy gives for such a face.
static const char* ShownMaterial(const char* text)
{
    const char* bar = strchr(text, '|');
    if (bar == NULL)
        return "";
    ++bar;
    while (*bar == ' ')
        ++bar;
    return *bar == NO_MATERIAL_MARK ? "" : bar;
}

// Puts text on the clipboard as CF_TEXT; false when another program holds the clipboard open,
// which then stays as it was. Without memory for the text nothing is copied either.
static bool PutOnClipboard(CWnd* pOwner, const std::string& text)
{
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (hText == NULL)
        return true;
    char* pText = (char*)::GlobalLock(hText);
    if (pText == NULL)
    {
        ::GlobalFree(hText);
        return true;
    }
    memcpy(pText, text.c_str(), text.size() + 1);
    ::GlobalUnlock(hText);
    if (!pOwner->OpenClipboard())
    {
        ::GlobalFree(hText);
        return false;
    }
    ::EmptyClipboard();
    // Once the clipboard has taken the block it is the clipboard's to free.
    if (::SetClipboardData(CF_TEXT, hText) == NULL)
        ::GlobalFree(hText);
    ::CloseClipboard();
    return true;
}

// The lines are made under "Please wait..." (a long list takes a while); a clipboard that
// cannot be had is said once the wait is over.
void CMatIdDialog::CopyEntries(const std::vector<int>& positions)
{
    CBusyIndicator busy(m_listTitle);
    std::string text = EntriesText(positions);
    busy.End();
    if (!PutOnClipboard(this, text))
        AfxMessageBox(s_szClipboardInUse, MB_ICONINFORMATION, 0);
}

// The face is read from the entry as every command reads it. The material index comes afresh
// from the host while the list belongs to the selected polyhedron (empty when the host has no
// record of the face); for an out-of-date list the host's faces are another polyhedron's, so
// the line keeps the index the entry shows.
std::string CMatIdDialog::EntriesText(const std::vector<int>& positions)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    bool upToDate = IsListOfPolyhedron(polyhedron);
    int faceCount = upToDate ? m_faceList.GetCount() : 0;
    ZvkFace** faces = upToDate ? zvkPolyhGetFaceptrArray(polyhedron) : NULL;

    std::string text;
    text.reserve(positions.size() * 24);
    CString strEntry;
    char szNumber[16];
    for (size_t i = 0; i < positions.size(); ++i)
    {
        m_faceList.GetText(positions[i], strEntry);
        int face = FaceIndexOfEntry(strEntry);
        wsprintf(szNumber, "%d", face);
        text += szNumber;
        text += '\t';
        if (!upToDate)
            text += ShownMaterial(strEntry);
        else if (const ZvkFace* record = FaceRecord(faces, faceCount, face))
        {
            wsprintf(szNumber, "%u", (unsigned)zvkFaceMaterialIndex(record));
            text += szNumber;
        }
        text += '\t';
        text += PaintState((COLORREF)m_faceList.GetItemData(positions[i]));
        text += "\r\n";
    }
    return text;
}

void CMatIdDialog::OnCopyList()
{
    UpdateData(FALSE);
    int count = m_faceList.GetCount();
    if (count <= 0)
        return;
    std::vector<int> positions(count);
    for (int i = 0; i < count; ++i)
        positions[i] = i;
    CopyEntries(positions);
}

void CMatIdDialog::OnCopySelected()
{
    UpdateData(FALSE);
    CSelectedPositions selected(m_faceList);
    if (selected.GetCount() <= 0)
        return;
    std::vector<int> positions(selected.GetCount());
    for (int i = 0; i < selected.GetCount(); ++i)
        positions[i] = selected[i];
    CopyEntries(positions);
}
