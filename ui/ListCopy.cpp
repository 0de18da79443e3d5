// Copying face list entries to the clipboard as text: face, material index and paint state,
// separated by tabs, one line per entry.
#include "ui/ListCommands.h"

#include <string.h>

#include <string>

#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "model/EntryText.h"
#include "ui/BusyIndicator.h"
#include "ui/ListPositions.h"

static const char s_szClipboardInUse[] = "The clipboard is in use by another program: nothing was copied.";
static const char s_szNoMemory[] = "Not enough memory: the command was not finished.";

static const char* PaintState(EntryPaint paint)
{
    if (paint == ENTRY_TO_DO)
        return "to do";
    return paint == ENTRY_PAINTED_INVISIBLE ? "invisible" : "painted";
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

// The message box that says why nothing was copied, or NULL once the text is on the clipboard.
// Another program holding the clipboard open, and no memory for the text, leave the clipboard as
// it was.
static const char* PutOnClipboard(HWND hOwner, const std::string& text)
{
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (hText == NULL)
        return s_szNoMemory;
    char* pText = (char*)::GlobalLock(hText);
    if (pText == NULL)
    {
        ::GlobalFree(hText);
        return s_szNoMemory;
    }
    memcpy(pText, text.c_str(), text.size() + 1);
    ::GlobalUnlock(hText);
    if (!::OpenClipboard(hOwner))
    {
        ::GlobalFree(hText);
        return s_szClipboardInUse;
    }
    ::EmptyClipboard();
    // Once the clipboard has taken the block it is the clipboard's to free; a clipboard that
    // takes nothing has emptied itself and copied nothing.
    const char* failure = NULL;
    if (::SetClipboardData(CF_TEXT, hText) == NULL)
    {
        ::GlobalFree(hText);
        failure = s_szNoMemory;
    }
    ::CloseClipboard();
    return failure;
}

// The lines are made under "Please wait..." (a long list takes a while); a clipboard that
// cannot be had is said once the wait is over.
void CListCommands::CopyEntries(const std::vector<int>& positions)
{
    CBusyIndicator busy(m_view.Title());
    std::string text = EntriesText(positions);
    busy.End();
    if (const char* failure = PutOnClipboard(m_view.Owner(), text))
        m_view.Tell(failure);
}

// The face is read from the entry as every command reads it. The material index comes afresh
// from the host while the list belongs to the selected polyhedron (empty when the host has no
// record of the face); for an out-of-date list the host's faces are another polyhedron's, so
// the line keeps the index the entry shows.
std::string CListCommands::EntriesText(const std::vector<int>& positions)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    bool upToDate = m_view.IsListOf(polyhedron);
    // The host's faces are read only for a list of the selected polyhedron.
    CHostPolyhedron faces(upToDate ? polyhedron : NULL);

    std::string text;
    text.reserve(positions.size() * 24);
    CString strEntry;
    char szNumber[16];
    for (size_t i = 0; i < positions.size(); ++i)
    {
        int face = EntryFace(m_view.List(), positions[i], strEntry);
        wsprintf(szNumber, "%d", face);
        text += szNumber;
        text += '\t';
        if (!upToDate)
            text += ShownMaterial(strEntry);
        else if (const ZvkFace* record = faces.FaceRecord(face))
        {
            wsprintf(szNumber, "%u", (unsigned)zvkFaceMaterialIndex(record));
            text += szNumber;
        }
        text += '\t';
        text += PaintState(m_view.PaintOf(positions[i]));
        text += "\r\n";
    }
    return text;
}

void CListCommands::CopyAll()
{
    int count = m_view.EntryCount();
    if (count <= 0)
        return;
    std::vector<int> positions(count);
    for (int i = 0; i < count; ++i)
        positions[i] = i;
    CopyEntries(positions);
}

void CListCommands::CopySelected()
{
    std::vector<int> positions = m_view.Selected();
    if (!positions.empty())
        CopyEntries(positions);
}
