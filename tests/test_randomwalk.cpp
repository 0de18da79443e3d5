// A long random walk through the tool window: thousands of seeded user actions and host-side
// changes, each followed by a check of the window against a small model of what it should show.
//
// Run any seed and length (the suite runs the default ones):
//   ZVK_WALK_SEED=42 ZVK_WALK_ACTIONS=50000 ctest --test-dir build -R test_randomwalk --output-on-failure
//
// The model follows the commands that actually reach the dialog (a subclass logs them), so an
// Enter that presses the focused button or a click that the system gives to the dialog because
// the control under it is disabled are judged by what the window was told, not by what the walk
// meant to do.
//
// GDI objects are counted at the plug-in's import boundary: its imports of the GDI functions that
// make and delete objects (and GetDC/ReleaseDC) are routed through counters, and every handle
// counted as alive must still be alive for GetObjectType. USER objects are the windows of this
// thread, counted by enumeration (the popup menu's window included), and the menus the plug-in
// loads, counted at its LoadMenuA and DestroyMenu imports: the face list's menu is loaded and
// destroyed inside its handler, so none may be alive after an action. A check of the import
// table keeps every object-making import counted. Cursors from LoadCursorA are the system's
// shared cursors, not objects the plug-in makes, and the clipboard's GlobalAlloc block belongs
// to the system once SetClipboardData has it.
//
// The face list's context menu is caught as the real popup (the menu loop's WM_ENTERIDLE to its
// owner) and then closed with Esc or one of its items, greyed ones included, is chosen with
// arrow keys and Enter.
//
// The materials panel is opened from the menu and with Ctrl+M, its rows double-clicked, entered
// (with and without IsDialogMessage), sent to the editor, assigned to the selected entries'
// faces and replaced everywhere (whose new indices, colours and undo steps the model predicts),
// and it is closed, with Esc too; after every action
// its rows, total, greying and title are held against the host's face records and slots as they
// stood at the last command that refreshed it.
#include "randomwalk/Model.h"
#include "support/ImportTable.h"

