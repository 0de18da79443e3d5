// The plug-in as the host sees it: its binary, its resources, its exports and the tool window's life.
#include "support/PluginFixture.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

/////////////////////////////////////////////////////////////////////////////
// The binary: a PE32 DLL that exports five names. What it imports: test_imports.

static const BYTE* Image() { return (const BYTE*)Plugin::Module(); }

static const IMAGE_NT_HEADERS32* NtHeaders()
{
    const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)Image();
    return (const IMAGE_NT_HEADERS32*)(Image() + dos->e_lfanew);
}

static const IMAGE_DATA_DIRECTORY& Directory(int index)
{
    return NtHeaders()->OptionalHeader.DataDirectory[index];
}

TEST(PluginBinary, IsA32BitDllThatExportsExactlyTheFiveEntryPoints)
{
    ASSERT_TRUE(Plugin::Module() != NULL);
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, NtHeaders()->FileHeader.Machine);
    EXPECT_TRUE(NtHeaders()->FileHeader.Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, NtHeaders()->OptionalHeader.Magic);

    const IMAGE_EXPORT_DIRECTORY* exports =
        (const IMAGE_EXPORT_DIRECTORY*)(Image() + Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    const DWORD* names = (const DWORD*)(Image() + exports->AddressOfNames);
    std::set<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        exported.insert((const char*)(Image() + names[i]));
    EXPECT_EQ((std::set<std::string>{ "zvkGetData", "zvkGetVersion", "zvkOnLeftClick", "zvkOnRightClick", "zvkDeactivate" }),
              exported);
    EXPECT_EQ(5u, exports->NumberOfFunctions);
}

TEST(PluginExports, InformationRecordIsExactlyTheHundredBytesTheHostReads)
{
    unsigned char first[104], second[104];
    memset(first, 0xCC, sizeof first);
    memset(second, 0x5A, sizeof second);
    EXPECT_EQ(0, Plugin::GetData((PluginInfo*)first));
    EXPECT_EQ(0, Plugin::GetData((PluginInfo*)second));
    EXPECT_EQ(0, memcmp(first, second, 100));
    EXPECT_EQ(0, memcmp(first, "zVkQuarvelind", 13));
    for (int i = 13; i < 32; ++i)
        EXPECT_EQ(0, first[i]) << "byte " << i;
    EXPECT_EQ(0, memcmp(first + 32, "by Garvelo", 10));
    for (int i = 42; i < 96; ++i)
        EXPECT_EQ(0, first[i]) << "byte " << i;
    const unsigned char tail[] = { 0xB9, 0x0B, 0x01, 0x00 };
    EXPECT_EQ(0, memcmp(first + 96, tail, 4));
    for (int i = 100; i < 104; ++i)
        EXPECT_EQ(0xCC, first[i]) << "wrote past the record at byte " << i;
    EXPECT_EQ(660, Plugin::GetVersion());
}

/////////////////////////////////////////////////////////////////////////////
// Resources

// A control as the design gives it: class, style, rectangle in dialog units, text.
struct TemplateControl
{
    int id;
    const char* className;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    const char* text;
};

