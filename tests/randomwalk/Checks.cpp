// The random walk's checks after every action: the window, the list, the host's balance and
// calls, the objects the plug-in made, the menu and the materials panel, against the model.
#include "randomwalk/Model.h"
#include "support/ImportTable.h"

namespace walk {

/////////////////////////////////////////////////////////////////////////////
// GDI objects and menus made by the plug-in, counted at its imports

std::set<HGDIOBJ> g_liveGdiObjects;
int g_liveDCs = 0;
// Menus the plug-in loaded and has not destroyed.
std::set<HMENU> g_liveMenus;

// What an import made, noted as alive; what one released, as gone.
template <class Live, class Handle>
Handle Alive(Live& live, Handle made)
{
    if (made != NULL)
        live.insert(made);
    return made;
}

template <class Live, class Handle>
BOOL Gone(Live& live, Handle object, BOOL released)
{
    if (released)
        live.erase(object);
    return released;
}

HFONT (WINAPI *g_createFontIndirectA)(const LOGFONTA*) = NULL;
HBRUSH (WINAPI *g_createSolidBrush)(COLORREF) = NULL;
HBRUSH (WINAPI *g_createHatchBrush)(int, COLORREF) = NULL;
BOOL (WINAPI *g_deleteObject)(HGDIOBJ) = NULL;
HDC (WINAPI *g_getDC)(HWND) = NULL;
int (WINAPI *g_releaseDC)(HWND, HDC) = NULL;
HMENU (WINAPI *g_loadMenuA)(HINSTANCE, LPCSTR) = NULL;
BOOL (WINAPI *g_destroyMenu)(HMENU) = NULL;

HFONT WINAPI CountedCreateFontIndirectA(const LOGFONTA* font) { return Alive(g_liveGdiObjects, g_createFontIndirectA(font)); }
HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour) { return Alive(g_liveGdiObjects, g_createSolidBrush(colour)); }
HBRUSH WINAPI CountedCreateHatchBrush(int style, COLORREF colour) { return Alive(g_liveGdiObjects, g_createHatchBrush(style, colour)); }
HMENU WINAPI CountedLoadMenuA(HINSTANCE instance, LPCSTR name) { return Alive(g_liveMenus, g_loadMenuA(instance, name)); }

BOOL WINAPI CountedDeleteObject(HGDIOBJ object) { return Gone(g_liveGdiObjects, object, g_deleteObject(object)); }
BOOL WINAPI CountedDestroyMenu(HMENU menu) { return Gone(g_liveMenus, menu, g_destroyMenu(menu)); }

HDC WINAPI CountedGetDC(HWND window)
{
    HDC dc = g_getDC(window);
    if (dc != NULL)
        ++g_liveDCs;
    return dc;
}

int WINAPI CountedReleaseDC(HWND window, HDC dc)
{
    int released = g_releaseDC(window, dc);
    if (released)
        --g_liveDCs;
    return released;
}

// Imports that make a GDI or USER object and how the walk counts each: the GDI ones and menus at
// the import, windows by enumeration (message boxes and the popup menu's window close before an
// action ends). LoadCursorA is let through: it hands out a shared system cursor, which nobody
// destroys.
bool IsCountedMaker(const std::string& name)
{
    static const char* const counted[] = { "CreateFontIndirectA", "CreateSolidBrush", "CreateHatchBrush", "GetDC",
                                           "CreateDialogParamA", "MessageBoxA", "LoadMenuA", "LoadCursorA" };
    for (const char* known : counted)
        if (name == known)
            return true;
    return false;
}

bool MakesAnObject(const std::string& name)
{
    static const char* const prefixes[] = { "Create", "Load", "Copy", "GetDC", "GetWindowDC", "BeginPaint",
                                            "SetWindowsHook", "MessageBox", "DialogBox" };
    for (const char* prefix : prefixes)
        if (name.compare(0, strlen(prefix), prefix) == 0)
            return true;
    return false;
}