namespace walk {

// Outcomes a walk of the default length must reach.
const char* const OUTCOMES[] = {
    "list loaded", "load refused: not a polyhedron", "load refused: face limit", "list rebuilt for another name",
    "one entry selected", "several entries selected", "every entry selected", "entry beyond the host's faces skipped",
    "face painted", "selection painted", "polyhedron painted", "global texture refused", "list cleared",
    "mode box switched", "window closed", "disabled control clicked", "help shown", "about box shown",
    "menu: dismissed", "menu: greyed item chosen", "menu: out of date", "menu: select by material",
    "menu: select painted", "menu: select to do", "menu: every entry chosen", "menu: copy list",
    "menu: copy selected", "menu: opened by keyboard", "menu: copy with the clipboard held",
    "menu: select without the host's array", "selection without the host's array",
    "panel opened", "panel brought forward", "panel greyed", "panel: faces of a material selected",
    "panel: material to the editor", "panel: refused while out of date", "panel closed",
    "panel closed with the tool window", "Ctrl+M with nothing to show", "panel: highlight moved with its material",
    "paint undone", "paint redone", "faces changed since left alone", "undo or redo with nothing to act on",
    "undo or redo stopped by the host", "entry colours given back", "undo or redo key through IsDialogMessage",
    "undo or redo key without IsDialogMessage", "panel: faces assigned", "panel: material replaced",
    "panel: assign or replace with nothing to change", "panel: no material for assign or replace",
    "panel: Esc without IsDialogMessage", "Esc in the face list without IsDialogMessage",
    "follow: switched", "follow: a tick looked", "follow: list loaded", "follow: entries re-numbered",
};

/////////////////////////////////////////////////////////////////////////////
// A fault anywhere ends the walk with what is needed to replay it

std::string (*g_replayText)() = NULL;

LONG CALLBACK ReportFault(EXCEPTION_POINTERS* pointers)
{
    DWORD code = pointers->ExceptionRecord->ExceptionCode;
    switch (code)
    {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        break;
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
    HMODULE module = NULL;
    char moduleName[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)pointers->ExceptionRecord->ExceptionAddress, &module))
        GetModuleFileNameA(module, moduleName, sizeof moduleName);
    fprintf(stdout, "\n[  FAILED  ] random walk: exception 0x%08lX at %p in %s",
            code, pointers->ExceptionRecord->ExceptionAddress, moduleName);
    if (code == EXCEPTION_ACCESS_VIOLATION)
        fprintf(stdout, " (%s address 0x%08lX)", pointers->ExceptionRecord->ExceptionInformation[0] ? "writing" : "reading",
                (unsigned long)pointers->ExceptionRecord->ExceptionInformation[1]);
    fprintf(stdout, "\n%s\n", g_replayText ? g_replayText().c_str() : "");
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

// A read of the null page from inside a host call, which the plug-in made from a handler.
volatile UINT_PTR g_nowhere = 8;

void __cdecl FaultInTheHost()
{
    (void)*(volatile int*)g_nowhere;
}

/////////////////////////////////////////////////////////////////////////////
// The walk

RandomWalk* RandomWalk::s_current = NULL;

std::string RandomWalk::ReplayText() const
{
    std::ostringstream text;
    text << "seed " << m_seed << ", action " << m_index << " of " << m_actions
         << " (replay: ZVK_WALK_SEED=" << m_seed << " ZVK_WALK_ACTIONS=" << m_index + 1 << ")\n"
         << "last actions:\n";
    for (const std::string& action : m_lastActions)
        text << "  " << action << "\n";
    return text.str();
}

void RandomWalk::SetUp()
{
    PluginTest::SetUp();
    m_seed = EnvironmentNumber("ZVK_WALK_SEED", DEFAULT_SEED);
    m_actions = (int)EnvironmentNumber("ZVK_WALK_ACTIONS", DEFAULT_ACTIONS);
    s_current = this;
    g_replayText = [] { return s_current->ReplayText(); };
    m_faultHandler = AddVectoredExceptionHandler(1, ReportFault);
    CountPluginObjects();
    m_clipboardHolder = CreateWindowA("STATIC", "another program", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
}

void RandomWalk::TearDown()
{
    DestroyWindow(m_clipboardHolder);
    RemoveVectoredExceptionHandler(m_faultHandler);
    g_replayText = NULL;
    PluginTest::TearDown();
}

TEST_F(RandomWalk, SurvivesLongMessyUse)
{
    WalkRandom random(m_seed);
    m_hazards = WalkRandom(~m_seed);
    BuildScene(random);
    m_model.open = false;
    Attach();
    DWORD started = GetTickCount();
    int survived = 0;
    int faultAt = (int)EnvironmentNumber("ZVK_WALK_FAULT_AT", 0);
    for (m_index = 0; m_index < m_actions; ++m_index)
    {
        if (faultAt > 0 && m_index == faultAt)
            zvktSetChangeCallback(FaultInTheHost);
        NoteBeforeAction();
        m_expectedBoxes.clear();
        m_boxesFrom = m_catcher.Boxes().size();
        g_watch.commands.clear();
        bool done = false;
        while (!done)
            done = random.Percent(22) ? HostAction(random) : UserAction(random);
        m_lastActions.push_back("#" + std::to_string(m_index) + " " + m_doing);
        if (m_lastActions.size() > REMEMBERED_ACTIONS)
            m_lastActions.pop_front();

        ApplyCommands(g_watch.commands);
        Attach();
        CheckAll();
        zvktJournalClear();
        if (!m_failures.empty())
        {
            std::string all;
            for (const std::string& failure : m_failures)
                all += "  " + failure + "\n";
            ADD_FAILURE() << "random walk failed after an action:\n" << all << ReplayText();
            break;
        }
        survived = m_index + 1;
    }
    for (const auto& reached : m_reached)
        printf("random walk: %6d x %s\n", reached.second, reached.first.c_str());
    // The suite's own walk must reach every outcome; another seed only says what it missed.
    bool suiteWalk = m_seed == DEFAULT_SEED && m_actions >= DEFAULT_ACTIONS;
    for (const char* outcome : OUTCOMES)
    {
        if (m_failures.empty() && suiteWalk)
            EXPECT_GT(m_reached[outcome], 0) << "the walk never reached: " << outcome;
        else if (m_reached[outcome] == 0)
            printf("random walk: never reached: %s\n", outcome);
    }
    printf("random walk: %d actions in %.1f s\n", survived, (GetTickCount() - started) / 1000.0);
    printf("ZVK-FIGURE random-walk actions survived: %d (seed %llu)\n", survived, (unsigned long long)m_seed);
}

// Follows the tool window as it comes and goes: its controls and the watch on them.
void RandomWalk::Attach()
{
    HWND window = FindToolWindow();
    if (window == m_window && window == g_watch.dialog)
        return;
    m_window = window;
    m_list = window ? GetDlgItem(window, IDC_FACE_LIST) : NULL;
    Watch(m_window, m_list);
}

// Every object-making function the plug-in imports must be one the walk counts.
TEST(RandomWalkCounting, EveryObjectMakingImportOfThePluginIsCounted)
{
    ASSERT_TRUE(Plugin::Module() != NULL);
    int seen = 0;
    ForEachImport(Plugin::Module(), [&](const char* dll, const char* name, IMAGE_THUNK_DATA*) {
        bool userOrGdi = _stricmp(dll, "USER32.dll") == 0 || _stricmp(dll, "GDI32.dll") == 0;
        if (!userOrGdi || !MakesAnObject(name))
            return;
        ++seen;
        EXPECT_TRUE(IsCountedMaker(name)) << dll << "!" << name << " makes objects the random walk does not count";
    });
    EXPECT_GT(seen, 0) << "no object-making import found: the import table was not read";
}

} // namespace walk

// The walk's own guard: a fault deep inside a handler ends the walk at once, with the replay,
// instead of a crash debugger that would hang the run. The walk runs as a child program that a
// host call faults in from the 20th action on.
TEST(RandomWalkFaults, AFaultEndsTheWalkWithWhatReplaysIt)
{
    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, MAX_PATH);
    std::string command = std::string("\"") + program + "\" --gtest_filter=RandomWalk.*";

