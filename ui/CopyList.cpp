// Copying face list entries to the clipboard as text: face, material index and paint state,
// separated by tabs, one line per entry.
#include "ui/MatIdDialog.h"

#include <string.h>

#include <string>

#include "host/zvkapi.h"
#include "ui/HostHelpers.h"

static const char* PaintState(COLORREF rgbEntry)
{
    if (rgbEntry == 0)
        return "to do";
    return rgbEntry == CLR_PAINTED_INVISIBLE ? "invisible" : "painted";
}

// The material index an entry shows, after its " | ".
static const char* ShownMaterial(const char* text)
{
    const char* bar = strchr(text, '|');
    if (bar == NULL)
        return "";
    ++bar;
    while (*bar == ' ')
        ++bar;
    return bar;
}

// Puts text on the clipboard as CF_TEXT. When the clipboard cannot be had it stays as it was.
static void PutOnClipboard(CWnd* pOwner, const std::string& text)
{
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (hText == NULL)
        return;
    char* pText = (char*)::GlobalLock(hText);
    if (pText == NULL)
    {
        ::GlobalFree(hText);
        return;
    }
    memcpy(pText, text.c_str(), text.size() + 1);
    ::GlobalUnlock(hText);
    if (!pOwner->OpenClipboard())
    {
        ::GlobalFree(hText);
        return;
    }
    ::EmptyClipboard();
    // Once the clipboard has taken the block it is the clipboard's to free.
    if (::SetClipboardData(CF_TEXT, hText) == NULL)
        ::GlobalFree(hText);
    ::CloseClipboard();
}

// The face is read from the entry as every command reads it. The material index comes afresh
// from the host while the list belongs to the selected polyhedron (empty when the host has no
// record of the face); for an out-of-date list the host's faces are another polyhedron's, so
// the line keeps the index the entry shows.
void CMatIdDialog::CopyEntries(const std::vector<int>& positions)
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
    PutOnClipboard(this, text);
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
