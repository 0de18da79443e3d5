// The random walk's actions: what a person and a busy host do to the tool window, the face list's
// menu and the materials panel, each describing itself in m_doing.
#include "randomwalk/Model.h"

namespace walk {

/////////////////////////////////////////////////////////////////////////////
// What reaches the tool window

WindowWatch g_watch;

MenuVisit g_menu;

// Keys that leave a menu open would hang the walk inside the menu loop.
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR, DWORD)
{
    g_menu.stuck = true;
    KillTimer(NULL, g_menu.timer);
    g_menu.timer = 0;
    EndMenu();
}

// The menu loop tells the owner once that it waits for input: the popup is on screen. Its items
// are read through MN_GETHMENU; arrow keys go from item to item over greyed ones, skipping only
// separators, and the first Down highlights the first item.
void MenuOnScreen(HWND popup)
{
    ++g_menu.popups;
    if (popup == NULL)
        popup = FindOpenPopupMenu();
    // The person lets go of Shift once the menu shows (Shift+F10).
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    if (g_menu.timer == 0)
        g_menu.timer = SetTimer(NULL, 0, 5000, EndStuckMenu);
    if (g_menu.popups > 1)
    {
        ChooseMenuItem(popup, -1);
        return;
    }
    std::vector<MenuItem> items = ReadMenuItems((HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0));
    g_menu.items.insert(g_menu.items.end(), items.begin(), items.end());
    if (g_menu.pick >= 0 && !g_menu.items.empty())
        g_menu.chosen = g_menu.pick % (int)g_menu.items.size();
    ChooseMenuItem(popup, g_menu.chosen);
}

LRESULT CALLBACK WatchDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_CLOSE || (message == WM_TIMER && wParam == ZVK_FOLLOW_TIMER))
        g_watch.commands.push_back({ message, wParam, zvktJournalCount() });
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU)
        MenuOnScreen((HWND)lParam);
    return CallWindowProcA(g_watch.dialogProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchList(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETREDRAW)
        g_watch.redrawOff = wParam == FALSE;
    return CallWindowProcA(g_watch.listProc, window, message, wParam, lParam);
}

void Watch(HWND dialog, HWND list)
{
    g_watch = WindowWatch();
    if (dialog == NULL)
        return;
    g_watch.dialog = dialog;
    g_watch.list = list;
    g_watch.dialogProc = (WNDPROC)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)WatchDialog);
    g_watch.listProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)WatchList);
}

/////////////////////////////////////////////////////////////////////////////
// Scene

void RandomWalk::BuildScene(WalkRandom& random)
{
    struct Shape { const char* name; int faces; int weight; };
    // Same-named polyhedra with fewer and more faces, one without faces, and the face limit:
    // the big ones are slow to list, so they come up rarely.
    static const Shape shapes[] = {
        { "Platonic/Tetrahedron", 4, 10 }, { "Platonic/Cube", 6, 12 }, { "Platonic/Cube", 3, 6 },
        { "Platonic/Cube", 24, 6 }, { "Platonic/Octahedron", 8, 8 }, { "Platonic/Dodecahedron", 12, 8 },
        { "Platonic/Icosahedron", 20, 8 }, { "Terrain", 300, 4 }, { "Empty mesh", 0, 4 },
        { "At the limit", FACE_LIMIT - 1, 1 }, { "Over the limit", FACE_LIMIT, 1 }, { "Far over the limit", 70000, 1 },
    };
    for (const Shape& shape : shapes)
    {
        int slots = random.Between(1, 8);
        std::vector<unsigned short> materials(shape.faces);
        for (unsigned short& material : materials)
            material = random.Percent(3) ? 65535 : (unsigned short)random.Below(slots + 1);
        ZvkHandle handle = zvktAddPolyhedron(shape.name, shape.faces, materials.empty() ? NULL : materials.data(), slots);
        m_scene.push_back({ std::string(shape.name) + " (" + std::to_string(shape.faces) + " faces)", handle, shape.weight });
    }
    std::string longName(1500, 'n');
    longName.replace(0, 10, "Long name ");
    m_scene.push_back({ "a polyhedron named with 1500 characters", zvktAddPolyhedron(longName.c_str(), 7, NULL, 3), 2 });
    m_scene.push_back({ "Camera (not a polyhedron)", zvktAddObject("Camera", 301), 5 });
    m_scene.push_back({ "nothing", NULL, 5 });
}

