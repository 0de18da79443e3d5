// The log of host API calls the plug-in makes, and the status bar.
#include "Sandbox.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace sandbox {

static const int MAX_LOG_LINES = 2000;

// Small numbers in decimal; pointers and handles in hexadecimal.
static std::string NumberText(unsigned value)
{
    return value < 0x10000 ? Format("%u", value) : Format("0x%08X", value);
}

static std::string CallText(const Host& host, const ZvktCall& call)
{
    std::string text = call.function ? call.function : "?";
    text += "(";
    for (int i = 0; i < call.argCount && i < 4; ++i)
    {
        if (i > 0)
            text += ", ";
        const SceneObject* object = FindObject(host, (ZvkHandle)(UINT_PTR)call.args[i]);
        text += object ? object->name : NumberText(call.args[i]);
    }
    text += ")";
    if (call.result != 0)
    {
        const SceneObject* object = FindObject(host, (ZvkHandle)(UINT_PTR)call.result);
        text += " = " + (object ? object->name : NumberText(call.result));
    }
    return text;
}

// Moves the host's journal of the plug-in's calls to the log, a run of calls of one function
// as one line, and empties the journal so that a long session does not grow it.
void DrainJournal(Host& host)
{
    int count = zvktJournalCount();
    if (count <= 0)
        return;
    host.callCount += count;
    int i = 0;
    while (i < count)
    {
        const ZvktCall* first = zvktJournalAt(i);
        int j = i + 1;
        while (j < count && first->function && zvktJournalAt(j)->function &&
               strcmp(zvktJournalAt(j)->function, first->function) == 0)
            ++j;
        std::string line = j - i == 1 ? CallText(host, *first)
                                      : Format("%s  \xD7 %s", first->function ? first->function : "?", Thousands(j - i).c_str());
        SendMessageA(host.calls, LB_ADDSTRING, 0, (LPARAM)line.c_str());
        i = j;
    }
    zvktJournalClear();
    int lines = (int)SendMessageA(host.calls, LB_GETCOUNT, 0, 0);
    while (lines > MAX_LOG_LINES)
    {
        SendMessageA(host.calls, LB_DELETESTRING, 0, 0);
        --lines;
    }
    SendMessageA(host.calls, LB_SETTOPINDEX, lines - 1, 0);
}

// The opened model's note, when it has one, comes first, as wide as its text up to two fifths of
// the bar.
void LayoutStatusBar(const Host& host, int width)
{
    int noteWidth = 0;
    if (!host.model.note.empty())
    {
        HDC dc = GetDC(host.status);
        HGDIOBJ oldFont = SelectObject(dc, (HGDIOBJ)SendMessageA(host.status, WM_GETFONT, 0, 0));
        SIZE size = {};
        GetTextExtentPoint32A(dc, host.model.note.c_str(), (int)host.model.note.size(), &size);
        SelectObject(dc, oldFont);
        ReleaseDC(host.status, dc);
        noteWidth = std::min(width * 2 / 5, (int)size.cx + 12);
    }
    int rest = width - noteWidth;
    int parts[4] = { noteWidth, noteWidth + rest * 36 / 100, noteWidth + rest * 52 / 100, -1 };
    int first = noteWidth > 0 ? 0 : 1;
    SendMessageA(host.status, SB_SETPARTS, 4 - first, (LPARAM)(parts + first));
}

void RefreshStatus(Host& host)
{
    std::string selection = "Selection: none";
    if (const SceneObject* object = FindObject(host, host.selection))
    {
        selection = Format("Selection: %s", object->name.c_str());
        if (IsPolyhedron(object->handle))
            selection += Format(" (%s of %s faces selected)", Thousands(zvktSelectedFaceCount(object->handle)).c_str(),
                                Thousands(zvktFaceCount(object->handle)).c_str());
    }
    ZvktBalance balance;
    zvktGetBalance(&balance);
    std::string calls = Format("Host API calls: %s", Thousands(host.callCount).c_str());
    std::string heap = Format("Materials %d created, %d destroyed, %d freed; blocks %d/%d; bad frees %d",
                              balance.materialsCreated, balance.materialsDestroyed, balance.materialsFreed,
                              balance.blocksAllocated, balance.blocksFreed, balance.badFrees);
    int part = 0;
    if (!host.model.note.empty())
        SendMessageA(host.status, SB_SETTEXTA, part++, (LPARAM)host.model.note.c_str());
    SendMessageA(host.status, SB_SETTEXTA, part++, (LPARAM)selection.c_str());
    SendMessageA(host.status, SB_SETTEXTA, part++, (LPARAM)calls.c_str());
    SendMessageA(host.status, SB_SETTEXTA, part, (LPARAM)heap.c_str());
}

} // namespace sandbox
