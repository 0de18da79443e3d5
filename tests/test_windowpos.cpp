// The window-position file through the replacement host's directory: where the tool
// window opens, what is on disk after opening and after closing, and every failure kept silent.
#include "support/PluginFixture.h"

#include <fstream>
#include <string>
#include <utility>

namespace
{

// The window's outer top-left corner: left, top.
typedef std::pair<int, int> Corner;

const Corner kDefaults(100, 100);

// The file as the plug-in writes it: each number, then CR LF.
std::string Stored(Corner c) { return std::to_string(c.first) + "\r\n" + std::to_string(c.second) + "\r\n"; }

// True when the path reads as a zero byte, as /dev/full does (a file never does here).
bool IsDevFull(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios_base::binary);
    return file.get() == 0;
}

// By the folder's listing: GetFileAttributes can miss a link to a device, which ends the wait for rm early.
bool IsListed(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// Runs "/bin/<program> <options> <unix path>" and waits for done(), woken by the change
// notifications of the file's folder: Wine starts Linux programs but fills the process information
// with stray values, so there is no process handle to wait on, and its "handles" are left alone:
// closing them can close one of this program's own, its standard output for one. Not done within
// ten seconds is a failure, and so is a program that does not start. False where there is no such
// program here (not under Wine).
template <typename Done>
bool RunLinux(const char* program, const char* options, const std::string& windowsPath, Done done)
{
    typedef char*(CDECL * UnixFileName)(LPCWSTR);
    UnixFileName unixFileName =
        (UnixFileName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    const std::string executable = std::string("Z:\\bin\\") + program;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unixPath = unixFileName && IsListed(executable) ? unixFileName(wide) : NULL;
    if (unixPath == NULL)
        return false;
    std::string commandLine = std::string(program) + " " + options + " \"" + unixPath + "\"";
    HeapFree(GetProcessHeap(), 0, unixPath);

    // Watched before the start, so that no change falls between the two.
    HANDLE change = FindFirstChangeNotificationA(FolderOf(windowsPath).c_str(), FALSE,
                                                 FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES);
    if (change == INVALID_HANDLE_VALUE)
    {
        ADD_FAILURE() << "no change notification for " << FolderOf(windowsPath) << ", error " << GetLastError();
        return true;   // a failure here, not a place where this cannot be done
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const bool started =
        CreateProcessA(executable.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    const DWORD error = GetLastError();
    const DWORD deadline = GetTickCount() + 10000;
    while (started && !done())
    {
        const LONG left = (LONG)(deadline - GetTickCount());
        if (left <= 0 || WaitForSingleObject(change, (DWORD)left) != WAIT_OBJECT_0)
            break;
        FindNextChangeNotification(change);
    }
    FindCloseChangeNotification(change);
    EXPECT_TRUE(started && done()) << commandLine << (started ? " had not done its work after ten seconds"
                                                              : " did not start, error " + std::to_string(error));
    return true;
}

// The file replaced by a Linux link to /dev/full, which opens but takes no byte. Wine's
// CreateSymbolicLink does nothing and its DeleteFile refuses the link, so ln and rm do the work.
bool LinkToDevFull(const std::string& path)
{
    return RunLinux("ln", "-sfn /dev/full", path, [&] { return IsDevFull(path); });
}

bool RemoveLinuxLink(const std::string& path)
{
    return RunLinux("rm", "-f", path, [&] { return !IsListed(path); });
}

class WindowPositionTest : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        m_folder = m_hostDir + "\\zv\\zvk\\zVkQuarvelind";
        m_file = m_folder + "\\zVkQuarvelind.ini";
        RemoveSettings();   // a folder left by an earlier, failed run
        m_frame = TemplateWindowRect();
        m_created = Corner(m_frame.left, m_frame.top);
        ASSERT_NE(kDefaults, m_created) << "the test cannot tell the creation position from the defaults";
    }

    void TearDown() override
    {
        // Closed here, so that what a closing window writes is removed before the host folder.
        for (HWND window : FindToolWindows())
            SendMessageA(window, WM_CLOSE, 0, 0);
        PumpMessages();
        RemoveSettings();
        PluginTest::TearDown();
        EXPECT_FALSE(IsListed(m_hostDir)) << "host folder left behind, holding something";
    }

    void MakeSettingsFolder()
    {
        CreateDirectoryA((m_hostDir + "\\zv").c_str(), NULL);
        CreateDirectoryA((m_hostDir + "\\zv\\zvk").c_str(), NULL);
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), NULL)) << m_folder;
    }

    void RemoveSettings()
    {
        SetFileAttributesA(m_file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(m_file.c_str()) && IsListed(m_file))
        {
            EXPECT_TRUE(RemoveLinuxLink(m_file)) << m_file << " cannot be removed";
        }
        RemoveDirectoryA(m_folder.c_str());
        RemoveDirectoryA((m_hostDir + "\\zv\\zvk").c_str());
        RemoveDirectoryA((m_hostDir + "\\zv").c_str());
    }

    // Exact bytes, so a test decides every CR and LF. Any open for writing empties the file, so
    // bytes found unchanged afterwards mean nobody opened it for writing.
    void PutFile(const std::string& bytes)
    {
        std::ofstream file(m_file.c_str(), std::ios_base::binary);
        ASSERT_TRUE(file << bytes << std::flush) << m_file;
    }

    std::string FileBytes() const
    {
        std::ifstream file(m_file.c_str(), std::ios_base::binary);
        char bytes[4096];   // a bound, as /dev/full never ends
        file.read(bytes, sizeof bytes);
        return file.is_open() ? std::string(bytes, static_cast<size_t>(file.gcount())) : "<missing>";
    }

    // True when nobody holds the file open and it may be written: it opens for writing with no sharing.
    bool FileIsClosedAndWritable() const
    {
        HANDLE handle = CreateFileA(m_file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(handle);
        return true;
    }

    void OpenWindow()
    {
        Plugin::LeftClick();
        PumpMessages();
        m_window = FindToolWindow();
        ASSERT_TRUE(m_window != NULL) << "no tool window after a left click";
    }

    void CloseWindow()
    {
        SendMessageA(m_window, WM_CLOSE, 0, 0);
        PumpMessages();
        EXPECT_TRUE(FindToolWindows().empty()) << "WM_CLOSE left the window";
    }

    // Gone without WM_CLOSE, so without a save.
    void DestroyWindowOnly()
    {
        DestroyWindow(m_window);
        PumpMessages();
    }

    Corner WindowCorner() const
    {
        RECT frame;
        GetWindowRect(m_window, &frame);
        return Corner(frame.left, frame.top);
    }

    // The user drags the window by its caption: only its position changes.
    void MoveWindowTo(Corner corner)
    {
        SetWindowPos(m_window, NULL, corner.first, corner.second, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
        ASSERT_EQ(corner, WindowCorner());
    }

    // A window that could not use the file opens at the defaults and writes at once where it was created.
    void ExpectDefaultsAndRewrittenFile()
    {
        EXPECT_EQ(kDefaults, WindowCorner());
        EXPECT_EQ(Stored(m_created), FileBytes());
    }

    std::string m_folder;
    std::string m_file;
    RECT m_frame;   // the window as its template creates it
    Corner m_created;
    HWND m_window = NULL;
};

TEST_F(WindowPositionTest, FolderWithoutFileIsWrittenAtOnceThenAtEveryCloseAndUsedNextTime)
{
    MakeSettingsFolder();
    OpenWindow();
    ExpectDefaultsAndRewrittenFile();
    EXPECT_TRUE(FileIsClosedAndWritable()) << "the file stays open while the window is open";
    ASSERT_FALSE(CallsNamed("zvkGetZVDir").empty());
    for (const ZvktCall* call : CallsNamed("zvkGetZVDir"))
        EXPECT_EQ(0u, call->args[0]) << "the host directory is asked for with 0";

    const Corner corners[] = {
        {17, 33},
        {-40, -25},                                                      // partly on the screen
        {GetSystemMetrics(SM_CXSCREEN) - 30, GetSystemMetrics(SM_CYSCREEN) - 20},   // mostly off the screen
        {0, 0},
        {100, 100},
    };
    for (const Corner& corner : corners)
    {
        SCOPED_TRACE("moved to " + testing::PrintToString(corner));
        MoveWindowTo(corner);
        CloseWindow();
        EXPECT_EQ(Stored(corner), FileBytes());
        OpenWindow();
        EXPECT_EQ(corner, WindowCorner());
        EXPECT_EQ(Stored(corner), FileBytes());
    }
}

// What a file holds -> where the window opens, and whether the file is rewritten at once
// (with the creation position) or left untouched.
TEST_F(WindowPositionTest, StoredContentGivesThisCorner)
{
    struct Case { std::string content; Corner corner; bool rewritten; };
    std::vector<Case> cases = {
        {"250\r\n40\r\n", {250, 40}, false},
        {"250\n40\n", {250, 40}, false},
        {"250 40", {250, 40}, false},
        {"250 40\r\n", {250, 40}, false},
        {"250\r\n40", {250, 40}, false},
        {"250\r\n40\r\nextra\r\n99\r\n", {250, 40}, false},
        {"250\r\n40x", {250, 40}, false},
        {" \t\r\n250\r\n\r\n\t +40 junk\r\n", {250, 40}, false},
        {"0250\r\n040\r\n", {250, 40}, false},
        {"-50\r\n-30\r\n", {-50, -30}, false},   // partly on the screen: used exactly
        {"", kDefaults, true},
        {" \r\n\r\n", kDefaults, true},
        {"250", kDefaults, true},
        {"250\r\n", kDefaults, true},
        {"250\r\nx40\r\n", kDefaults, true},
        {"x250\r\n40\r\n", kDefaults, true},
        {"250,40", kDefaults, true},
        {"- 250\r\n40\r\n", kDefaults, true},
        {"2147483648\r\n40\r\n", kDefaults, true},   // outside the 32-bit range
        {"250\r\n-2147483649\r\n", kDefaults, true},
        {"99999999999999999999\r\n1\r\n", kDefaults, true},
        {"-5000\r\n-5000\r\n", kDefaults, true},     // outside every monitor
        {"5000\r\n100\r\n", kDefaults, true},
        {"100\r\n5000\r\n", kDefaults, true},
        {"2147483647\r\n2147483647\r\n", kDefaults, true},
        {"-2147483648\r\n-2147483648\r\n", kDefaults, true},
        {"-2147483648\r\n2147483647\r\n", kDefaults, true},
    };
    // One pixel of the window on the monitor is enough; none is not.
    if (GetSystemMetrics(SM_CMONITORS) == 1)
    {
        const int left = m_frame.left - m_frame.right;
        const int top = m_frame.top - m_frame.bottom;
        const int right = GetSystemMetrics(SM_CXSCREEN);
        const int bottom = GetSystemMetrics(SM_CYSCREEN);
        const Corner edges[][2] = {
            {{left + 1, 50}, {left, 50}},
            {{right - 1, 50}, {right, 50}},
            {{50, top + 1}, {50, top}},
            {{50, bottom - 1}, {50, bottom}},
            {{right - 1, bottom - 1}, {right, bottom}},
            {{left + 1, top + 1}, {left, top}},
        };
        for (const auto& edge : edges)
        {
            cases.push_back({Stored(edge[0]), edge[0], false});
            cases.push_back({Stored(edge[1]), kDefaults, true});
        }
    }
    MakeSettingsFolder();
    for (const Case& c : cases)
    {
        SCOPED_TRACE("file " + testing::PrintToString(c.content));
        PutFile(c.content);
        OpenWindow();
        EXPECT_EQ(c.corner, WindowCorner());
        EXPECT_EQ(c.rewritten ? Stored(m_created) : c.content, FileBytes());
        EXPECT_TRUE(FileIsClosedAndWritable()) << "the file stays open while the window is open";
        const std::string opened = FileBytes();
        DestroyWindowOnly();
        EXPECT_EQ(opened, FileBytes()) << "a window destroyed without WM_CLOSE saved";
    }
}

// The save at opening fails and is remembered: the close writes nothing, even once it could
// succeed. The next window tries again. A folder that has the file's name stands for a read-only
// file, whose attribute Wine keeps as Unix permission bits that do not stop the superuser.
enum Obstacle { kNoFolder, kHeldOpen, kFolderOfItsName };

class FailedSaveAtOpening : public WindowPositionTest, public testing::WithParamInterface<Obstacle>
{
};

TEST_P(FailedSaveAtOpening, GivesDefaultsAndTheCloseWritesNothing)
{
    const Obstacle obstacle = GetParam();
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (obstacle != kNoFolder)
        MakeSettingsFolder();
    if (obstacle == kHeldOpen)
    {
        PutFile("unreadable\r\n");
        holder = CreateFileA(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    }
    if (obstacle == kFolderOfItsName)
    {
        ASSERT_TRUE(CreateDirectoryA(m_file.c_str(), NULL));
    }
    const std::string before = FileBytes();
    OpenWindow();
    EXPECT_EQ(kDefaults, WindowCorner());
    if (obstacle == kNoFolder)
    {
        EXPECT_FALSE(IsListed(m_hostDir + "\\zv")) << "the plug-in created the settings folder";
        MakeSettingsFolder();
    }
    if (holder != INVALID_HANDLE_VALUE)
        CloseHandle(holder);
    if (obstacle == kFolderOfItsName)
    {
        ASSERT_TRUE(RemoveDirectoryA(m_file.c_str()));
    }
    MoveWindowTo({300, 200});
    CloseWindow();
    EXPECT_EQ(before, FileBytes()) << "the close wrote although the save at opening had failed";

    OpenWindow();
    ExpectDefaultsAndRewrittenFile();
    DestroyWindowOnly();
}

INSTANTIATE_TEST_SUITE_P(Obstacles, FailedSaveAtOpening, testing::Values(kNoFolder, kHeldOpen, kFolderOfItsName),
                         [](const testing::TestParamInfo<Obstacle>& info) {
                             return std::string(info.param == kNoFolder   ? "NoFolder"
                                                : info.param == kHeldOpen ? "HeldOpenByAnotherProgram"
                                                                          : "FolderOfItsName");
                         });

// A disk that fills after the open (a link to /dev/full): every write fails unnoticed. The position
// saved on closing is lost; the next window gets the defaults, and its save at opening counts as a
// success, so its close tries again.
TEST_F(WindowPositionTest, FullDiskLosesThePositionSilently)
{
    MakeSettingsFolder();
    PutFile("250\r\n40\r\n");
    OpenWindow();
    EXPECT_EQ(Corner(250, 40), WindowCorner());
    if (!LinkToDevFull(m_file))
        GTEST_SKIP() << "no link to /dev/full can be made here (not under Wine)";
    ASSERT_TRUE(IsDevFull(m_file));
    MoveWindowTo({300, 200});
    CloseWindow();

    OpenWindow();
    EXPECT_EQ(kDefaults, WindowCorner());
    EXPECT_TRUE(IsDevFull(m_file)) << "still the link: the writes of every save went nowhere";
    ASSERT_TRUE(RemoveLinuxLink(m_file));
    MoveWindowTo({321, 123});
    CloseWindow();
    EXPECT_EQ("321\r\n123\r\n", FileBytes());
}

}  // namespace