/////////////////////////////////////////////////////////////////////////////
// Actions

bool RandomWalk::UserAction(WalkRandom& random)
{
    if (!IsUsable())
        return ActionWithoutTheWindow(random);
    // A person who sees a paint go wrong undoes it at once, before the list's colours change.
    if (m_paintedJustNow && random.Percent(25))
        return HistoryKey(random, 0);
    int roll = random.Below(100);
    if (roll < 26)
        return ClickListEntry(random);
    if (roll < 40)
        return ListKey(random);
    if (roll < 42)
        return DialogKey(VK_RETURN, "Enter");
    if (roll < 43 && random.Percent(50))
        return random.Percent(50) ? DialogKey(VK_ESCAPE, "Esc") : ListEscape();
    if (roll < 44)
        return DialogKey(VK_TAB, "Tab");
    if (roll < 46)
        return DialogKey(VK_SPACE, "Space");
    if (roll < 72)
        return ClickSomeControl(random);
    if (roll < 73)
        return CloseButton();
    if (roll < 80)
        return LeftClick();
    if (roll < 81)
        return RightClick();
    if (roll < 84)
        return ListMenu(random);
    if (roll < 86)
        return Deactivate();
    if (roll < 87)
        return HideWindow(random);
    if (roll < 90)
        return ListMenu(random);
    if (roll < 93)
        return HistoryKey(random, random.Below(3));
    if (roll < 98)
        return PanelAction(random);
    if (roll < 99)
        return CtrlM(random);
    return random.Percent(10) ? FollowKey(random) : FollowTick();
}

// With the window closed, hidden or minimised: the host's plug-in button and zvkDeactivate.
bool RandomWalk::ActionWithoutTheWindow(WalkRandom& random)
{
    switch (random.Below(8))
    {
    case 0: return RightClick();
    case 1: return Deactivate();
    default: return LeftClick();
    }
}

// A button, a check box or the heading, weighted as a person uses them.
bool RandomWalk::ClickSomeControl(WalkRandom& random)
{
    static const struct { int id; const char* name; int weight; } controls[] = {
        { IDC_LOAD_LIST, "Faces | matIDs", 7 }, { IDC_CLEAR_LIST, "Clear content", 2 },
        { IDC_COPY_MATERIAL, "Copy material", 3 }, { IDC_PAINT_RANDOM, "Paint random", 3 },
        { IDC_PAINT_INVISIBLE, "Paint invisible", 2 }, { IDC_PAINT_FACE, "Paint face", 3 },
        { IDC_PAINT_SELECTION, "Paint selection", 3 }, { IDC_PAINT_ALL, "Paint all", 1 },
        { IDC_HELP_BUTTON, "Help", 1 }, { IDC_PAINT_OPTIONS, "the Paint options heading", 1 },
    };
    int pick = random.Below(26);
    for (const auto& control : controls)
    {
        if (pick < control.weight)
            return ClickControl(control.id, control.name);
        pick -= control.weight;
    }
    return false;
}

bool RandomWalk::Deactivate()
{
    m_doing = "zvkDeactivate";
    Plugin::Deactivate();
    HostPump();
    return true;
}

bool RandomWalk::HideWindow(WalkRandom& random)
{
    bool minimise = random.Percent(50);
    m_doing = minimise ? "the tool window minimised" : "the tool window hidden";
    ShowWindow(m_window, minimise ? SW_MINIMIZE : SW_HIDE);
    HostPump();
    return true;
}

// A change on the host's side; now and then its allocator is also set to fail the next
// face-index array the plug-in asks for.
bool RandomWalk::HostAction(WalkRandom& random)
{
    HostChange(random);
    if (m_hazards.Percent(3))
    {
        zvktSetCallocFault(0, 1);
        m_doing += ", and its allocator fails the next array";
    }
    return true;
}

