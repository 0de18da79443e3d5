// The random walk's model: what the tool window, the host and the materials panel should show,
// fed by the commands that actually reached the dialog during an action.
#include "randomwalk/Model.h"

#include <fstream>

namespace walk {

/////////////////////////////////////////////////////////////////////////////
// The model

// A command the model follows; the others (an edit box's notifications, say) may arrive from
// inside a handler.
static bool IsFollowed(const WindowWatch::Command& command)
{
    int code = HIWORD(command.wParam);
    return command.message == WM_CLOSE || command.message == WM_TIMER
        || (LOWORD(command.wParam) == IDC_FACE_LIST && code == LBN_SELCHANGE) || code == BN_CLICKED;
}

void RandomWalk::ApplyCommands(const std::vector<WindowWatch::Command>& commands)
{
    for (size_t i = 0; i < commands.size(); ++i)
    {
        const WindowWatch::Command& command = commands[i];
        if (!IsFollowed(command))
            continue;
        int id = LOWORD(command.wParam);
        int code = HIWORD(command.wParam);
        size_t next = i + 1;
        while (next < commands.size() && !IsFollowed(commands[next]))
            ++next;
        m_commandCalls = { command.journalAt, next < commands.size() ? commands[next].journalAt : zvktJournalCount() };
        if (command.message == WM_TIMER)
            ApplyFollowTick(m_commandCalls.second > m_commandCalls.first);
        else if (command.message == WM_CLOSE)
            ApplyClose();
        else if (id == ID_UNDO_PAINT || id == ID_REDO_PAINT)
            ApplyHistoryCommand(id);
        else if (id == IDC_FACE_LIST && code == LBN_SELCHANGE)
            ApplySelectionChange();
        else if (id >= ID_FACES_OUT_OF_DATE && id <= ID_COPY_SELECTED && command.wParam == (WPARAM)id)
            ApplyMenuCommand(id);
        else if (command.wParam == ID_FOLLOW_HOST)
        {
            m_menu.acted = m_menu.active;
            ApplyFollowToggle();
        }
        else if (command.wParam == ID_MATERIALS)
        {
            m_menu.acted = m_menu.active;
            ApplyMaterialsCommand();
        }
        else
            ApplyButton(id);
        // The panel follows every load, paint and selection change of the list (and an undo or
        // redo that acted: ApplyHistoryCommand).
        static const std::set<WPARAM> refreshing = { IDC_LOAD_LIST, IDC_CLEAR_LIST, IDC_PAINT_FACE, IDC_PAINT_SELECTION,
            IDC_PAINT_ALL, ID_SELECT_MATERIAL, ID_SELECT_PAINTED, ID_SELECT_TO_DO, MAKEWPARAM(IDC_FACE_LIST, LBN_SELCHANGE) };
        if (command.message == WM_COMMAND && refreshing.count(command.wParam))
            ApplyPanelRefresh();
    }
    if (m_menu.active)
        FinishMenu();
}

// The list emptied by the plug-in, and the host's face selection with it (the edit tool closed).
void RandomWalk::ApplyEmptied(bool hostToldToClose)
{
    ++m_generation;
    m_model.texts.clear();
    m_model.colours.clear();
    m_model.paintFace = m_model.paintSelection = false;
    m_model.hostHasListSelection = false;
    m_model.source = NULL;
    if (hostToldToClose && HostIsPolyhedron())
    {
        m_hostFacesKnown = true;
        m_expectedHostFaces.clear();
    }
}

void RandomWalk::ApplyButton(int id)
{
    switch (id)
    {
    case IDC_LOAD_LIST:
        ApplyLoad();
        break;
    case IDC_CLEAR_LIST:
        ++m_reached["list cleared"];
        ApplyEmptied(true);
        m_model.title = EMPTY_TITLE;
        m_model.label.clear();
        break;
    case IDC_COPY_MATERIAL:
        ++m_reached["mode box switched"];
        m_model.copy = !m_model.copy;
        m_model.random = 0;
        break;
    case IDC_PAINT_INVISIBLE:
        ++m_reached["mode box switched"];
        m_model.invisible = !m_model.invisible;
        m_model.random = 0;
        break;
    case IDC_PAINT_RANDOM:
        ++m_reached["mode box switched"];
        m_model.random = !m_model.random;
        m_model.copy = m_model.invisible = 0;
        break;
    case IDC_PAINT_FACE:
        ApplyPaint(false);
        break;
    case IDC_PAINT_SELECTION:
        ApplyPaint(true);
        break;
    case IDC_PAINT_ALL:
        if (HostIsPolyhedron())
        {
            ++m_reached["polyhedron painted"];
            // Faces past 65,535 cannot be given back one by one: such a press is not kept.
            std::vector<int> faces;
            for (int face = 0; HostFaces() <= FACE_LIMIT && face < HostFaces(); ++face)
                faces.push_back(face);
            RecordStep(faces, std::vector<COLORREF>(faces.size(), 0), 0);
            ApplyEmptied(true);
        }
        break;
    case IDC_HELP_BUTTON:
        ++m_reached["help shown"];
        m_expectedBoxes.push_back(HELP_START);
        break;
    default:
        break;
    }
}

// A command from an item the menu showed greyed, or from no menu at all, must change nothing.
void RandomWalk::ApplyMenuCommand(UINT id)
{
    const MenuItem* item = NULL;
    for (const MenuItem& known : m_menu.items)
        if (known.id == id)
            item = &known;
    if (!m_menu.active || item == NULL || item->greyed || m_menu.acted)
        return;
    m_menu.acted = true;
    if (id == ID_COPY_LIST || id == ID_COPY_SELECTED)
        ApplyMenuCopy(id);
    else
        ApplyMenuSelect(id);
}

// The entries a select item chooses: those of the menu entry's material, the painted or the
// still-to-do ones.
void RandomWalk::ApplyMenuSelect(UINT id)
{
    int count = (int)m_model.texts.size();
    std::vector<int> chosen;
    for (int i = 0; i < count; ++i)
        if (id == ID_SELECT_MATERIAL ? zvktFaceMaterialIndex(m_selection, i) == m_menu.material
                                     : (m_model.colours[i] != 0) == (id == ID_SELECT_PAINTED))
            chosen.push_back(i);
    if (chosen.empty())
    {
        Failure("an enabled select item with no entry to choose");
        return;
    }
    ++m_reached[id == ID_SELECT_MATERIAL ? "menu: select by material" : id == ID_SELECT_PAINTED ? "menu: select painted"
                                                                                               : "menu: select to do"];
    int n = (int)chosen.size();
    if (n == count)
        ++m_reached["menu: every entry chosen"];
    ApplyChosenSelected(chosen, id == ID_SELECT_MATERIAL ? m_menu.entry : chosen.front(), m_menu.selectedBefore);
}

// What the menu's select items and the panel's rows do: exactly the chosen entries selected, in
// the list and with one host call, then what a selection change gives; with the list as it was
// before when the host gives no array.
void RandomWalk::ApplyChosenSelected(const std::vector<int>& chosen, int current, const std::vector<int>& before)
{
    int count = (int)m_model.texts.size();
    int n = (int)chosen.size();
    if (n < count && ArrayRefused())
    {
        ApplyMenuSelectWithoutArray(before);
        return;
    }

    std::vector<int> selected = SelectedEntries();
    if (selected != chosen)
        Failure(std::to_string(selected.size()) + " entries selected (first " + (selected.empty() ? "none" : std::to_string(selected[0]))
                + "), expected " + std::to_string(n) + " (first " + std::to_string(chosen[0]) + ")");
    int caret = (int)SendMessageA(m_list, LB_GETCARETINDEX, 0, 0);
    if (caret != current)
        Failure("current entry " + std::to_string(caret) + " after the select item, expected " + std::to_string(current));
    RECT first = {}, client;
    SendMessageA(m_list, LB_GETITEMRECT, chosen.front(), (LPARAM)&first);
    GetClientRect(m_list, &client);
    if (first.top < client.top || first.bottom > client.bottom)
        Failure("the first chosen entry, " + std::to_string(chosen.front()) + ", is not in view");

    CheckMenuSelectCall(chosen, count);

    m_model.paintFace = n == 1;
    m_model.paintSelection = n >= 2 && n < count;
    m_model.title = LIST_TITLE;
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
    if (n < count)
        m_expectedHostFaces.insert(chosen.begin(), chosen.end());
    m_model.hostHasListSelection = !m_expectedHostFaces.empty();
}

// The host gave no array for the one call: the list stays as it was, buttons and title too, and
// the host's selection is empty (its edit tool was closed first).
void RandomWalk::ApplyMenuSelectWithoutArray(const std::vector<int>& before)
{
    ++m_reached["menu: select without the host's array"];
    if (SelectedEntries() != before)
        Failure("a select item changed the list's selection though the host gave no array");
    if (!CallsNamed("zvkPolyhSelectFaces").empty())
        Failure("zvkPolyhSelectFaces called without the host's array");
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
}

// Every entry, or the selected ones, as lines of face, material and paint state; the material
// read from the host while the list is up to date, as the entry shows it otherwise.
void RandomWalk::ApplyMenuCopy(UINT id)
{
    ++m_reached[id == ID_COPY_LIST ? "menu: copy list" : "menu: copy selected"];
    std::vector<int> positions = m_menu.selectedBefore;
    if (id == ID_COPY_LIST)
    {
        positions.clear();
        for (int i = 0; i < (int)m_model.texts.size(); ++i)
            positions.push_back(i);
    }
    std::string expected;
    for (int entry : positions)
    {
        const std::string& text = m_model.texts[entry];
        int face = atoi(text.c_str());
        std::string material = text.substr(text.find('|') + 2);
        if (m_menu.upToDate)
            material = std::to_string(zvktFaceMaterialIndex(m_selection, face));
        COLORREF colour = m_model.colours[entry];
        expected += std::to_string(face) + "\t" + material + "\t"
                    + (colour == 0 ? "to do" : colour == CLR_PAINTED_INVISIBLE ? "invisible" : "painted") + "\r\n";
    }
    // Another program's clipboard is left alone, and the user told so.
    if (m_menu.clipboardHeld)
    {
        ++m_reached["menu: copy with the clipboard held"];
        m_expectedBoxes.push_back(CLIPBOARD_IN_USE);
        expected = CLIPBOARD_BEFORE;
    }
    std::string copied = ClipboardText();
    if (copied != expected)
    {
        size_t at = 0;
        while (at < copied.size() && at < expected.size() && copied[at] == expected[at])
            ++at;
        Failure("clipboard has " + std::to_string(LineCount(copied)) + " lines, expected " + std::to_string(LineCount(expected))
                + "; first difference at byte " + std::to_string(at));
    }
}

// After a menu that chose nothing enabled: no selection change, no host call but questions,
// the clipboard as it was. Copy items only ask the host too.
void RandomWalk::FinishMenu()
{
    m_menu.active = false;
    bool chosenEnabled = g_menu.chosen >= 0 && !g_menu.items[g_menu.chosen].greyed;
    if (chosenEnabled && !m_menu.acted)
        Failure("no command arrived from the enabled item \"" + g_menu.items[g_menu.chosen].text + "\"");
    UINT acted = chosenEnabled ? g_menu.items[g_menu.chosen].id : 0;
    if (acted == ID_SELECT_MATERIAL || acted == ID_SELECT_PAINTED || acted == ID_SELECT_TO_DO || acted == ID_MATERIALS
        || acted == ID_UNDO_PAINT || acted == ID_REDO_PAINT || acted == ID_FOLLOW_HOST)
        return;
    for (const std::string& name : CallNames())
        if (!IsHostQuestion(name))
        {
            Failure("the menu called " + name + " without a select item chosen");
            break;
        }
    if (acted == 0 && SelectedEntries() != m_menu.selectedBefore)
        Failure("the selection changed without a select item chosen");
    if (acted == 0 && ClipboardText() != CLIPBOARD_BEFORE)
        Failure("the clipboard changed without a copy item chosen");
}

void RandomWalk::ApplyLoad()
{
    ++m_generation;
    m_model.hostHasListSelection = false;
    m_model.source = NULL;
    m_model.texts.clear();
    m_model.colours.clear();
    if (!HostIsPolyhedron())
    {
        ++m_reached["load refused: not a polyhedron"];
        m_expectedBoxes.push_back(SELECT_POLYHEDRON);
        return;
    }
    ApplyEmptied(true);
    FillModelFromHost();
    if (m_model.title == REFUSED_TITLE)
    {
        ++m_reached["load refused: face limit"];
        m_expectedBoxes.push_back(TOO_MANY_FACES);
        return;
    }
    ++m_reached["list loaded"];
}

// What a load shows of the selected polyhedron, listed or refused at the face limit.
void RandomWalk::FillModelFromHost()
{
    m_model.clearAndModesEnabled = true;
    m_model.random = 0;
    m_model.label = HostName();
    m_model.source = m_selection;
    int faces = m_model.sourceFaces = HostFaces();
    if (faces >= FACE_LIMIT)
    {
        m_model.title = REFUSED_TITLE;
        return;
    }
    m_model.title = LIST_TITLE;
    for (int face = 0; face < faces; ++face)
        m_model.texts.push_back(std::to_string(face) + " | " + std::to_string(zvktFaceMaterialIndex(m_selection, face)));
    m_model.colours.assign(faces, 0);
}

// The host's allocator gave the command being applied no face-index array.
bool RandomWalk::ArrayRefused() const
{
    for (int i = m_commandCalls.first; i < m_commandCalls.second && i < zvktJournalCount(); ++i)
        if (strcmp(zvktJournalAt(i)->function, "zvkCalloc") == 0 && zvktJournalAt(i)->result == 0)
            return true;
    return false;
}


void RandomWalk::ApplySelectionChange()
{
    m_model.hostHasListSelection = false;
    if (!HostIsPolyhedron())
        return;
    if (m_model.label != HostName())
    {
        ++m_reached["list rebuilt for another name"];
        ApplyLoad();
    }
    int selected = SelCountNow();
    int count = EntriesNow();
    int faces = HostFaces();
    ++m_reached[selected == 1 ? "one entry selected" : selected == 0 ? "no entry selected"
                : selected == count ? "every entry selected" : "several entries selected"];
    if (count > faces)
        ++m_reached["entry beyond the host's faces skipped"];
    m_model.paintFace = selected == 1;
    m_model.paintSelection = selected >= 2 && selected != count;
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
    // Without its array the host selects nothing; the edit tool closed has emptied its selection.
    if (ArrayRefused())
    {
        ++m_reached["selection without the host's array"];
        return;
    }
    if (selected == 1 && CaretNow() >= 0)
    {
        int face = atoi(EntryText(CaretNow()).c_str());
        if (IsFaceOf(face, faces))
            m_expectedHostFaces.insert(face);
    }
    if (selected >= 2 && selected != count)
        for (int entry : SelectedEntries())
        {
            int face = atoi(EntryText(entry).c_str());
            if (IsFaceOf(face, faces))
                m_expectedHostFaces.insert(face);
        }
    m_model.hostHasListSelection = !m_expectedHostFaces.empty();
    if (selected >= 2)
        m_model.title = LIST_TITLE;
}

void RandomWalk::ApplyPaint(bool selection)
{
    if (!HostIsPolyhedron())
        return;
    if (m_model.random && m_editorBefore.textureType == ZVK_TEXTURE_GLOBAL)
    {
        ++m_reached["global texture refused"];
        m_expectedBoxes.push_back(GLOBAL_TEXTURE);
        return;
    }
    COLORREF colour = m_model.invisible ? CLR_PAINTED_INVISIBLE : CLR_PAINTED;
    int faces = HostFaces();
    if (!selection)
    {
        int current = CaretNow();
        int face = current >= 0 ? atoi(EntryText(current).c_str()) : -1;
        if (current < 0 || !IsFaceOf(face, faces))
            return;
        bool listed = face < (int)m_model.colours.size();
        RecordStep({ face }, { listed ? m_model.colours[face] : 0 }, colour);
        if (listed)
        {
            ++m_reached["face painted"];
            m_model.colours[face] = colour;
        }
        return;
    }
    if (SelectedEntries().size() >= 2)
        ++m_reached["selection painted"];
    std::vector<int> painted;
    std::vector<COLORREF> before;
    for (int entry : SelectedEntries())
        if (IsFaceOf(atoi(EntryText(entry).c_str()), faces) && entry < (int)m_model.colours.size())
        {
            painted.push_back(atoi(EntryText(entry).c_str()));
            before.push_back(m_model.colours[entry]);
            m_model.colours[entry] = colour;
        }
    RecordStep(painted, before, colour);
    m_model.title = LIST_TITLE;
}

void RandomWalk::ApplyClose()
{
    ++m_reached["window closed"];
    ApplyEmptied(true);
    m_model = WindowModel();
    if (m_panel.open)
        ++m_reached["panel closed with the tool window"];
    m_panel = PanelModel();
}

/////////////////////////////////////////////////////////////////////////////
// Undo and redo

// What an action starts from: the editor's material, the selected polyhedron's material indices,
// the list's selection and focus rectangle; whether the action before made a step.
void RandomWalk::NoteBeforeAction()
{
    m_editorBefore = EditorMaterial();
    m_facesBefore.clear();
    for (int face = 0; HostIsPolyhedron() && face < HostFaces(); ++face)
        m_facesBefore.push_back(zvktFaceMaterialIndex(m_selection, face));
    m_selectionBefore = m_list ? SelectedEntries() : std::vector<int>();
    m_focusBefore = m_list ? FocusNow() : -1;
    m_createsBeforeFault = -1;
    m_paintedJustNow = m_stepRecorded;
    m_stepRecorded = false;
}

// A paint that changed a face is a step; the steps undone before it go. The history's bound of
// 16 MB is test_plaincode's: a walk never undoes thirty steps in a row to reach a step it drops.
void RandomWalk::RecordStep(const std::vector<int>& faces, const std::vector<COLORREF>& entryBefore, COLORREF entryAfter)
{
    ModelStep step = { HostName(), HostFaces(), m_generation, {} };
    bool changed = false;
    for (size_t i = 0; i < faces.size(); ++i)
    {
        int before = m_facesBefore[faces[i]], after = zvktFaceMaterialIndex(m_selection, faces[i]);
        step.faces.push_back({ faces[i], before, after, entryBefore[i], entryAfter });
        changed = changed || before != after;
    }
    if (!changed)
        return;
    m_undone.clear();
    m_done.push_back(step);
    m_stepRecorded = true;
    TrimHistory();
}

// At most 100 steps, the one farthest from the present dropped first.
void RandomWalk::TrimHistory()
{
    while (m_done.size() + m_undone.size() > 100)
    {
        std::vector<ModelStep>& side = m_done.empty() ? m_undone : m_done;
        side.erase(side.begin());
    }
}

// The latest step of a side is for the polyhedron selected now: the same full name and face count.
bool RandomWalk::IsStepSelected(const std::vector<ModelStep>& side) const
{
    return !side.empty() && HostIsPolyhedron() && HostName() == side.back().name && HostFaces() == side.back().faceCount;
}

// The latest step's faces, a group per index they get, ascending: a face not at the index the
// step left (changed since) stays; a group with a face to paint takes one material, and a create
// the host fails stops there: that group and the later ones stay on their side, a step of their own.
void RandomWalk::ApplyHistoryCommand(UINT id)
{
    bool undo = id == ID_UNDO_PAINT;
    std::vector<ModelStep>& from = undo ? m_done : m_undone;
    m_menu.acted = m_menu.acted || m_menu.active;
    if (!IsStepSelected(from))
    {
        ++m_reached["undo or redo with nothing to act on"];
        for (int i = m_commandCalls.first; i < m_commandCalls.second && i < zvktJournalCount(); ++i)
            if (!IsHostQuestion(zvktJournalAt(i)->function))
                return Failure(std::string("an undo or redo with nothing to act on called ") + zvktJournalAt(i)->function);
        return;
    }
    m_hostFacesKnown = true;   // the edit tool closed has emptied the host's face selection
    m_expectedHostFaces.clear();
    ModelStep step = from.back(), done = step, rest = step;
    from.pop_back();
    done.faces.clear();
    rest.faces.clear();
    std::map<int, std::vector<ModelFace>> groups;
    for (const ModelFace& face : step.faces)
        groups[undo ? face.before : face.after].push_back(face);
    int changed = 0, made = 0;
    for (const auto& group : groups)
    {
        int toPaint = 0, groupChanged = 0;
        for (const ModelFace& face : group.second)
        {
            int left = m_facesBefore[face.face] != (undo ? face.after : face.before);
            groupChanged += left;
            toPaint += !left && group.first != (undo ? face.after : face.before);
        }
        bool stopped = !rest.faces.empty() || (toPaint > 0 && made == m_createsBeforeFault);
        std::vector<ModelFace>& side = stopped ? rest.faces : done.faces;
        side.insert(side.end(), group.second.begin(), group.second.end());
        changed += stopped ? 0 : groupChanged;
        made += !stopped && toPaint > 0;
    }
    CheckHistoryCommand(done, undo, made + !rest.faces.empty());
    int total = (int)step.faces.size(), reached = (int)done.faces.size();
    std::string text = changed > 0 ? ChangedSinceText(changed) : "";
    if (reached < total)
        text = (reached == 0 ? NothingRestoredText(undo) : RestoredPartlyText(undo, reached, total)) + (changed ? " " : "") + text;
    if (!text.empty())
        m_expectedBoxes.push_back(text);
    m_reached[undo ? "paint undone" : "paint redone"] += reached > 0;
    m_reached["undo or redo stopped by the host"] += reached < total;
    m_reached["faces changed since left alone"] += changed > 0;
    (reached > 0 ? (undo ? m_undone : m_done) : from).push_back(reached > 0 ? done : step);
    if (reached > 0 && !rest.faces.empty())
        from.push_back(rest);
    TrimHistory();
    // The panel reads the slots last, into one material: the host's failure, when the command
    // left it pending, falls on that one.
    ApplyPanelRefresh(!(rest.faces.empty() && made == m_createsBeforeFault));
}

/////////////////////////////////////////////////////////////////////////////
// The face list's menu

// The menu as the selection rules give it for the list and the host as they are now.
void RandomWalk::PredictMenu()
{
    int count = (int)m_model.texts.size();
    m_menu.upToDate = ListUpToDate();
    m_menu.material = m_menu.upToDate && m_menu.entry >= 0 ? zvktFaceMaterialIndex(m_selection, m_menu.entry) : -1;
    if (m_menu.opens && !m_menu.upToDate && count > 0)
        ++m_reached["menu: out of date"];
    bool painted = false, toDo = false;
    for (COLORREF colour : m_model.colours)
        (colour != 0 ? painted : toDo) = true;
    std::vector<MenuItem>& items = m_menu.items;
    if (!m_menu.upToDate)
        items.push_back({ ID_FACES_OUT_OF_DATE, OUT_OF_DATE, true });
    items.push_back({ ID_SELECT_MATERIAL,
                      m_menu.material >= 0 ? SelectMaterial(m_menu.material) : SELECT_MATERIAL,
                      m_menu.material < 0 });
    items.push_back({ ID_SELECT_PAINTED, SELECT_PAINTED, !(m_menu.upToDate && painted) });
    items.push_back({ ID_SELECT_TO_DO, SELECT_TO_DO, !(m_menu.upToDate && toDo) });
    items.push_back({ ID_MATERIALS, MATERIALS_ITEM, !(m_menu.upToDate && count > 0) });
    items.push_back({ ID_FOLLOW_HOST, FOLLOW_ITEM, false });
    items.push_back({ ID_COPY_LIST, COPY_LIST, count == 0 });
    items.push_back({ ID_COPY_SELECTED, COPY_SELECTED, m_menu.selectedBefore.empty() });
    items.push_back({ ID_UNDO_PAINT, UndoPaintText(m_done.empty() ? -1 : (int)m_done.back().faces.size()),
                      !IsStepSelected(m_done) });
    items.push_back({ ID_REDO_PAINT, RedoPaintText(m_undone.empty() ? -1 : (int)m_undone.back().faces.size()),
                      !IsStepSelected(m_undone) });
}

/////////////////////////////////////////////////////////////////////////////
// The materials panel

bool RandomWalk::ListUpToDate() const
{
    return HostIsPolyhedron() && HostName() == m_model.label && HostFaces() == (int)m_model.texts.size();
}

// "Materials..." or Ctrl+M: the panel opens, or comes forward, refreshed, for a list of the
// selected polyhedron that has entries; otherwise nothing happens.
void RandomWalk::ApplyMaterialsCommand()
{
    if (!ListUpToDate() || m_model.texts.empty())
    {
        ++m_reached["Ctrl+M with nothing to show"];
        return;
    }
    ++m_reached[m_panel.open ? "panel brought forward" : "panel opened"];
    m_panel.open = true;
    ApplyPanelRefresh();
    if (GetActiveWindow() != FindMaterialsPanel())
        Failure("the panel is not the active window after it was asked for");
}

std::string CountWords(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The listed polyhedron's faces counted by material index, each row's colour the slot's as the
// host answers into the one material the panel makes (a copy of the editor's, which an index
// outside the table leaves as the row before left it); or, out of date, the rows as they were.
// Without colours (the host made no material) no row can say "invisible".
void RandomWalk::ApplyPanelRefresh(bool colours, bool readsSlots)
{
    if (!m_panel.open)
        return;
    m_panel.entriesSelected = SelCountNow() > 0;
    m_panel.greyed = !ListUpToDate();
    if (m_panel.greyed)
    {
        ++m_reached["panel greyed"];
        return;
    }
    int faces = HostFaces();
    std::map<int, int> counts;
    std::set<int> painted;
    for (int face = 0; face < faces; ++face)
    {
        int material = zvktFaceMaterialIndex(m_selection, face);
        ++counts[material];
        if (m_model.colours[face] != 0)
            painted.insert(material);
    }
    std::vector<int> before = m_panel.materials;
    // A recount that reads no slot keeps what each row of the same polyhedron showed; rows new to
    // it, and every row of another polyhedron, show no colour.
    std::map<int, bool> known;
    if (!readsSlots && m_panel.title == MATERIALS_PANEL_CAPTION + m_model.label)
        known = m_panel.invisible;
    m_panel.invisible.clear();
    m_panel.rows.clear();
    m_panel.materials.clear();
    ZvkColor colour = EditorColour();
    for (const auto& count : counts)
    {
        if (count.first < zvktSlotCount(m_selection))
            colour = SlotColour(m_selection, count.first);
        bool invisible = readsSlots ? colours && colour.a == 0 : known[count.first];
        m_panel.invisible[count.first] = invisible;
        bool paint = painted.count(count.first) > 0;
        int tenths = (int)std::floor(count.second * 1000.0 / faces + 0.5);
        m_panel.rows.push_back("matID " + std::to_string(count.first) + "\t" + CountWords(count.second, "face", "faces")
                               + "\t" + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %\t"
                               + (invisible && paint ? "invisible, painted here" : invisible ? "invisible" : paint ? "painted here" : ""));
        m_panel.materials.push_back(count.first);
    }
    m_panel.total = CountWords(faces, "face", "faces") + ", " + CountWords(counts.size(), "material", "materials");
    m_panel.title = MATERIALS_PANEL_CAPTION + m_model.label;
    // The highlight follows its material to its new row; without it (or none before), the first row.
    auto rowOf = [this](const std::vector<int>& rows) { return std::find(rows.begin(), rows.end(), m_panel.current) - rows.begin(); };
    if (rowOf(m_panel.materials) == (int)m_panel.materials.size())
        m_panel.current = m_panel.materials.empty() ? -1 : m_panel.materials.front();
    else
        m_reached["panel: highlight moved with its material"] += rowOf(before) != rowOf(m_panel.materials);
}

// A row acts only while the panel shows it up to date and the list still is; otherwise the
// panel refreshes and nothing else happens. The row of the faces without record does nothing.
void RandomWalk::ApplyPanelAction(bool select, int row, const std::vector<int>& before)
{
    bool mayAct = !m_panel.greyed && ListUpToDate();
    int material = row >= 0 && row < (int)m_panel.materials.size() ? m_panel.materials[row] : -1;
    if (mayAct && material >= 0 && select)
    {
        ++m_reached["panel: faces of a material selected"];
        std::vector<int> chosen;
        for (int face = 0; face < HostFaces(); ++face)
            if (zvktFaceMaterialIndex(m_selection, face) == material)
                chosen.push_back(face);
        ApplyChosenSelected(chosen, chosen.front(), before);
        ApplyPanelRefresh();
        return;
    }
    if (mayAct && material >= 0)
    {
        ++m_reached["panel: material to the editor"];
        ZvkColor expected = material < zvktSlotCount(m_selection) ? SlotColour(m_selection, material) : m_editorBefore.colour;
        if (ColourText(EditorColour()) != ColourText(expected))
            Failure("the editor shows " + ColourText(EditorColour()) + " after \"To editor\", expected " + ColourText(expected));
        return;
    }
    if (!mayAct)
    {
        ++m_reached["panel: refused while out of date"];
        ApplyPanelRefresh();
    }
    ExpectNoPanelAct("a panel row that may not act");
}

void RandomWalk::ExpectNoPanelAct(const char* what)
{
    for (const char* acting : { "zvkPolyhSelectFaces", "zvkMaterialSetActive", "zvkCurrobjEditToolClose", "zvkPolyhPaintFace" })
        if (!CallsNamed(acting).empty())
        {
            Failure(std::string(what) + " called " + acting);
            break;
        }
}

static bool SameMaterial(const ZvktMaterial& a, const ZvktMaterial& b)
{
    return memcmp(&a.colour, &b.colour, sizeof a.colour) == 0 && a.textureType == b.textureType && a.shaderBox == b.shaderBox
        && a.shader == b.shader;
}

// "Assign": the selected entries' faces that read another index; "Replace": every face of the
// row's index. They get the slot's material (the editor's for an index outside the table) or what
// the editor shows afterwards, which the host files under its first equal slot or a new one; the
// entries show that index, red for an invisible material; one step; the selections kept (the
// host's given back after the edit tool emptied it). Nothing to change, no material from the host
// (its first create) or a global texture in random mode: nothing painted.
void RandomWalk::ApplyPanelPaint(bool assign, int row, bool noMaterial)
{
    bool mayAct = !m_panel.greyed && ListUpToDate();
    int material = row >= 0 && row < (int)m_panel.materials.size() ? m_panel.materials[row] : -1;
    if (!mayAct)
    {
        ++m_reached["panel: refused while out of date"];
        ApplyPanelRefresh(!noMaterial);
        return ExpectNoPanelAct("an out-of-date panel's paint");
    }
    int faces = HostFaces();
    std::vector<int> selected = SelectedEntries(), targets;
    for (int face = 0; material >= 0 && face < faces; ++face)
        if (assign ? m_facesBefore[face] != material && std::binary_search(selected.begin(), selected.end(), face)
                   : m_facesBefore[face] == material)
            targets.push_back(face);
    bool refused = !assign && m_model.random && m_editorBefore.textureType == ZVK_TEXTURE_GLOBAL;
    if (targets.empty() || refused || noMaterial)
    {
        if (targets.empty())
        {
            ++m_reached["panel: assign or replace with nothing to change"];
            for (const std::string& name : CallNames())
                if (!IsHostQuestion(name))
                    return Failure("an assign or replace with nothing to change called " + name);
        }
        else if (noMaterial)
        {
            ++m_reached["panel: no material for assign or replace"];
            m_expectedBoxes.push_back(NOTHING_PAINTED);
        }
        else
        {
            ++m_reached["global texture refused"];
            m_expectedBoxes.push_back(GLOBAL_TEXTURE);
        }
        return ExpectNoPanelAct("an assign or replace that painted nothing");
    }
    ++m_reached[assign ? "panel: faces assigned" : "panel: material replaced"];
    ZvktMaterial painted = assign ? m_editorBefore : EditorMaterial();
    if (assign && material < zvktSlotCount(m_selection))
        zvktGetSlot(m_selection, material, &painted);
    int index = -1;
    for (int slot = 0; slot < zvktSlotCount(m_selection) && index < 0; ++slot)
    {
        ZvktMaterial held = {};
        zvktGetSlot(m_selection, slot, &held);
        if (SameMaterial(held, painted))
            index = slot;
    }
    COLORREF colour = painted.colour.a == 0 ? CLR_PAINTED_INVISIBLE : CLR_PAINTED;
    std::vector<COLORREF> before;
    for (int face : targets)
    {
        before.push_back(m_model.colours[face]);
        m_model.colours[face] = colour;
        m_model.texts[face] = std::to_string(face) + " | " + std::to_string(index);
    }
    for (int face = 0, next = 0; face < faces; ++face)
    {
        bool target = next < (int)targets.size() && targets[next] == face;
        next += target;
        int expected = target ? index : m_facesBefore[face];
        if (zvktFaceMaterialIndex(m_selection, face) != expected)
            return Failure("face " + std::to_string(face) + " reads " + std::to_string(zvktFaceMaterialIndex(m_selection, face))
                           + " after " + (assign ? "Assign" : "Replace") + ", expected " + std::to_string(expected));
    }
    RecordStep(targets, before, colour);
    if (assign && ColourText(EditorColour()) != ColourText(m_editorBefore.colour))
        Failure("\"Assign\" changed the editor's material");
    if (!(CallPosition("zvkCurrobjEditToolClose") < CallPosition("zvkPolyhPaintFace")) || CallsNamed("zvkCurrobjRefresh").size() != 1)
        Failure("the edit tool not closed before the paint, or the host not refreshed once");
    if (SelectedEntries() != m_selectionBefore)
        Failure("the list's selection changed by \"Assign\" or \"Replace\"");
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
    // Only what the list's selection gave the host comes back: nothing after a load.
    if (m_model.hostHasListSelection && !selected.empty() && (int)selected.size() < faces && !ArrayRefused())
        m_expectedHostFaces.insert(selected.begin(), selected.end());
    ApplyPanelRefresh();
}

} // namespace walk

namespace walk {

/////////////////////////////////////////////////////////////////////////////
// Following Modelvane

bool RandomWalk::FollowFileSaysOn() const
{
    std::ifstream file(m_hostDir + "\\zv\\zvk\\zVkQuarvelind\\zVkQuarvelindFollow.ini");
    int value = 0;
    return (file >> value) && value == 1;
}

// The menu item or Ctrl+F: following switches, and the settings file keeps it where it can.
void RandomWalk::ApplyFollowToggle()
{
    ++m_reached["follow: switched"];
    m_model.following = !m_model.following;
    std::ifstream exists(m_hostDir + "\\zv\\zvk\\zVkQuarvelind\\zVkQuarvelind.ini");
    if (exists && FollowFileSaysOn() != m_model.following)
        Failure("the follow settings file does not say what was chosen");
    for (const std::string& name : CallNames())
        if (!IsHostQuestion(name) && name != "zvkGetZVDir")
            Failure("switching following called " + name);
}

// A tick looks only while following is on and the window shown, and only reads the host. Another
// polyhedron (or the same with another face count) is loaded without a box; otherwise each entry
// whose face reads another index shows it, its colour kept.
void RandomWalk::ApplyFollowTick(bool looked)
{
    bool mayLook = m_model.following && IsWindowVisible(m_window) && !IsIconic(m_window);
    if (looked && !mayLook)
        Failure("the follow timer looked at the host while off, hidden or minimised");
    if (!looked)
        return;
    ++m_reached["follow: a tick looked"];
    for (int i = m_commandCalls.first; i < m_commandCalls.second; ++i)
    {
        const std::string function = zvktJournalAt(i)->function;
        if (!IsHostQuestion(function))
            return Failure("a tick of following called " + function);
    }
    if (!HostIsPolyhedron())
        return;
    if (m_model.source != m_selection || m_model.label != HostName() || m_model.sourceFaces != HostFaces())
        ApplyFollowLoad();
    else
    {
        bool renumbered = false;
        for (int face = 0; face < (int)m_model.texts.size(); ++face)
        {
            std::string now = std::to_string(face) + " | " + std::to_string(zvktFaceMaterialIndex(m_selection, face));
            renumbered = renumbered || now != m_model.texts[face];
            m_model.texts[face] = now;
        }
        if (!renumbered)
            return;
        ++m_reached["follow: entries re-numbered"];
    }
    ApplyPanelRefresh(true, false);
}

void RandomWalk::ApplyFollowLoad()
{
    ++m_reached["follow: list loaded"];
    ++m_generation;
    ApplyEmptied(false);
    FillModelFromHost();
}

bool RandomWalk::FollowKey(WalkRandom& random)
{
    bool dialogLoop = random.Percent(50);
    SetFocus(m_list);
    m_doing = std::string("Ctrl+F in the list") + (dialogLoop ? "" : ", no IsDialogMessage");
    PressCtrlKey('F', false, dialogLoop);
    return true;
}

// A tick as the timer gives it, sent now rather than waited for.
bool RandomWalk::FollowTick()
{
    m_doing = "a tick of the follow timer";
    SendMessageA(m_window, WM_TIMER, ZVK_FOLLOW_TIMER, 0);
    return true;
}

} // namespace walk
