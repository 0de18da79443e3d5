#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

/////////////////////////////////////////////////////////////////////////////
// The plug-in

// The one loaded copy of the plug-in, loaded as the sandbox host loads it.
static const PluginModule& LoadedPlugin()
{
    static PluginModule plugin;
    static bool tried = false;
    if (!tried)
    {
        tried = true;
        plugin.Load("zVkQuarvelind.zvk");
    }
    if (!plugin.error.empty())
        ADD_FAILURE() << plugin.error;
    return plugin;
}

HMODULE Plugin::Module() { return LoadedPlugin().module; }

int Plugin::GetData(PluginInfo* info) { return LoadedPlugin().getData(info, 0); }
int Plugin::GetVersion() { return LoadedPlugin().getVersion(); }
int Plugin::LeftClick() { return LoadedPlugin().onLeftClick(); }
void Plugin::RightClick() { LoadedPlugin().onRightClick(); }
void Plugin::Deactivate() { LoadedPlugin().deactivate(); }

/////////////////////////////////////////////////////////////////////////////
// The test program's surroundings

char g_faultWhere[200] = "";

static LONG CALLBACK EndOnFault(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if ((record->ExceptionCode & 0xF0000000u) != 0xC0000000u)
        return EXCEPTION_CONTINUE_SEARCH;
    printf("[  FAILED  ] exception 0x%08lX at %p", record->ExceptionCode, record->ExceptionAddress);
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2)
        printf(", %s address %p", record->ExceptionInformation[0] ? "writing" : "reading",
               (void*)record->ExceptionInformation[1]);
    printf(", during: %s\n", g_faultWhere);
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

PVOID EndProgramOnFault() { return AddVectoredExceptionHandler(1, EndOnFault); }

std::uint64_t EnvironmentNumber(const char* name, std::uint64_t fallback)
{
    const char* text = getenv(name);
    return text != NULL && *text != '\0' ? strtoull(text, NULL, 10) : fallback;
}

static INT_PTR CALLBACK ProbeProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

RECT TemplateWindowRect()
{
    RECT frame = {0, 0, 0, 0};
    HWND probe = CreateDialogParamA(Plugin::Module(), MAKEINTRESOURCEA(IDD_MATID_TOOL), NULL, ProbeProc, 0);
    if (probe == NULL)
        ADD_FAILURE() << "the tool window's template made no window, error " << GetLastError();
    GetWindowRect(probe, &frame);
    DestroyWindow(probe);
    PumpMessages();
    return frame;
}

/////////////////////////////////////////////////////////////////////////////
// Windows

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(length);
    return text;
}

std::vector<std::string> ListTexts(HWND list)
{
    std::vector<std::string> texts;
    for (int entry = 0; entry < (int)SendMessageA(list, LB_GETCOUNT, 0, 0); ++entry)
        texts.push_back(ListEntryText(list, entry));
    return texts;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

/////////////////////////////////////////////////////////////////////////////
// Message log

MessageLog::MessageLog(HWND window, std::vector<UINT> messages)
    : m_window(window), m_messages(std::move(messages))
{
    SetPropA(window, "MessageLog", (HANDLE)this);
    m_previous = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)Record);
}

MessageLog::~MessageLog()
{
    SetWindowLongPtrA(m_window, GWLP_WNDPROC, (LONG_PTR)m_previous);
    RemovePropA(m_window, "MessageLog");
}

LRESULT CALLBACK MessageLog::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog* log = (MessageLog*)GetPropA(window, "MessageLog");
    if (std::find(log->m_messages.begin(), log->m_messages.end(), message) != log->m_messages.end())
    {
        std::string text = message == WM_SETTEXT && lParam ? (const char*)lParam : "";
        log->m_entries.push_back({ message, wParam, text, zvktJournalCount() });
    }
    return CallWindowProcA(log->m_previous, window, message, wParam, lParam);
}

std::vector<WPARAM> MessageLog::WParams(UINT message) const
{
    std::vector<WPARAM> wParams;
    for (const Entry& entry : m_entries)
        if (entry.message == message)
            wParams.push_back(entry.wParam);
    return wParams;
}