static const DWORD kShown = WS_CHILD | WS_VISIBLE;
static const DWORD kLabel = kShown | WS_GROUP | SS_LEFT | SS_CENTERIMAGE;
static const TemplateControl s_expectedControls[] = {
    { IDC_FACE_LIST, "ListBox", kShown | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED
      | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL, WS_EX_CLIENTEDGE, 4, 12, 62, 57, "" },
    { IDC_LOAD_LIST, "Button", kShown | BS_PUSHBUTTON, 0, 3, 72, 63, 12, "Faces | matIDs" },
    { IDC_CLEAR_LIST, "Button", kShown | BS_PUSHBUTTON, 0, 3, 84, 63, 12, "Clear content" },
    { IDC_COPY_MATERIAL, "Button", kShown | BS_AUTOCHECKBOX, 0, 3, 114, 57, 9, "Copy material" },
    { IDC_PAINT_RANDOM, "Button", kShown | BS_AUTOCHECKBOX, 0, 3, 126, 57, 9, "Paint random" },
    { IDC_PAINT_FACE, "Button", kShown | BS_PUSHBUTTON, 0, 3, 150, 63, 12, "Paint face" },
    { IDC_PAINT_SELECTION, "Button", kShown | BS_PUSHBUTTON, 0, 3, 162, 63, 12, "Paint selection" },
    { IDC_PAINT_ALL, "Button", kShown | BS_PUSHBUTTON, 0, 3, 174, 63, 12, "Paint all" },
    { IDC_HELP_BUTTON, "Button", kShown | BS_PUSHBUTTON, 0, 3, 189, 63, 12, "Help" },
    { IDC_OBJECT_NAME, "Static", kLabel | SS_SUNKEN, 0, 3, 204, 63, 9, "Static" },
    { IDC_LIST_TITLE, "Static", kLabel, 0, 6, 3, 62, 8, "Faces | matIDs list" },
    { IDC_PAINT_OPTIONS, "Static", kShown | WS_GROUP | SS_CENTER | SS_CENTERIMAGE, WS_EX_CLIENTEDGE, 3, 99, 63, 12, "Paint options" },
    { IDC_ITEM_TEXT, "Edit", WS_CHILD | WS_BORDER | WS_TABSTOP | ES_RIGHT, 0, 3, 99, 63, 12, "" },
    { IDC_SPARE_BUTTON, "Button", WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON, 0, 3, 99, 63, 12, "Button1" },
    { IDC_PAINT_INVISIBLE, "Button", kShown | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 3, 138, 57, 9, "Paint invisible" },
};

// Reads an extended dialog template field by field.
class TemplateReader
{
public:
    explicit TemplateReader(const BYTE* data) : m_p(data) {}
    WORD Word() { WORD w; memcpy(&w, m_p, 2); m_p += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, m_p, 4); m_p += 4; return d; }
    BYTE Byte() { return *m_p++; }
    short Short() { return (short)Word(); }
    std::string String()
    {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word())
            text += (char)c;
        return text;
    }
    // A name or an ordinal: 0xFFFF then the ordinal, else a string. A control's class is one of
    // the predefined ordinals.
    std::string NameOrOrdinal()
    {
        static const char* const classes[] = { "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" };
        WORD first;
        memcpy(&first, m_p, 2);
        if (first != 0xFFFF)
            return String();
        Word();
        WORD ordinal = Word();
        return ordinal >= 0x80 && ordinal <= 0x85 ? classes[ordinal - 0x80] : "#" + std::to_string(ordinal);
    }
    void AlignDword(const BYTE* base) { while ((m_p - base) % 4) ++m_p; }
    void Skip(int bytes) { m_p += bytes; }

private:
    const BYTE* m_p;
};

static const BYTE* LoadPluginResource(LPCSTR type, int id)
{
    HRSRC resource = FindResourceA(Plugin::Module(), MAKEINTRESOURCEA(id), type);
    return resource ? (const BYTE*)LockResource(LoadResource(Plugin::Module(), resource)) : NULL;
}