void CountPluginObjects()
{
    static bool routed = false;
    if (routed)
        return;
    routed = true;
    HMODULE plugin = Plugin::Module();
    g_createFontIndirectA = (decltype(g_createFontIndirectA))RedirectImport(plugin, "GDI32.dll", "CreateFontIndirectA", (void*)CountedCreateFontIndirectA);
    g_createSolidBrush = (decltype(g_createSolidBrush))RedirectImport(plugin, "GDI32.dll", "CreateSolidBrush", (void*)CountedCreateSolidBrush);
    g_createHatchBrush = (decltype(g_createHatchBrush))RedirectImport(plugin, "GDI32.dll", "CreateHatchBrush", (void*)CountedCreateHatchBrush);
    g_deleteObject = (decltype(g_deleteObject))RedirectImport(plugin, "GDI32.dll", "DeleteObject", (void*)CountedDeleteObject);
    g_getDC = (decltype(g_getDC))RedirectImport(plugin, "USER32.dll", "GetDC", (void*)CountedGetDC);
    g_releaseDC = (decltype(g_releaseDC))RedirectImport(plugin, "USER32.dll", "ReleaseDC", (void*)CountedReleaseDC);
    g_loadMenuA = (decltype(g_loadMenuA))RedirectImport(plugin, "USER32.dll", "LoadMenuA", (void*)CountedLoadMenuA);
    g_destroyMenu = (decltype(g_destroyMenu))RedirectImport(plugin, "USER32.dll", "DestroyMenu", (void*)CountedDestroyMenu);
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*(int*)count;
    return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM count)
{
    ++*(int*)count;
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

int ThreadWindowCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren, (LPARAM)&count);
    return count;
}

/////////////////////////////////////////////////////////////////////////////
// Checks

void RandomWalk::CheckAll()
{
    CheckWindow();
    if (m_model.open && m_window != NULL)
        CheckList();
    CheckHost();
    CheckPanel();
    CheckObjectCounts();

    std::vector<std::string> shown;
    for (size_t i = m_boxesFrom; i < m_catcher.Boxes().size(); ++i)
    {
        const CapturedBox& box = m_catcher.Boxes()[i];
        shown.push_back(box.text.compare(0, strlen(HELP_START), HELP_START) == 0 ? HELP_START : box.text);
    }
    if (shown != m_expectedBoxes)
        Failure("message boxes shown:" + Bracketed(shown) + "; expected:" + Bracketed(m_expectedBoxes));
}

void RandomWalk::CheckWindow()
{
    std::vector<HWND> windows = FindToolWindows();
    if (windows.size() != (m_model.open ? 1u : 0u))
    {
        Failure(std::to_string(windows.size()) + " tool windows, expected " + (m_model.open ? "one" : "none"));
        return;
    }
    if (!m_model.open)
        return;
    auto expect = [this](bool expected, int id, const char* name) {
        if (IsEnabled(id) != expected)
            Failure(std::string(name) + (expected ? " disabled" : " enabled") + ", expected the opposite");
    };
    expect(m_model.paintFace, IDC_PAINT_FACE, "Paint face");
    expect(m_model.paintSelection, IDC_PAINT_SELECTION, "Paint selection");
    expect(m_model.clearAndModesEnabled, IDC_CLEAR_LIST, "Clear content");
    expect(m_model.clearAndModesEnabled, IDC_COPY_MATERIAL, "Copy material");
    expect(m_model.clearAndModesEnabled, IDC_PAINT_RANDOM, "Paint random");
    expect(m_model.clearAndModesEnabled, IDC_PAINT_INVISIBLE, "Paint invisible");
    expect(true, IDC_LOAD_LIST, "Faces | matIDs");
    expect(true, IDC_PAINT_ALL, "Paint all");
    expect(true, IDC_HELP_BUTTON, "Help");
    std::vector<int> modes = { m_model.copy, m_model.random, m_model.invisible };
    if (ModeBoxes() != modes)
        Failure("mode boxes " + std::to_string(CheckState(IDC_COPY_MATERIAL)) + std::to_string(CheckState(IDC_PAINT_RANDOM))
                + std::to_string(CheckState(IDC_PAINT_INVISIBLE)) + ", expected " + std::to_string(modes[0])
                + std::to_string(modes[1]) + std::to_string(modes[2]));
    std::string title = ItemText(IDC_LIST_TITLE);
    if (title == WAIT_TITLE)
        Failure("the title was left at \"Please wait...\"");
    if (GetCursor() == LoadCursor(NULL, IDC_WAIT))
        Failure("the wait cursor was left on");
    else if (title != m_model.title)
        Failure("title \"" + title + "\", expected \"" + m_model.title + "\"");
    if (ItemText(IDC_OBJECT_NAME) != m_model.label)
        Failure("object name \"" + ItemText(IDC_OBJECT_NAME).substr(0, 60) + "\", expected \"" + m_model.label.substr(0, 60) + "\"");
    if (g_watch.redrawOff)
        Failure("the list's redrawing was left off");
}