std::vector<std::string> MessageLog::Texts() const
{
    std::vector<std::string> texts;
    for (const Entry& entry : m_entries)
        if (entry.message == WM_SETTEXT)
            texts.push_back(entry.text);
    return texts;
}

/////////////////////////////////////////////////////////////////////////////
// Message boxes

MessageBoxCatcher* MessageBoxCatcher::s_active = NULL;

MessageBoxCatcher::MessageBoxCatcher(std::function<std::string()> note) : m_note(std::move(note))
{
    s_active = this;
    m_hook = SetWindowsHookExA(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    UnhookWindowsHookEx(m_hook);
    s_active = NULL;
}

LRESULT CALLBACK MessageBoxCatcher::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && s_active)
    {
        HWND box = (HWND)wParam;
        char className[32] = "";
        GetClassNameA(box, className, sizeof className);
        HWND textControl = GetDlgItem(box, 0xFFFF);
        if (strcmp(className, "#32770") == 0 && textControl != NULL)
        {
            CapturedBox captured;
            captured.caption = WindowText(box);
            captured.text = WindowText(textControl);
            captured.owner = GetWindow(box, GW_OWNER);
            // The icon's control id: 0x14 on Windows, 0x440 (stc1) in Wine's message box template.
            HWND icon = GetDlgItem(box, 0x14);
            if (icon == NULL)
                icon = GetDlgItem(box, 0x440);
            HICON shown = icon ? (HICON)SendMessageA(icon, STM_GETICON, 0, 0) : NULL;
            captured.anyIcon = shown != NULL && (GetWindowLongA(icon, GWL_STYLE) & WS_VISIBLE);
            captured.informationIcon = shown != NULL && shown == LoadIcon(NULL, IDI_INFORMATION);
            for (int id = IDOK; id <= IDCONTINUE; ++id)
                if (HWND button = GetDlgItem(box, id))
                    if (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE)
                        captured.buttons.push_back(id);
            if (s_active->m_note)
                captured.note = s_active->m_note();
            s_active->m_boxes.push_back(captured);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void ExpectOneInformationBox(const MessageBoxCatcher& catcher, const std::string& text)
{
    ASSERT_EQ(1u, catcher.Boxes().size()) << text;
    EXPECT_EQ(text, catcher.Boxes()[0].text);
    EXPECT_TRUE(catcher.Boxes()[0].informationIcon) << "another icon shown: " << catcher.Boxes()[0].anyIcon;
}

/////////////////////////////////////////////////////////////////////////////
// Journal

std::vector<std::string> CallNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < zvktJournalCount(); ++i)
        names.push_back(zvktJournalAt(i)->function);
    return names;
}

std::vector<const ZvktCall*> CallsNamed(const char* function)
{
    std::vector<const ZvktCall*> calls;
    for (int i = 0; i < zvktJournalCount(); ++i)
        if (strcmp(zvktJournalAt(i)->function, function) == 0)
            calls.push_back(zvktJournalAt(i));
    return calls;
}

std::string JournalText()
{
    std::ostringstream text;
    for (int i = 0; i < zvktJournalCount(); ++i)
    {
        const ZvktCall* call = zvktJournalAt(i);
        text << "  " << call->function << "(";
        for (int a = 0; a < call->argCount; ++a)
            text << (a ? ", " : "") << call->args[a];
        text << ")\n";
    }
    return text.str();
}

int CallPosition(const char* function)
{
    for (int i = 0; i < zvktJournalCount(); ++i)
        if (strcmp(zvktJournalAt(i)->function, function) == 0)
            return i;
    return zvktJournalCount();
}

bool IsHostQuestion(const std::string& function)
{
    static const std::set<std::string> questions = { "zvkGetCurrentSelection", "zvkSobjGetType",
        "zvkGNodeGetFullName", "zvkPolyhGetNbrFaces", "zvkPolyhGetFaceptrArray", "zvkGetMainViewHwnd" };
    return questions.count(function) != 0;
}