TEST(PluginResources, ToolWindowTemplateMatchesTheDesignControlByControl)
{
    const BYTE* base = LoadPluginResource(MAKEINTRESOURCEA(5) /* RT_DIALOG */, IDD_MATID_TOOL);
    ASSERT_TRUE(base != NULL);
    TemplateReader reader(base);
    EXPECT_EQ(1, reader.Word());
    EXPECT_EQ(0xFFFF, reader.Word());
    EXPECT_EQ(0u, reader.Dword());
    EXPECT_EQ((DWORD)WS_EX_TOOLWINDOW, reader.Dword());
    EXPECT_EQ((DWORD)(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK), reader.Dword());
    int controls = reader.Word();
    EXPECT_EQ(0, reader.Short());
    EXPECT_EQ(0, reader.Short());
    EXPECT_EQ(70, reader.Short());
    EXPECT_EQ(217, reader.Short());
    EXPECT_EQ("", reader.NameOrOrdinal());
    EXPECT_EQ("", reader.NameOrOrdinal());
    EXPECT_EQ(" zVkQuarvelind", reader.String());
    EXPECT_EQ(8, reader.Word());
    EXPECT_EQ(0, reader.Word());
    EXPECT_EQ(0, reader.Byte());
    EXPECT_EQ(1, reader.Byte());
    EXPECT_EQ("Arial", reader.String());

    ASSERT_EQ((int)(sizeof s_expectedControls / sizeof s_expectedControls[0]), controls);
    for (const TemplateControl& expected : s_expectedControls)
    {
        SCOPED_TRACE(std::string("control ") + std::to_string(expected.id) + " \"" + expected.text + "\"");
        reader.AlignDword(base);
        EXPECT_EQ(0u, reader.Dword());
        EXPECT_EQ(expected.exStyle, reader.Dword());
        EXPECT_EQ(expected.style, reader.Dword());
        const short x = reader.Short(), y = reader.Short(), cx = reader.Short(), cy = reader.Short();
        EXPECT_EQ((std::vector<short>{ expected.x, expected.y, expected.cx, expected.cy }), (std::vector<short>{ x, y, cx, cy }));
        EXPECT_EQ((DWORD)expected.id, reader.Dword());
        EXPECT_EQ(expected.className, reader.NameOrOrdinal());
        EXPECT_EQ(expected.text, reader.NameOrOrdinal());
        reader.Skip(reader.Word());
    }
}

static std::string VersionString(const std::vector<BYTE>& info, const char* name)
{
    char* value = NULL;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), (void**)&value, &length))
        return "<missing>";
    return length ? std::string(value) : std::string();
}

TEST(PluginResources, VersionInformationIs1501WithEveryString)
{
    char path[MAX_PATH];
    GetModuleFileNameA(Plugin::Module(), path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ(MAKELONG(5, 1), (LONG)fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), (LONG)fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ((DWORD)VFT_DLL, fixed->dwFileType);
    EXPECT_EQ((DWORD)VOS__WINDOWS32, fixed->dwFileOS);
    EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);

    WORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length));
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1200, translation[1]);

    EXPECT_EQ("zVkQuarvelindDLL", VersionString(info, "FileDescription"));
    EXPECT_EQ("1, 5, 0, 1", VersionString(info, "FileVersion"));
    EXPECT_EQ("zVkQuarvelind", VersionString(info, "InternalName"));
    EXPECT_EQ("zVkQuarvelind.DLL", VersionString(info, "OriginalFilename"));
    EXPECT_EQ("zVkQuarvelind Dynamic Link Library", VersionString(info, "ProductName"));
    EXPECT_EQ("1, 5, 0, 1", VersionString(info, "ProductVersion"));
    for (const char* empty : { "Comments", "CompanyName", "LegalTrademarks", "PrivateBuild", "SpecialBuild" })
        EXPECT_EQ("", VersionString(info, empty)) << empty;
}

TEST(PluginResources, ButtonBitmapAndDescription)
{
    const BITMAPINFOHEADER* header = (const BITMAPINFOHEADER*)LoadPluginResource(MAKEINTRESOURCEA(2) /* RT_BITMAP */, IDB_PLUGIN_BUTTON);
    ASSERT_TRUE(header != NULL);
    EXPECT_EQ(30, header->biWidth);
    EXPECT_EQ(22, header->biHeight);
    EXPECT_EQ(24, header->biBitCount);
    EXPECT_EQ((DWORD)BI_RGB, header->biCompression);
    const BYTE* corner = (const BYTE*)(header + 1);
    EXPECT_EQ(192, corner[0]);
    EXPECT_EQ(192, corner[1]);
    EXPECT_EQ(192, corner[2]);

    char text[128] = "";
    LoadStringA(Plugin::Module(), IDS_PLUGIN_DESCRIPTION, text, sizeof text);
    EXPECT_STREQ("zVkQuarvelind - Material manager plugin for Modelvane", text);
}