// Every entry of a short list; on a long one its ends, the current and the selected entries.
void RandomWalk::CheckList()
{
    int count = EntryCount();
    if (count != (int)m_model.texts.size())
    {
        Failure(std::to_string(count) + " entries listed, expected " + std::to_string(m_model.texts.size()));
        return;
    }
    std::set<int> entries;
    if (count <= 64)
        for (int i = 0; i < count; ++i)
            entries.insert(i);
    else
    {
        entries = { 0, count - 1, std::max(0, CaretNow()) };
        std::vector<int> selected = SelectedEntries();
        for (size_t i = 0; i < selected.size() && i < 64; ++i)
            entries.insert(selected[i]);
    }
    for (int i : entries)
    {
        if (EntryText(i) != m_model.texts[i])
            Failure("entry " + std::to_string(i) + " reads \"" + EntryText(i) + "\", expected \"" + m_model.texts[i] + "\"");
        if (EntryColour(i) != m_model.colours[i])
            Failure("entry " + std::to_string(i) + " has colour " + std::to_string(EntryColour(i)) + ", expected "
                    + std::to_string(m_model.colours[i]));
    }
}

void RandomWalk::CheckHost()
{
    ZvktBalance balance;
    zvktGetBalance(&balance);
    if (balance.materialsCreated != balance.materialsDestroyed || balance.materialsCreated != balance.materialsFreed)
        Failure("materials created " + std::to_string(balance.materialsCreated) + ", destroyed "
                + std::to_string(balance.materialsDestroyed) + ", freed " + std::to_string(balance.materialsFreed));
    if (balance.blocksAllocated != balance.blocksFreed)
        Failure("zvkCalloc blocks " + std::to_string(balance.blocksAllocated) + ", freed " + std::to_string(balance.blocksFreed));
    if (balance.shaderInfosCreated != balance.shaderInfosDestroyed)
        Failure("shader infos not destroyed");
    if (balance.badFrees != 0)
        Failure(std::to_string(balance.badFrees) + " unknown or repeated releases");

    // Face indices go only to the polyhedron selected now, and only within its faces.
    int faces = HostFaces();
    for (int i = 0; i < zvktJournalCount(); ++i)
    {
        const ZvktCall* call = zvktJournalAt(i);
        std::string name = call->function;
        bool facesCall = name == "zvkPolyhSelectFaces" || name == "zvkPolyhPaintFace" || name == "zvkPolyhPaint"
                         || name == "zvkPolyhGetMaterial";
        if (!facesCall)
            continue;
        if ((ZvkHandle)(UINT_PTR)call->args[0] != m_selection || !HostIsPolyhedron())
            Failure(name + " on an object that is not the selected polyhedron");
        if (name == "zvkPolyhPaintFace" && !IsFaceOf((int)call->args[1], faces))
            Failure("zvkPolyhPaintFace of face " + std::to_string(call->args[1]) + " of " + std::to_string(faces));
        if (name == "zvkPolyhSelectFaces")
        {
            if ((int)call->args[1] != faces)
                Failure("zvkPolyhSelectFaces with " + std::to_string((int)call->args[1]) + " elements for " + std::to_string(faces) + " faces");
            for (int k = 0; k < call->indexCount; ++k)
                if (!IsFaceOf((int)call->indices[k], faces))
                {
                    Failure("zvkPolyhSelectFaces of face " + std::to_string(call->indices[k]) + " of " + std::to_string(faces));
                    break;
                }
        }
    }

    if (m_hostFacesKnown && HostIsPolyhedron())
    {
        bool same = zvktSelectedFaceCount(m_selection) == (int)m_expectedHostFaces.size();
        for (int face : m_expectedHostFaces)
            same = same && zvktIsFaceSelected(m_selection, face);
        if (!same)
        {
            std::string expected;
            for (int face : m_expectedHostFaces)
                expected += " " + std::to_string(face);
            Failure(std::to_string(zvktSelectedFaceCount(m_selection)) + " faces selected in the host, expected {" + expected + " }");
        }
    }
}

// After the warm-up, the counts with the window open and with it closed stay where they were.
void RandomWalk::CheckObjectCounts()
{
    for (HGDIOBJ object : g_liveGdiObjects)
        if (GetObjectType(object) == 0)
            Failure("a GDI object the plug-in made vanished without its DeleteObject");
    if (g_liveDCs != 0)
        Failure(std::to_string(g_liveDCs) + " device contexts not released");
    for (HMENU menu : g_liveMenus)
        if (!IsMenu(menu))
            Failure("a menu the plug-in loaded vanished without its DestroyMenu");
    if (!g_liveMenus.empty())
        Failure(std::to_string(g_liveMenus.size()) + " menus the plug-in loaded are still alive after the action");
    int state = m_model.open ? (m_panel.open ? 2 : 1) : 0;
    int windows = ThreadWindowCount();
    int gdi = (int)g_liveGdiObjects.size();
    if (m_index < WARM_UP_ACTIONS)
        return;
    if (m_windowLevel[state] < 0)
    {
        m_windowLevel[state] = windows;
        m_gdiLevel[state] = gdi;
        return;
    }
    if (windows != m_windowLevel[state])
        Failure(std::to_string(windows) + " windows, " + std::to_string(m_windowLevel[state]) + " after the warm-up");
    if (gdi != m_gdiLevel[state])
        Failure(std::to_string(gdi) + " GDI objects of the plug-in alive, " + std::to_string(m_gdiLevel[state]) + " after the warm-up");
}