void RandomWalk::HostChange(WalkRandom& random)
{
    int roll = random.Below(100);
    if (roll < 70)
    {
        int total = 0;
        for (const SceneEntry& entry : m_scene)
            total += entry.weight;
        int pick = random.Below(total);
        for (const SceneEntry& entry : m_scene)
        {
            if (pick < entry.weight)
            {
                m_doing = "host selects " + entry.label;
                m_selection = entry.handle;
                break;
            }
            pick -= entry.weight;
        }
        zvktSelect(m_selection);
        m_hostFacesKnown = false;
        return;
    }
    if (roll < 78)
        return HostRepaint(random);
    if (roll < 92)
    {
        ZvktMaterial material = EditorMaterial();
        switch (random.Below(7))
        {
        case 0:
            material.colour = { (unsigned char)random.Below(256), (unsigned char)random.Below(256), (unsigned char)random.Below(256), 255 };
            m_doing = "editor: colour " + ColourText(material.colour);
            break;
        case 1: material.colour.a = 0; m_doing = "editor: alpha 0"; break;
        // Picking a face's material takes the texture away again, so it is given more often.
        case 2:
        case 3: material.textureType = ZVK_TEXTURE_GLOBAL; m_doing = "editor: global texture"; break;
        case 4: material.textureType = 0; m_doing = "editor: no texture"; break;
        default:
            material.shaderBox = random.Below(3);
            m_doing = "editor: shader box state " + std::to_string(material.shaderBox);
            break;
        }
        zvktSetEditorMaterial(&material);
        return;
    }
    static const std::vector<int> shaderLists[] = { {}, { 1 }, { 2, 1, 3 }, { 1, 1 }, { 3, 4 }, { 1, 2, 1 } };
    const std::vector<int>& ids = shaderLists[random.Below(6)];
    zvktClearShaders();
    m_doing = "host shaders:";
    for (int id : ids)
    {
        zvktAddShader(id);
        m_doing += " " + std::to_string(id);
    }
    if (ids.empty())
        m_doing += " none";
}

// The face list's context menu, opened by a right click at an entry, the context-menu key or
// Shift+F10 in the list; on screen it is closed with Esc or an item is chosen, greyed or not.
// A copy item chosen finds the clipboard held by another window now and then, and a select item
// a host whose allocator fails.
bool RandomWalk::ListMenu(WalkRandom& random)
{
    int how = random.Below(6);
    bool escape = random.Percent(20);
    m_menu = MenuExpectation();
    m_menu.active = true;
    m_menu.selectedBefore = SelectedEntries();
    LPARAM at = how < 4 ? AimAtEntry(random) : AimByKeyboard(how == 4);
    PredictMenu();
    g_menu = MenuVisit();
    g_menu.pick = escape ? -1 : PickMenuItem(random);
    const MenuItem* picked = g_menu.pick >= 0 ? &m_menu.items[g_menu.pick % m_menu.items.size()] : NULL;
    bool copy = picked != NULL && !picked->greyed && (picked->id == ID_COPY_LIST || picked->id == ID_COPY_SELECTED);
    bool history = picked != NULL && !picked->greyed && (picked->id == ID_UNDO_PAINT || picked->id == ID_REDO_PAINT);
    bool select = picked != NULL && !picked->greyed && !copy && !history;
    if (history)
        ArmCreateFault();
    m_menu.clipboardHeld = copy && m_hazards.Percent(30);
    if (select && m_hazards.Percent(50))
    {
        zvktSetCallocFault(0, 1);
        m_doing += ", the host's allocator failing";
    }

    SetClipboardText(CLIPBOARD_BEFORE);
    if (m_menu.clipboardHeld)
    {
        OpenClipboard(m_clipboardHolder);
        m_doing += ", the clipboard held by another window";
    }
    OpenListMenu(how, at);
    zvktSetMaterialCreateFault(0, 0);
    if (m_menu.clipboardHeld)
        CloseClipboard();
    NoteMenuVisit();
    return true;
}