    // The child's output goes to a file, not a pipe: a process the child starts (Wine's desktop
    // process, when the child makes the first window) may hold its standard handles for good.
    char directory[MAX_PATH], outputPath[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "zvk", 0, outputPath);
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, NULL, TRUE };
    HANDLE outputFile = CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, outputFile);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputFile;
    startup.hStdError = outputFile;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    SetEnvironmentVariableA("ZVK_WALK_FAULT_AT", "20");
    SetEnvironmentVariableA("ZVK_WALK_ACTIONS", "400");
    PROCESS_INFORMATION child = {};
    BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child);
    SetEnvironmentVariableA("ZVK_WALK_FAULT_AT", NULL);
    SetEnvironmentVariableA("ZVK_WALK_ACTIONS", NULL);
    CloseHandle(outputFile);
    ASSERT_TRUE(started) << "error " << GetLastError();
    DWORD waited = WaitForSingleObject(child.hProcess, 120000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);

    std::string output;
    HANDLE readBack = CreateFileA(outputPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    char chunk[4096];
    DWORD got = 0;
    while (readBack != INVALID_HANDLE_VALUE && ReadFile(readBack, chunk, sizeof chunk, &got, NULL) && got > 0)
        output.append(chunk, got);
    CloseHandle(readBack);
    DeleteFileA(outputPath);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the faulted walk did not end within two minutes\n" << output;
    EXPECT_EQ(3u, status) << output;
    EXPECT_NE(std::string::npos, output.find("exception 0xC0000005")) << output;
    EXPECT_NE(std::string::npos, output.find("reading address 0x00000008")) << output;
    EXPECT_NE(std::string::npos, output.find("seed 20261207, action ")) << output;
    EXPECT_NE(std::string::npos, output.find("replay: ZVK_WALK_SEED=20261207 ZVK_WALK_ACTIONS=")) << output;
    EXPECT_NE(std::string::npos, output.find("  #19 ")) << "the actions before the fault are listed\n" << output;
    EXPECT_EQ(std::string::npos, output.find("ZVK-FIGURE")) << "a faulted walk reported a figure\n" << output;
}