bool OnlyQuestionsAsked()
{
    std::vector<std::string> names = CallNames();
    return std::all_of(names.begin(), names.end(), IsHostQuestion);
}

void ExpectHostResourcesReleased()
{
    ZvktBalance balance;
    zvktGetBalance(&balance);
    EXPECT_EQ(balance.materialsCreated, balance.materialsDestroyed) << "materials not destroyed";
    EXPECT_EQ(balance.materialsCreated, balance.materialsFreed) << "material blocks not freed";
    EXPECT_EQ(balance.blocksAllocated, balance.blocksFreed) << "host memory not freed";
    EXPECT_EQ(balance.shaderInfosCreated, balance.shaderInfosDestroyed) << "shader infos not destroyed";
    EXPECT_EQ(0, balance.badFrees) << "host handles released twice, in the wrong order or unknown";
}

/////////////////////////////////////////////////////////////////////////////
// Materials

ZvktMaterial EditorMaterial()
{
    ZvktMaterial material = {};
    zvktGetEditorMaterial(&material);
    return material;
}

ZvkColor SlotColour(ZvkHandle polyhedron, int slot)
{
    ZvktMaterial material = {};
    zvktGetSlot(polyhedron, slot, &material);
    return material.colour;
}

void PaintInHost(ZvkHandle polyhedron, int face, int slot)
{
    zvktSetJournalEnabled(0);
    ZvkHandle material = NULL;
    zvkMaterialCreate(&material);
    zvkPolyhGetMaterial(polyhedron, (unsigned short)slot, material);
    zvkPolyhPaintFace(polyhedron, (unsigned short)face, material, 1);
    zvkMaterialDestroy(material);
    zvkFree(material);
    zvktSetJournalEnabled(1);
}

void SetEditorToMarker()
{
    ZvktMaterial marker = {};
    marker.colour = MARKER_COLOUR;
    marker.shaderBox = ZVKT_SHADERBOX_VALID;
    zvktSetEditorMaterial(&marker);
}

std::string ColourText(const ZvkColor& colour)
{
    char text[40];
    snprintf(text, sizeof text, "(%d,%d,%d,%d)", colour.r, colour.g, colour.b, colour.a);
    return text;
}

/////////////////////////////////////////////////////////////////////////////
// Fixtures

std::string PluginTest::TempDirectory(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string directory = std::string(temp) + "zvk-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    CreateDirectoryA(directory.c_str(), NULL);
    return directory;
}

void PluginTest::SetUp()
{
    ASSERT_TRUE(Plugin::Module() != NULL);
    m_hostDir = TempDirectory("host");
    ResetHost();
}

void PluginTest::ResetHost()
{
    zvktReset();
    zvktSetZVDir(m_hostDir.c_str());
}

void PluginTest::TearDown()
{
    for (HWND window : FindToolWindows())
        SendMessageA(window, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(FindToolWindows().empty()) << "a tool window outlived its test";
    RemoveDirectoryA(m_hostDir.c_str());
}

void ToolWindowTest::SetUp()
{
    PluginTest::SetUp();
    OpenToolWindow();
}

void ToolWindowTest::OpenToolWindow()
{
    Plugin::LeftClick();
    PumpMessages();
    m_window = FindToolWindow();
    ASSERT_TRUE(m_window != NULL) << "no tool window after a left click";
    m_list = GetDlgItem(m_window, IDC_FACE_LIST);
    ASSERT_TRUE(m_list != NULL);
}

void ToolWindowTest::Press(int id)
{
    SendMessageA(Item(id), BM_CLICK, 0, 0);
    PumpMessages();
}

std::string ToolWindowTest::EntryText(int index) const
{
    return ListEntryText(m_list, index);
}

std::vector<int> ToolWindowTest::EntriesColoured(COLORREF colour) const
{
    std::vector<int> entries;
    for (int i = 0; i < EntryCount(); ++i)
        if (EntryColour(i) == colour)
            entries.push_back(i);
    return entries;
}

std::vector<int> ToolWindowTest::SelectedEntries() const
{
    int count = (int)SendMessageA(m_list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> entries(count > 0 ? count : 0);
    if (count > 0)
        SendMessageA(m_list, LB_GETSELITEMS, count, (LPARAM)entries.data());
    return entries;
}

// Scrolls the list to an entry out of view; false, and a failure, when there is no such entry.
static bool BringIntoView(HWND list, int index)
{
    RECT item, client;
    if (SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)&item) == LB_ERR)
    {
        ADD_FAILURE() << "no entry " << index;
        return false;
    }
    GetClientRect(list, &client);
    if (item.top < client.top || item.bottom > client.bottom)
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
    return true;
}