/////////////////////////////////////////////////////////////////////////////
// The face list's menu

// The menu on screen against the expected one, and what the walk did with it.
void RandomWalk::NoteMenuVisit()
{
    if (g_menu.chosen < 0)
        m_doing += g_menu.popups ? ", closed with Esc" : ", no menu";
    else
        m_doing += ", chose \"" + g_menu.items[g_menu.chosen].text + "\"" + (g_menu.items[g_menu.chosen].greyed ? " (greyed)" : "");
    if (g_menu.popups != (m_menu.opens ? 1 : 0))
        Failure(std::to_string(g_menu.popups) + " popup menus opened, expected " + (m_menu.opens ? "one" : "none"));
    if (g_menu.stuck)
        Failure("the menu was still open after the keys that close it");
    if (g_menu.popups == 1 && !(g_menu.items == m_menu.items))
    {
        std::string text = "menu items";
        for (const MenuItem& item : g_menu.items)
            text += " [" + item.text + (item.greyed ? " (greyed)]" : "]");
        text += ", expected";
        for (const MenuItem& item : m_menu.items)
            text += " [" + item.text + (item.greyed ? " (greyed)]" : "]");
        Failure(text);
    }
    if (g_menu.popups == 1 && g_menu.chosen < 0)
        ++m_reached["menu: dismissed"];
    else if (g_menu.chosen >= 0 && g_menu.items[g_menu.chosen].greyed)
        ++m_reached["menu: greyed item chosen"];
}

// One zvkPolyhSelectFaces call whose face-count-long array holds the chosen faces in list order
// and repeats the last (none when every entry is chosen), after the host's edit tool was closed.
void RandomWalk::CheckMenuSelectCall(const std::vector<int>& chosen, int count)
{
    std::vector<const ZvktCall*> calls = CallsNamed("zvkPolyhSelectFaces");
    if ((int)chosen.size() < count)
    {
        std::vector<unsigned> expected(chosen.begin(), chosen.end());
        expected.resize(count, expected.back());
        if (calls.size() != 1)
            Failure(std::to_string(calls.size()) + " zvkPolyhSelectFaces calls for a select item, expected one");
        else if (std::vector<unsigned>(calls[0]->indices, calls[0]->indices + calls[0]->indexCount) != expected)
            Failure("zvkPolyhSelectFaces array is not the chosen faces with the last repeated to the face count");
        else if (!(CallPosition("zvkCurrobjEditToolClose") < CallPosition("zvkPolyhSelectFaces")))
            Failure("the host's edit tool not closed before the faces were selected");
    }
    else if (!calls.empty())
        Failure("zvkPolyhSelectFaces called with every entry chosen");
    if (!(CallPosition("zvkCurrobjEditToolClose") < CallPosition("zvkCurrobjRefresh")))
        Failure("the host not closed and refreshed around the select item");
}

/////////////////////////////////////////////////////////////////////////////
// Undo and redo