/////////////////////////////////////////////////////////////////////////////
// The about box

class AboutBox : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        m_mainView = CreateWindowA("STATIC", "main view", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
        zvktSetMainViewHwnd(m_mainView);
    }
    void TearDown() override
    {
        PluginTest::TearDown();
        DestroyWindow(m_mainView);
    }
    void ExpectAboutBoxShown()
    {
        MessageBoxCatcher catcher;
        Plugin::RightClick();
        ASSERT_EQ(1u, catcher.Boxes().size());
        const CapturedBox& box = catcher.Boxes()[0];
        EXPECT_EQ("zVk Quarvelind - by Garvelo", box.caption);
        EXPECT_EQ("zVk Quarvelind v.1.5 - Material manager plugin for Modelvane.", box.text);
        EXPECT_EQ(m_mainView, box.owner);
        EXPECT_FALSE(box.anyIcon);
        EXPECT_EQ(std::vector<int>{ IDOK }, box.buttons);
    }
    HWND m_mainView = NULL;
};

TEST_F(AboutBox, ShowsTheCreditOwnedByTheMainViewWithoutAWindow)
{
    ExpectAboutBoxShown();
    EXPECT_TRUE(FindToolWindows().empty());
}

TEST_F(AboutBox, LeavesAnOpenToolWindowAsItWas)
{
    Plugin::LeftClick();
    HWND window = FindToolWindow();
    SendDlgItemMessageA(window, IDC_FACE_LIST, LB_ADDSTRING, 0, (LPARAM)"0 | 0");
    ExpectAboutBoxShown();
    EXPECT_EQ(std::vector<HWND>{ window }, FindToolWindows());
    EXPECT_EQ(1, (int)SendDlgItemMessageA(window, IDC_FACE_LIST, LB_GETCOUNT, 0, 0));
}

/////////////////////////////////////////////////////////////////////////////
// The tool window's life

class ToolWindowFrame : public ToolWindowTest
{
protected:
    void AddEntries(int count)
    {
        for (int i = 0; i < count; ++i)
            SendMessageA(m_list, LB_ADDSTRING, 0, (LPARAM)(std::to_string(i) + " | 0").c_str());
    }
    // A key as a host's message loop with IsDialogMessage delivers it.
    bool DialogKey(HWND focus, UINT vk)
    {
        SetFocus(focus);
        MSG msg = { focus, WM_KEYDOWN, vk, 1, GetTickCount(), { 0, 0 } };
        BOOL handled = IsDialogMessageA(m_window, &msg);
        PumpMessages();
        return handled != FALSE;
    }
};