void ToolWindowTest::ClickEntry(int index, WPARAM keys)
{
    if (!BringIntoView(m_list, index))
        return;
    POINT centre = ::EntryCentre(m_list, index);
    LPARAM at = MAKELPARAM(centre.x, centre.y);
    SendMessageA(m_list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageA(m_list, WM_LBUTTONUP, keys, at);
    PumpMessages();
}

void ToolWindowTest::PressKey(UINT vk)
{
    SendMessageA(m_list, WM_KEYDOWN, vk, 1);
    SendMessageA(m_list, WM_KEYUP, vk, 0xC0000001);
    PumpMessages();
}

void ToolWindowTest::PressCtrlKey(UINT vk, bool shift, bool dialogLoop)
{
    BYTE state[256], pressed[256];
    GetKeyboardState(state);
    memcpy(pressed, state, sizeof pressed);
    pressed[VK_CONTROL] = 0x80;
    pressed[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(pressed);
    PostKey(GetFocus(), vk);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
    {
        if (dialogLoop && IsWindow(m_window) && IsDialogMessageA(m_window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    SetKeyboardState(state);
}

POINT ToolWindowTest::EntryCentre(int index) const
{
    RECT item = {};
    if (SendMessageA(m_list, LB_GETITEMRECT, index, (LPARAM)&item) == LB_ERR)
        ADD_FAILURE() << "no entry " << index;
    return ::EntryCentre(m_list, index);
}

void ToolWindowTest::RightClickAt(POINT at)
{
    LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageA(m_list, WM_RBUTTONDOWN, MK_RBUTTON, where);
    SendMessageA(m_list, WM_RBUTTONUP, 0, where);
    PumpMessages();
}

std::vector<MenuItem> ToolWindowTest::ChooseOnEntry(int index, UINT command)
{
    BringIntoView(m_list, index);
    PopupMenuCatcher menu(m_window, command);
    RightClickAt(::EntryCentre(m_list, index));
    EXPECT_EQ(1, menu.Popups());
    return menu.Items();
}

ZvkHandle ToolWindowTest::AddPolyhedron(const char* name, int faces, const std::vector<unsigned short>& materials, int slots)
{
    return zvktAddPolyhedron(name, faces, materials.empty() ? NULL : materials.data(), slots);
}

ZvkHandle ToolWindowTest::LoadPolyhedron(const char* name, int faces, const std::vector<unsigned short>& materials, int slots)
{
    ZvkHandle polyhedron = AddPolyhedron(name, faces, materials, slots);
    zvktSelect(polyhedron);
    Press(IDC_LOAD_LIST);
    return polyhedron;
}

/////////////////////////////////////////////////////////////////////////////
// The paint history's menu items and message

static std::string HistoryItemText(const char* verb, int faces, const char* key)
{
    std::string text = std::string(verb) + " paint";
    if (faces >= 0)
        text += " of " + std::to_string(faces) + (faces == 1 ? " face" : " faces");
    return text + "\t" + key;
}

std::string UndoPaintText(int faces) { return HistoryItemText("Undo", faces, "Ctrl+Z"); }
std::string RedoPaintText(int faces) { return HistoryItemText("Redo", faces, "Ctrl+Y"); }

std::vector<std::string> WithoutUndoItems(const std::vector<std::string>& texts)
{
    std::vector<std::string> kept;
    for (const std::string& text : texts)
        if (text.compare(0, 10, "Undo paint") != 0 && text.compare(0, 10, "Redo paint") != 0)
            kept.push_back(text);
    return kept;
}

std::string ChangedSinceText(int faces)
{
    return faces == 1 ? "1 face was changed after this paint and was left as it is."
                      : std::to_string(faces) + " faces were changed after this paint and were left as they are.";
}

std::string NothingRestoredText(bool undo)
{
    return std::string("The host could not make a material: nothing was ") + (undo ? "undone." : "redone.");
}

std::string RestoredPartlyText(bool undo, int reached, int total)
{
    const char* verb = undo ? "undo" : "redo";
    return std::string("The host could not make a material: this ") + verb + " reached " + std::to_string(reached) + " of "
           + std::to_string(total) + " faces; " + verb + " again for the rest.";
}

/////////////////////////////////////////////////////////////////////////////
// Popup menus

PopupMenuCatcher::PopupMenuCatcher(HWND owner, UINT command)
    : m_owner(owner), m_command(command)
{
    SetPropA(owner, "PopupMenuCatcher", (HANDLE)this);
    m_previous = (WNDPROC)SetWindowLongPtrA(owner, GWLP_WNDPROC, (LONG_PTR)OwnerProc);
}

PopupMenuCatcher::~PopupMenuCatcher()
{
    SetWindowLongPtrA(m_owner, GWLP_WNDPROC, (LONG_PTR)m_previous);
    RemovePropA(m_owner, "PopupMenuCatcher");
}

// The menu loop tells its owner once that it waits for input: the popup is on screen then.
LRESULT CALLBACK PopupMenuCatcher::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PopupMenuCatcher* catcher = (PopupMenuCatcher*)GetPropA(window, "PopupMenuCatcher");
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU)
        catcher->Caught((HWND)lParam);
    return CallWindowProcA(catcher->m_previous, window, message, wParam, lParam);
}

void ChooseMenuItem(HWND popup, int position)
{
    if (position < 0)
    {
        PostKey(popup, VK_ESCAPE);
        return;
    }
    for (int i = 0; i <= position; ++i)
        PostKey(popup, VK_DOWN);
    PostKey(popup, VK_RETURN);
}

void PopupMenuCatcher::Caught(HWND popup)
{
    ++m_popups;
    m_items.clear();
    RECT rect = {};
    GetWindowRect(popup, &rect);
    m_position = { rect.left, rect.top };
    char className[32] = "";
    GetClassNameA(popup, className, sizeof className);
    EXPECT_STREQ("#32768", className) << "not a popup menu window";
    m_items = ReadMenuItems((HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0));
    const Item* target = m_command != 0 ? Find(m_command) : NULL;
    if (m_command != 0 && (target == NULL || target->greyed))
        ADD_FAILURE() << "command " << m_command << (target ? " is greyed" : " is not in the menu");
    ChooseMenuItem(popup, target == NULL || target->greyed ? -1 : (int)(target - m_items.data()));
}

std::vector<std::string> PopupMenuCatcher::Texts() const
{
    std::vector<std::string> texts;
    for (const Item& item : m_items)
        texts.push_back(item.text);
    return texts;
}

std::vector<std::string> PopupMenuCatcher::GreyedTexts() const
{
    std::vector<std::string> texts;
    for (const Item& item : m_items)
        if (item.greyed)
            texts.push_back(item.text);
    return texts;
}

std::vector<std::string> PopupMenuCatcher::EnabledTexts() const
{
    std::vector<std::string> texts;
    for (const Item& item : m_items)
        if (!item.greyed)
            texts.push_back(item.text);
    return texts;
}

const PopupMenuCatcher::Item* PopupMenuCatcher::Find(UINT id) const
{
    for (const Item& item : m_items)
        if (item.id == id)
            return &item;
    return NULL;
}

/////////////////////////////////////////////////////////////////////////////
// Clipboard

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(NULL))
        return "<clipboard not opened>";
    if (HANDLE data = GetClipboardData(CF_TEXT))
    {
        if (const char* p = (const char*)GlobalLock(data))
            text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool SetClipboardText(const std::string& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(NULL))
    {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return true;
}