// The faces the command reached have the index on the other side of the paint (the host finds the
// slot equal to the material; an index that names no slot cannot be given back), unless changed
// since; every other face is as it was. One material per index painted (and the one the host
// failed), after the edit tool was closed. In a list of this polyhedron the entries show the
// index, in the list the paint went through with the colour of that side of the paint; the
// selection, the focus rectangle and the editor's material stay.
void RandomWalk::CheckHistoryCommand(const ModelStep& done, bool undo, int creates)
{
    std::vector<int> expected = m_facesBefore;
    bool ownList = ListUpToDate();
    for (const ModelFace& face : done.faces)
    {
        if (m_facesBefore[face.face] != (undo ? face.after : face.before))
            continue;
        int index = undo ? face.before : face.after;
        expected[face.face] = index < zvktSlotCount(m_selection) ? index : -1;
        if (ownList)
            m_model.texts[face.face] = std::to_string(face.face) + " | " + std::to_string(zvktFaceMaterialIndex(m_selection, face.face));
        COLORREF colour = undo ? face.entryBefore : face.entryAfter;
        if (!ownList || done.generation != m_generation)
            continue;
        m_reached["entry colours given back"] += m_model.colours[face.face] != colour;
        m_model.colours[face.face] = colour;
    }
    for (size_t face = 0; face < expected.size(); ++face)
        if (expected[face] >= 0 && zvktFaceMaterialIndex(m_selection, (int)face) != expected[face])
            return Failure("face " + std::to_string(face) + " has material " + std::to_string(zvktFaceMaterialIndex(m_selection, (int)face))
                           + " after " + (undo ? "an undo" : "a redo") + ", expected " + std::to_string(expected[face]));
    // The command's own calls end with the host refreshed; the materials panel reads after that.
    int end = m_commandCalls.first;
    for (int i = m_commandCalls.first; i < m_commandCalls.second && i < zvktJournalCount(); ++i)
        if (std::string(zvktJournalAt(i)->function) == "zvkAllViewRefreshSelObject")
            end = i + 1;
    int calls = 0, firstPaint = end, closed = end;
    for (int i = m_commandCalls.first; i < end; ++i)
    {
        std::string name = zvktJournalAt(i)->function;
        calls += name == "zvkMaterialCreate";
        firstPaint = name == "zvkPolyhPaintFace" ? std::min(firstPaint, i) : firstPaint;
        closed = name == "zvkCurrobjEditToolClose" ? std::min(closed, i) : closed;
    }
    if (calls != creates || closed > firstPaint)
        Failure(std::to_string(calls) + " materials made for " + std::to_string(creates) + " indices, or the edit tool not closed first");
    if (SelectedEntries() != m_selectionBefore || FocusNow() != m_focusBefore || ColourText(EditorColour()) != ColourText(m_editorBefore.colour))
        Failure("the selection, the focus rectangle or the editor's material changed by an undo or a redo");
}

/////////////////////////////////////////////////////////////////////////////
// The materials panel

// The panel as the model has it: owned by the tool window, its title, state line, rows, total
// and "To editor" greyed unless a row of a material is current in an up-to-date panel.
void RandomWalk::CheckPanel()
{
    HWND panel = FindMaterialsPanel();
    if ((panel != NULL) != m_panel.open)
    {
        Failure(std::string(panel != NULL ? "a" : "no") + " materials panel, expected " + (m_panel.open ? "one" : "none"));
        return;
    }
    if (panel == NULL)
        return;
    if (GetWindow(panel, GW_OWNER) != m_window)
        Failure("the materials panel is not owned by the tool window");
    if (WindowText(panel) != m_panel.title)
        Failure("panel title \"" + WindowText(panel).substr(0, 60) + "\", expected \"" + m_panel.title.substr(0, 60) + "\"");
    if (WindowText(GetDlgItem(panel, IDC_MATERIALS_STATE)) != (m_panel.greyed ? OUT_OF_DATE : ""))
        Failure("panel state line \"" + WindowText(GetDlgItem(panel, IDC_MATERIALS_STATE)) + "\"");
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    std::vector<std::string> shown = ListTexts(rows);
    if (shown != m_panel.rows)
        Failure("panel rows" + Bracketed(shown) + ", expected" + Bracketed(m_panel.rows));
    if (WindowText(GetDlgItem(panel, IDC_MATERIALS_TOTAL)) != m_panel.total)
        Failure("panel total \"" + WindowText(GetDlgItem(panel, IDC_MATERIALS_TOTAL)) + "\", expected \"" + m_panel.total + "\"");
    int current = (int)SendMessageA(rows, LB_GETCURSEL, 0, 0);
    auto highlight = std::find(m_panel.materials.begin(), m_panel.materials.end(), m_panel.current);
    int expected = highlight == m_panel.materials.end() ? -1 : (int)(highlight - m_panel.materials.begin());
    if (current != expected)
        Failure("panel row " + std::to_string(current) + " highlighted, expected " + std::to_string(expected)
                + ", the row of matID " + std::to_string(m_panel.current));
    bool toEditor = !m_panel.greyed && current >= 0 && current < (int)m_panel.materials.size();
    const struct { int id; const char* name; bool enabled; } buttons[] = {
        { IDC_TO_EDITOR, "To editor", toEditor }, { IDC_REPLACE, "Replace", toEditor },
        { IDC_ASSIGN, "Assign", toEditor && m_panel.entriesSelected },
    };
    for (const auto& button : buttons)
        if ((IsWindowEnabled(GetDlgItem(panel, button.id)) != 0) != button.enabled)
            Failure(std::string("\"") + button.name + "\" " + (button.enabled ? "greyed" : "enabled") + ", expected the opposite");
}

} // namespace walk