TEST_F(ToolWindowFrame, OpensInItsInitialState)
{
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(0, EntryCount());
    EXPECT_EQ("Faces | matIDs list", ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
    EXPECT_EQ("Paint options", ItemText(IDC_PAINT_OPTIONS));
    for (int id : { IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
        EXPECT_EQ(BST_UNCHECKED, CheckState(id)) << id;
    for (int id : { IDC_CLEAR_LIST, IDC_PAINT_OPTIONS, IDC_COPY_MATERIAL, IDC_PAINT_RANDOM,
                    IDC_PAINT_INVISIBLE, IDC_PAINT_FACE, IDC_PAINT_SELECTION, IDC_SPARE_BUTTON })
        EXPECT_FALSE(IsEnabled(id)) << id;
    for (int id : { IDC_FACE_LIST, IDC_LOAD_LIST, IDC_PAINT_ALL, IDC_HELP_BUTTON })
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_FALSE(IsWindowVisible(Item(IDC_ITEM_TEXT)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SPARE_BUTTON)));
    EXPECT_EQ(15, (int)SendMessageA(Item(IDC_ITEM_TEXT), EM_GETLIMITTEXT, 0, 0));

    // The list's own font and rows: test_facelist.
    LOGFONTA buttonFont = {};
    GetObjectA((HFONT)SendMessageA(Item(IDC_LOAD_LIST), WM_GETFONT, 0, 0), sizeof buttonFont, &buttonFont);
    EXPECT_STREQ("Arial", buttonFont.lfFaceName);

    RECT frame;
    GetWindowRect(m_window, &frame);
    EXPECT_EQ(100, frame.left);
    EXPECT_EQ(100, frame.top);
}

TEST_F(ToolWindowFrame, ALeftClickOnAnOpenWindowOnlyActivatesIt)
{
    AddEntries(3);
    Plugin::LeftClick();
    PumpMessages();
    EXPECT_EQ(std::vector<HWND>{ m_window }, FindToolWindows());
    EXPECT_EQ(3, EntryCount());
    EXPECT_EQ(m_window, GetActiveWindow());
}

TEST_F(ToolWindowFrame, ClosingTellsTheHostAndTheNextClickBuildsAFreshWindow)
{
    AddEntries(2);
    SendMessageA(m_list, LB_SETITEMDATA, 1, 0x00B8800);
    zvktJournalClear();
    SendMessageA(m_window, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_TRUE(FindToolWindows().empty());
    std::vector<std::string> calls = CallNames();
    ASSERT_GE(calls.size(), 3u) << JournalText();
    EXPECT_EQ((std::vector<std::string>{ "zvkCurrobjEditToolClose", "zvkCurrobjRefresh", "zvkAllViewRefreshSelObject" }),
              std::vector<std::string>(calls.begin(), calls.begin() + 3));

    OpenToolWindow();
    EXPECT_EQ(0, EntryCount());
    EXPECT_FALSE(IsEnabled(IDC_CLEAR_LIST));
    EXPECT_EQ(GetSystemMetrics(SM_CYMENUCHECK), (int)SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0));
}

TEST_F(ToolWindowFrame, DeactivateLeavesTheWindowOpenAndWorking)
{
    AddEntries(2);
    Plugin::Deactivate();
    PumpMessages();
    EXPECT_EQ(std::vector<HWND>{ m_window }, FindToolWindows());
    EXPECT_TRUE(IsWindowVisible(m_window));
    MessageBoxCatcher catcher;
    Press(IDC_HELP_BUTTON);
    ASSERT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ(m_window, catcher.Boxes()[0].owner);
    EXPECT_EQ("zVkQuarvelind", catcher.Boxes()[0].caption);
    EXPECT_EQ(2, EntryCount());
}

// The plug-in in a process of its own (plugin_at_exit) with both its windows open: when the
// process ends, the system takes the windows down and the plug-in must not send them anything,
// for their owner may be gone already; an unload by FreeLibrary still destroys both.
TEST(PluginUnload, AtProcessEndNoWindowIsTouchedAndAnUnloadDestroysBoth)
{
    struct Case
    {
        const char* label;
        const char* mode;
        bool destroyed;
    };
    const Case cases[] = {
        { "the process ends with both windows open", "exit", false },
        { "FreeLibrary with both windows open", "free", true },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const std::string log = std::string(temp) + "zvk-" + std::to_string(GetCurrentProcessId()) + "-at-exit.log";
        std::string command = std::string("plugin_at_exit.exe ") + c.mode + " \"" + log + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            << LastErrorText();
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        DWORD status = 1;
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(0u, status);

        std::ifstream file(log.c_str(), std::ios_base::binary);
        const std::string messages((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        file.close();
        DeleteFileA(log.c_str());
        if (!c.destroyed)
        {
            EXPECT_EQ("", messages);
        }
        for (const char* destroy : { "tool 0x0002", "tool 0x0082", "panel 0x0002", "panel 0x0082" })
            EXPECT_EQ(c.destroyed, messages.find(destroy) != std::string::npos) << destroy << " in:\n" << messages;
    }
}

static BOOL CALLBACK CollectDialogCaption(HWND window, LPARAM param)
{
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0)
        ((std::vector<std::string>*)param)->push_back(WindowText(window));
    return TRUE;
}

// What tells two dialog templates apart on screen: client size and number of controls.
static std::string Shape(HWND dialog)
{
    RECT client = {};
    GetClientRect(dialog, &client);
    int controls = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++controls;
    return std::to_string(client.right) + " x " + std::to_string(client.bottom) + ", " + std::to_string(controls)
        + " controls";
}

static INT_PTR CALLBACK ProbeProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

static std::string TemplateShape(HMODULE module)
{
    HWND probe = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_MATID_TOOL), NULL, ProbeProc, 0);
    std::string shape = probe ? Shape(probe) : "no dialog";
    DestroyWindow(probe);
    PumpMessages();
    return shape;
}

// The test program carries a dialog 102 of its own, as a host may: the one dialog a left click
// opens has the plug-in's caption, size and controls, and the host's dialog never appears.
TEST_F(PluginTest, TheToolWindowComesFromThePluginsTemplateNotTheHostsOwn)
{
    const std::string plugin = TemplateShape(Plugin::Module());
    ASSERT_NE(TemplateShape(GetModuleHandleA(NULL)), plugin) << "the test program's own dialog 102 is missing or alike";

    Plugin::LeftClick();
    PumpMessages();

    std::vector<std::string> captions;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialogCaption, (LPARAM)&captions);
    EXPECT_EQ(std::vector<std::string>{ " zVkQuarvelind" }, captions);
    HWND window = FindToolWindow();
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(plugin, Shape(window));
}