// A right click at a random entry (brought into view), or where the list would show one.
LPARAM RandomWalk::AimAtEntry(WalkRandom& random)
{
    int count = EntriesNow();
    int index = count > 0 ? random.Below(count) : 0;
    RECT item = {}, client;
    if (count > 0)
    {
        SendMessageA(m_list, LB_SETTOPINDEX, index, 0);
        SendMessageA(m_list, LB_GETITEMRECT, index, (LPARAM)&item);
    }
    GetClientRect(m_list, &client);
    POINT point = { (item.left + item.right) / 2, (item.top + item.bottom) / 2 };
    LPARAM at = MAKELPARAM(point.x, point.y);
    // Only a click on the list's client area asks for the menu; its entry is the one there.
    m_menu.opens = PtInRect(&client, point) != 0;
    LRESULT hit = SendMessageA(m_list, LB_ITEMFROMPOINT, 0, at);
    m_menu.entry = count > 0 && HIWORD(hit) == 0 ? (int)LOWORD(hit) : -1;
    m_doing = "right click on the list at entry " + std::to_string(index);
    return at;
}

// The keyboard opens the menu on the current entry.
LPARAM RandomWalk::AimByKeyboard(bool appsKey)
{
    int count = EntriesNow();
    m_menu.opens = true;
    int current = CaretNow();
    m_menu.entry = current >= 0 && current < count ? current : -1;
    m_doing = appsKey ? "context-menu key in the list" : "Shift+F10 in the list";
    ++m_reached["menu: opened by keyboard"];
    return 0;
}

// The item to choose, as an index into the expected items (-1: Esc).
int RandomWalk::PickMenuItem(WalkRandom& random)
{
    // Most greyed items stay greyed for long stretches of the walk: enabled ones are preferred.
    std::vector<int> enabled;
    for (size_t i = 0; i < m_menu.items.size(); ++i)
        if (!m_menu.items[i].greyed)
            enabled.push_back((int)i);
    int pick = !enabled.empty() && random.Percent(60) ? enabled[random.Below((int)enabled.size())]
                                                       : random.Below((int)m_menu.items.size());
    // Painted entries of an up-to-date list last only until the next load: in the few menus that
    // offer to select them, that item is taken in half.
    for (size_t i = 0; i < m_menu.items.size(); ++i)
        if (m_menu.items[i].id == ID_SELECT_PAINTED && !m_menu.items[i].greyed && random.Percent(50))
            pick = (int)i;
    // "Follow Modelvane" is never greyed: taken as often as the others, it would switch following
    // at every other menu, so a quarter of the time it is passed over for the item after it.
    if (!m_menu.items.empty() && m_menu.items[pick % m_menu.items.size()].id == ID_FOLLOW_HOST && !random.Percent(25))
        ++pick;

    // On a long list the walk keeps the selection small (see ClickListEntry): a select item
    // that would choose many entries there is left, and the menu closed instead.
    int count = EntriesNow();
    if (count > 400 && !m_menu.items.empty())
    {
        const MenuItem& item = m_menu.items[pick % m_menu.items.size()];
        int chosen = 0;
        if (!item.greyed && item.id == ID_SELECT_MATERIAL)
            for (int face = 0; face < count; ++face)
                chosen += zvktFaceMaterialIndex(m_selection, face) == m_menu.material;
        else if (!item.greyed && (item.id == ID_SELECT_PAINTED || item.id == ID_SELECT_TO_DO))
            chosen = (int)std::count_if(m_model.colours.begin(), m_model.colours.end(),
                                        [&](COLORREF c) { return (c != 0) == (item.id == ID_SELECT_PAINTED); });
        if (chosen >= 40)
            pick = -1;
    }
    return pick;
}

// The right click, the context-menu key or Shift+F10, and the host's loop until the menu is done.
void RandomWalk::OpenListMenu(int how, LPARAM at)
{
    if (how < 4)
    {
        SendMessageA(m_list, WM_RBUTTONDOWN, MK_RBUTTON, at);
        SendMessageA(m_list, WM_RBUTTONUP, 0, at);
    }
    else if (how == 4)
    {
        SetFocus(m_list);
        std::string doing = m_doing;
        DialogKey(VK_APPS, "context-menu key");
        m_doing = doing;
    }
    else
    {
        // The menu loop takes the key's release; the list sees only the press, as a person's.
        SetFocus(m_list);
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        MSG down = { m_list, WM_SYSKEYDOWN, VK_F10, 1, GetTickCount(), { 0, 0 } };
        if (!IsDialogMessageA(m_window, &down))
        {
            TranslateMessage(&down);
            DispatchMessageA(&down);
        }
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    HostPump();
    if (g_menu.timer != 0)
        KillTimer(NULL, g_menu.timer);
    g_menu.timer = 0;
}

// The host's loop: every message for the tool window goes through IsDialogMessage first.
// Following's own timer is stopped first: the walk gives its ticks itself (FollowTick), so that
// one never comes in the middle of an action whose outcome the walk checks.
void RandomWalk::HostPump()
{
    if (HWND tool = FindToolWindow())
        KillTimer(tool, ZVK_FOLLOW_TIMER);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
    {
        HWND tool = FindToolWindow();
        if (tool != NULL && IsDialogMessageA(tool, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A mouse click where the control is: the window under the point gets it, which for a disabled
// or hidden control is the dialog itself, as for a person clicking there.
bool RandomWalk::ClickControl(int id, const char* name)
{
    HWND control = Item(id);
    RECT rect;
    GetWindowRect(control, &rect);
    POINT at = { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    ScreenToClient(m_window, &at);
    HWND target = ChildWindowFromPointEx(m_window, at, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE);
    m_doing = std::string("click on ") + name + (IsWindowEnabled(control) ? "" : " (disabled)");
    if (!IsWindowEnabled(control))
        ++m_reached["disabled control clicked"];
    char className[16] = "";
    GetClassNameA(target, className, sizeof className);
    if (target == control && _stricmp(className, "Button") == 0)
    {
        SendMessageA(control, BM_CLICK, 0, 0);
    }
    else
    {
        HWND receiver = target != NULL ? target : m_window;
        MapWindowPoints(m_window, receiver, &at, 1);
        SendMessageA(receiver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(receiver, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    HostPump();
    return true;
}

// Selecting entries of a long list costs the host a face-count-long array per selected entry,
// so ranges there stay near the anchor and the selection stays small.
bool RandomWalk::ClickListEntry(WalkRandom& random)
{
    int count = EntriesNow();
    RECT client;
    GetClientRect(m_list, &client);
    int rowHeight = (int)SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0);
    // Below the last entry of a short or empty list there is room to click on nothing.
    if ((count == 0 || random.Percent(5)) && count * rowHeight < client.bottom - rowHeight)
    {
        m_doing = "click below the last entry";
        SendMessageA(m_list, LB_SETTOPINDEX, 0, 0);
        LPARAM at = MAKELPARAM(client.right / 2, client.bottom - rowHeight / 2);
        SendMessageA(m_list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(m_list, WM_LBUTTONUP, 0, at);
        HostPump();
        return true;
    }
    if (count == 0)
        return false;
    bool longList = count > 400;
    int selected = SelCountNow();
    int index = random.Below(count);
    WPARAM keys = 0;
    int roll = random.Below(10);
    if (roll < 3 && !(longList && selected >= 40))
        keys = MK_CONTROL;
    else if (roll < 5)
    {
        keys = MK_SHIFT;
        if (longList)
        {
            int anchor = (int)SendMessageA(m_list, LB_GETANCHORINDEX, 0, 0);
            index = std::max(0, std::min(count - 1, anchor + random.Between(-15, 15)));
        }
    }
    m_doing = "click on entry " + std::to_string(index) + (keys == MK_CONTROL ? " with Ctrl" : keys == MK_SHIFT ? " with Shift" : "");
    ClickEntry(index, keys);
    HostPump();
    return true;
}

bool RandomWalk::ListKey(WalkRandom& random)
{
    static const struct { UINT vk; const char* name; } keys[] = {
        { VK_UP, "Up" }, { VK_DOWN, "Down" }, { VK_HOME, "Home" }, { VK_END, "End" }, { VK_NEXT, "Page Down" }, { VK_PRIOR, "Page Up" },
    };
    const auto& key = keys[random.Below(6)];
    bool shift = random.Percent(25);
    bool longList = EntriesNow() > 400;
    if (shift && longList && (key.vk == VK_HOME || key.vk == VK_END || SelCountNow() >= 40))
        shift = false;
    // The person puts the focus into the list first, or presses the key wherever it is.
    bool intoList = random.Percent(60);
    if (intoList)
        SetFocus(m_list);
    BYTE state[256];
    GetKeyboardState(state);
    if (shift)
    {
        BYTE pressed[256];
        memcpy(pressed, state, sizeof pressed);
        pressed[VK_SHIFT] = 0x80;
        SetKeyboardState(pressed);
    }
    DialogKey(key.vk, key.name);
    if (shift)
        SetKeyboardState(state);
    m_doing = std::string(shift ? "Shift+" : "") + key.name + (intoList ? " in the list" : " where the focus is");
    return true;
}

bool RandomWalk::DialogKey(UINT vk, const char* name)
{
    HWND focus = GetFocus();
    if (focus == NULL || (focus != m_window && !IsChild(m_window, focus)))
        focus = m_window;
    m_doing = name;
    MSG down = { focus, WM_KEYDOWN, vk, 1, GetTickCount(), { 0, 0 } };
    if (!IsDialogMessageA(m_window, &down))
    {
        TranslateMessage(&down);
        DispatchMessageA(&down);
    }
    HostPump();
    if (IsWindow(m_window) && IsWindow(focus))
    {
        MSG up = { focus, WM_KEYUP, vk, (LPARAM)0xC0000001, GetTickCount(), { 0, 0 } };
        if (!IsDialogMessageA(m_window, &up))
            DispatchMessageA(&up);
    }
    HostPump();
    return true;
}

// What the caption's close button sends once the click on it is complete.
bool RandomWalk::CloseButton()
{
    m_doing = "close button";
    RECT frame;
    GetWindowRect(m_window, &frame);
    SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(frame.right - 8, frame.top + 8));
    HostPump();
    return true;
}

bool RandomWalk::RightClick()
{
    m_doing = "zvkOnRightClick";
    ++m_reached["about box shown"];
    m_expectedBoxes.push_back(ABOUT_TEXT);
    Plugin::RightClick();
    HostPump();
    return true;
}

bool RandomWalk::LeftClick()
{
    m_doing = "zvkOnLeftClick";
    HWND before = m_model.open ? m_window : NULL;
    int entriesBefore = EntriesNow();
    Plugin::LeftClick();
    HostPump();
    std::vector<HWND> windows = FindToolWindows();
    if (windows.size() != 1)
    {
        Failure("a left click left " + std::to_string(windows.size()) + " tool windows");
        return true;
    }
    HWND window = windows[0];
    if (!IsWindowVisible(window) || IsIconic(window) || !IsWindowEnabled(window))
        Failure("a left click left the tool window hidden, minimised or disabled");
    if (GetActiveWindow() != window)
        Failure("a left click left the tool window inactive");
    if (before != NULL && (window != before || EntriesNow() != entriesBefore))
        Failure("a left click replaced the open window or changed its list");
    if (before == NULL)
    {
        ++m_generation;
        m_model = WindowModel();
        m_model.open = true;
        m_model.title = LIST_TITLE;
        m_model.following = FollowFileSaysOn();
    }
    return true;
}

/////////////////////////////////////////////////////////////////////////////
// Undo and redo

// Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z, mostly in the list, through the host's IsDialogMessage or
// straight to the window: in the list the key gives its command once, anywhere else nothing.
bool RandomWalk::HistoryKey(WalkRandom& random, int which)
{
    static const struct { UINT vk; bool shift; const char* name; UINT command; } keys[] = {
        { 'Z', false, "Ctrl+Z", ID_UNDO_PAINT }, { 'Y', false, "Ctrl+Y", ID_REDO_PAINT },
        { 'Z', true, "Ctrl+Shift+Z", ID_REDO_PAINT },
    };
    const auto& key = keys[which];
    bool dialogLoop = random.Percent(50);
    if (random.Percent(85))
        SetFocus(m_list);
    bool inList = GetFocus() == m_list;
    m_doing = std::string(key.name) + (inList ? " in the list" : " where the focus is") + (dialogLoop ? "" : ", no IsDialogMessage");
    ArmCreateFault();
    PressCtrlKey(key.vk, key.shift, dialogLoop);
    zvktSetMaterialCreateFault(0, 0);
    ++m_reached[dialogLoop ? "undo or redo key through IsDialogMessage" : "undo or redo key without IsDialogMessage"];
    int commands = (int)std::count_if(g_watch.commands.begin(), g_watch.commands.end(), [&](const WindowWatch::Command& c) {
        return c.message == WM_COMMAND && c.wParam == key.command;
    });
    if (commands != (inList ? 1 : 0))
        Failure(std::to_string(commands) + " commands from " + key.name + (inList ? " in the list" : " outside the list"));
    return true;
}

// Now and then the host makes the first, second or third material of an undo or a redo, and no more.
void RandomWalk::ArmCreateFault()
{
    if (!m_hazards.Percent(20))
        return;
    m_createsBeforeFault = m_hazards.Below(3);
    zvktSetMaterialCreateFault(m_createsBeforeFault, 1);
    m_doing += ", the host making " + std::to_string(m_createsBeforeFault) + " materials";
}

// A person paints faces in the modeller: mostly faces of the latest paint, so that an undo or a
// redo finds them changed since.
void RandomWalk::HostRepaint(WalkRandom& random)
{
    m_doing = "host paints nothing";
    if (!HostIsPolyhedron() || HostFaces() == 0)
        return;
    const std::vector<ModelStep>& side = IsStepSelected(m_done) && (random.Percent(60) || !IsStepSelected(m_undone)) ? m_done : m_undone;
    bool fromStep = IsStepSelected(side) && random.Percent(80);
    int slot = random.Below(zvktSlotCount(m_selection));
    m_doing = "host paints with slot " + std::to_string(slot) + " face";
    for (int n = random.Between(1, 3); n > 0; --n)
    {
        int face = fromStep ? side.back().faces[random.Below((int)side.back().faces.size())].face : random.Below(HostFaces());
        PaintInHost(m_selection, face, slot);
        m_doing += " " + std::to_string(face);
    }
}

/////////////////////////////////////////////////////////////////////////////
// The materials panel

// Ctrl+M with the focus in the face list, through IsDialogMessage as the host's loop gives keys
// or straight to the list as a host without it: the list hands the command over every time.
bool RandomWalk::CtrlM(WalkRandom& random)
{
    bool dialogMessage = random.Percent(50);
    SetFocus(m_list);
    PressCtrlKey('M', false, dialogMessage);
    m_doing = std::string("Ctrl+M in the list") + (dialogMessage ? "" : ", without IsDialogMessage");
    // Its character (a carriage return) reaches nothing: no Enter for the dialog.
    int materials = 0, enter = 0;
    for (const WindowWatch::Command& command : g_watch.commands)
    {
        materials += command.message == WM_COMMAND && command.wParam == ID_MATERIALS;
        enter += command.message == WM_COMMAND && LOWORD(command.wParam) == IDOK;
    }
    if (materials != 1 || enter != 0)
        Failure("Ctrl+M gave " + std::to_string(materials) + " \"Materials...\" commands and " + std::to_string(enter) + " IDOK");
    return true;
}

// On the open panel: a row clicked, then double-clicked, entered or sent to the editor; or the
// panel closed.
bool RandomWalk::PanelAction(WalkRandom& random)
{
    HWND panel = FindMaterialsPanel();
    if (!m_panel.open || panel == NULL || !IsWindowVisible(panel))
        return false;
    int roll = random.Below(10);
    if (roll < 2)
        return ClosePanel(random, panel);
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    std::vector<int> before = SelectedEntries();
    int row = ClickPanelRow(random, rows);
    if (row >= 0 && row < (int)m_panel.materials.size())
        m_panel.current = m_panel.materials[row];
    m_panel.entriesSelected = SelCountNow() > 0;
    if (roll >= 5 && random.Percent(75))
        return PanelPaint(random, panel, row);
    // On a long list the selection stays small (see ClickListEntry): such a row goes to the editor.
    int material = !m_panel.greyed && row >= 0 && row < (int)m_panel.materials.size() ? m_panel.materials[row] : -1;
    int chosen = 0, faces = material >= 0 && EntriesNow() > 400 ? HostFaces() : 0;
    for (int face = 0; face < faces; ++face)
        chosen += zvktFaceMaterialIndex(m_selection, face) == material;
    bool select = roll < 7 && chosen < 40;
    bool reached = true;   // the action reaches the panel: a greyed button takes no click
    zvktJournalClear();
    if (select && roll < 4)
    {
        m_doing = "double-click on panel row " + std::to_string(row);
        POINT centre = ::EntryCentre(rows, std::max(row, 0));
        SendMessageA(rows, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
        SendMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    }
    else if (select)
    {
        bool dialogMessage = random.Percent(50);
        m_doing = "Enter on panel row " + std::to_string(row) + (dialogMessage ? "" : ", without IsDialogMessage");
        SetFocus(rows);
        MSG down = { rows, WM_KEYDOWN, VK_RETURN, 1, GetTickCount(), { 0, 0 } };
        if (!dialogMessage || !IsDialogMessageA(panel, &down))
            DispatchMessageA(&down);
    }
    else
    {
        HWND button = GetDlgItem(panel, IDC_TO_EDITOR);
        m_doing = std::string("\"To editor\" on panel row ") + std::to_string(row) + (IsWindowEnabled(button) ? "" : " (greyed)");
        reached = IsWindowEnabled(button) != 0;
        if (reached)
            SendMessageA(button, BM_CLICK, 0, 0);
    }
    HostPump();
    m_commandCalls = { 0, zvktJournalCount() };
    if (reached)
        ApplyPanelAction(select, row, before);
    return true;
}

bool RandomWalk::ClosePanel(WalkRandom& random, HWND panel)
{
    if (random.Percent(50))
    {
        bool dialogMessage = random.Percent(50);
        m_doing = std::string("Esc in the panel") + (dialogMessage ? "" : ", without IsDialogMessage");
        m_reached["panel: Esc without IsDialogMessage"] += !dialogMessage;
        MSG down = { GetDlgItem(panel, IDC_MATERIALS_LIST), WM_KEYDOWN, VK_ESCAPE, 1, GetTickCount(), { 0, 0 } };
        if (!dialogMessage || !IsDialogMessageA(panel, &down))
            DispatchMessageA(&down);
    }
    else
    {
        m_doing = "the panel's close button";
        SendMessageA(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    HostPump();
    ++m_reached["panel closed"];
    m_panel = PanelModel();
    return true;
}

// "Assign" or "Replace" on the clicked row: the button when it is enabled; when greyed, now and
// then the command all the same, as from its menu item. Now and then the host makes no material.
bool RandomWalk::PanelPaint(WalkRandom& random, HWND panel, int row)
{
    bool assign = random.Percent(50);
    UINT id = assign ? IDC_ASSIGN : IDC_REPLACE;
    HWND button = GetDlgItem(panel, id);
    bool enabled = IsWindowEnabled(button) != 0;
    bool sent = enabled || random.Percent(30);
    bool noMaterial = sent && m_hazards.Percent(15);
    m_doing = std::string(assign ? "\"Assign\"" : "\"Replace\"") + " on panel row " + std::to_string(row)
              + (enabled ? "" : sent ? " (greyed), sent all the same" : " (greyed)") + (noMaterial ? ", the host making no material" : "");
    if (!sent)
        return true;
    if (noMaterial)
        zvktSetMaterialCreateFault(0, 1);
    zvktJournalClear();
    if (enabled)
        SendMessageA(button, BM_CLICK, 0, 0);
    else
        SendMessageA(panel, WM_COMMAND, id, 0);
    HostPump();
    zvktSetMaterialCreateFault(0, 0);
    m_commandCalls = { 0, zvktJournalCount() };
    ApplyPanelPaint(assign, row, noMaterial);
    return true;
}

// Esc in the face list, straight to it as from a host without IsDialogMessage: the window closes.
bool RandomWalk::ListEscape()
{
    m_doing = "Esc in the face list, without IsDialogMessage";
    ++m_reached["Esc in the face list without IsDialogMessage"];
    SetFocus(m_list);
    MSG down = { m_list, WM_KEYDOWN, VK_ESCAPE, 1, GetTickCount(), { 0, 0 } };
    DispatchMessageA(&down);
    HostPump();
    if (FindToolWindow() != NULL)
        Failure("Esc in the face list left the tool window open");
    return true;
}

// A click on a random row, brought into view; -1 when the panel has none.
int RandomWalk::ClickPanelRow(WalkRandom& random, HWND rows)
{
    int count = (int)SendMessageA(rows, LB_GETCOUNT, 0, 0);
    if (count <= 0)
        return -1;
    int row = random.Below(count);
    SendMessageA(rows, LB_SETTOPINDEX, row, 0);
    POINT centre = ::EntryCentre(rows, row);
    SendMessageA(rows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    SendMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    return row;
}

} // namespace walk