TEST_F(ToolWindowFrame, LeavingTheListPushesTheMembersIntoTheControlsAgain)
{
    SetFocus(m_list);
    SendMessageA(Item(IDC_COPY_MATERIAL), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(Item(IDC_PAINT_INVISIBLE), BM_SETCHECK, BST_CHECKED, 0);
    SetWindowTextA(Item(IDC_OBJECT_NAME), "typed over");
    SetWindowTextA(Item(IDC_ITEM_TEXT), "12 | 3");
    SetFocus(Item(IDC_LOAD_LIST));
    PumpMessages();
    EXPECT_EQ(BST_UNCHECKED, CheckState(IDC_COPY_MATERIAL));
    EXPECT_EQ(BST_UNCHECKED, CheckState(IDC_PAINT_INVISIBLE));
    EXPECT_EQ("", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
}

TEST_F(ToolWindowFrame, EnterDoesNothingAndEscClosesLikeTheCloseButton)
{
    AddEntries(2);
    DialogKey(m_list, VK_RETURN);
    EXPECT_EQ(std::vector<HWND>{ m_window }, FindToolWindows());
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(2, EntryCount());

    zvktJournalClear();
    DialogKey(m_list, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_TRUE(FindToolWindows().empty());
    EXPECT_FALSE(CallsNamed("zvkCurrobjEditToolClose").empty()) << JournalText();

    OpenToolWindow();
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(1u, FindToolWindows().size());
}

TEST_F(ToolWindowFrame, ALeftClickBringsBackAHiddenOrMinimisedWindow)
{
    AddEntries(1);
    ShowWindow(m_window, SW_HIDE);
    Plugin::LeftClick();
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(m_window));

    ShowWindow(m_window, SW_MINIMIZE);
    Plugin::LeftClick();
    PumpMessages();
    EXPECT_FALSE(IsIconic(m_window));
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(std::vector<HWND>{ m_window }, FindToolWindows());
    EXPECT_EQ(1, EntryCount());
}

static LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(PluginTest, AWindowThatCannotBeCreatedLetsTheNextClickTryAgain)
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseEveryWindow, NULL, GetCurrentThreadId());
    EXPECT_EQ(0, Plugin::LeftClick());
    EXPECT_EQ(0, Plugin::LeftClick());
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(FindToolWindows().empty());

    Plugin::LeftClick();
    PumpMessages();
    HWND window = FindToolWindow();
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(IsWindowVisible(window));
}
