// The window-position file through the replacement host's directory: where the tool
// window opens, what is on disk after opening and after closing, and every failure kept silent.
#include "support/PluginFixture.h"

#include <cstdio>
#include <string>

namespace
{

const char kRelativeFolder[] = "\\zv\\zvk\\zVkQuarvelind";
const char kFileName[] = "\\zVkQuarvelind.ini";

struct Corner
{
    int x, y;
};

bool operator==(const Corner& a, const Corner& b) { return a.x == b.x && a.y == b.y; }

std::ostream& operator<<(std::ostream& out, const Corner& c) { return out << "(" << c.x << ", " << c.y << ")"; }

// The file as the plug-in writes it: each number, then CR LF.
std::string Stored(int x, int y) { return std::to_string(x) + "\r\n" + std::to_string(y) + "\r\n"; }

// True when the path opens and reading it gives a zero byte, as /dev/full does (a file never does here).
bool IsDevFull(const std::string& windowsPath)
{
    HANDLE handle = CreateFileA(windowsPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    char byte = 'x';
    DWORD got = 0;
    BOOL read = ReadFile(handle, &byte, 1, &got, NULL);
    CloseHandle(handle);
    return read && got == 1 && byte == '\0';
}

bool IsListed(const std::string& windowsPath)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(windowsPath.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// Runs a Linux program from /bin with one path argument, given as a Windows path, and waits up to
// ten seconds for done(). Wine starts Linux programs like any other, but reports no process handle
// for them, so the effect is waited for. False where this cannot be done (not under Wine).
template <typename Done>
bool RunLinux(const char* program, const char* options, const std::string& windowsPath, Done done)
{
    typedef char*(CDECL * UnixFileName)(LPCWSTR);
    UnixFileName unixFileName =
        (UnixFileName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    const std::string executable = std::string("Z:\\bin\\") + program;
    if (unixFileName == NULL || GetFileAttributesA(executable.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unixPath = unixFileName(wide);
    if (unixPath == NULL)
        return false;
    std::string commandLine = std::string(program) + " " + options + " \"" + unixPath + "\"";
    HeapFree(GetProcessHeap(), 0, unixPath);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(executable.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    for (int i = 0; i < 200; ++i)
    {
        if (done())
            return true;
        Sleep(50);
    }
    return false;
}

// Replaces the file by a Linux symbolic link to /dev/full, which opens but takes no byte (and reads
// as zero bytes). Wine's CreateSymbolicLink does nothing, so the link is made by ln.
bool LinkToDevFull(const std::string& windowsPath)
{
    return RunLinux("ln", "-sfn /dev/full", windowsPath, [&] { return IsDevFull(windowsPath); });
}

// Wine's DeleteFile refuses a link to a device, so rm removes it.
bool RemoveLinuxLink(const std::string& windowsPath)
{
    return RunLinux("rm", "-f", windowsPath, [&] { return !IsListed(windowsPath); });
}

class WindowPositionTest : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        m_folder = m_hostDir + kRelativeFolder;
        m_file = m_folder + kFileName;
        RemoveSettings();   // a folder left by an earlier, failed run
    }

    void TearDown() override
    {
        // Closed here, so that what a closing window writes is removed before the host folder.
        for (HWND window : FindToolWindows())
            SendMessageA(window, WM_CLOSE, 0, 0);
        PumpMessages();
        RemoveSettings();
        PluginTest::TearDown();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_hostDir.c_str())) << "host folder left behind";
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

    bool HostFolderIsEmpty() const
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((m_hostDir + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        bool empty = true;
        do
        {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                empty = false;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return empty;
    }

    // Exact bytes, so a test decides every CR and LF.
    void PutFile(const std::string& bytes)
    {
        FILE* file = std::fopen(m_file.c_str(), "wb");
        ASSERT_NE(nullptr, file) << m_file;
        ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
        // An old time stamp: any later open for writing, even one that writes nothing, changes it.
        HANDLE handle = CreateFileA(m_file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, handle);
        SYSTEMTIME old = {2001, 2, 0, 3, 4, 5, 6, 0};
        FILETIME stamp;
        SystemTimeToFileTime(&old, &stamp);
        SetFileTime(handle, NULL, NULL, &stamp);
        CloseHandle(handle);
    }

    std::string FileBytes() const
    {
        FILE* file = std::fopen(m_file.c_str(), "rb");
        if (!file)
            return "<missing>";
        std::string bytes;
        char buffer[256];
        size_t got;
        while (bytes.size() < 4096 && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)   // /dev/full never ends
            bytes.append(buffer, got);
        std::fclose(file);
        return bytes;
    }

    // True when nobody holds the file open: it opens with no sharing at all.
    bool FileIsClosed() const
    {
        HANDLE handle = CreateFileA(m_file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(handle);
        return true;
    }

    bool FileUntouchedSincePut() const
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(m_file.c_str(), GetFileExInfoStandard, &data))
            return false;
        SYSTEMTIME written;
        FileTimeToSystemTime(&data.ftLastWriteTime, &written);
        return written.wYear == 2001;
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
        EXPECT_FALSE(IsWindow(m_window)) << "WM_CLOSE left the window";
        EXPECT_TRUE(FindToolWindows().empty());
        m_window = NULL;
    }

    Corner WindowCorner() const
    {
        RECT frame;
        GetWindowRect(m_window, &frame);
        return Corner{frame.left, frame.top};
    }

    // The user drags the window by its caption: only its position changes.
    void MoveWindowTo(int x, int y)
    {
        SetWindowPos(m_window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
        ASSERT_EQ((Corner{x, y}), WindowCorner());
    }

    // Where a window made from the plug-in's own template 102 stands before anyone moves it,
    // and its outer size: found with a dialog of the test's own.
    static RECT TemplateWindowRect()
    {
        HWND probe = CreateDialogParamA(Plugin::Module(), MAKEINTRESOURCEA(IDD_MATID_TOOL), NULL, ProbeProc, 0);
        RECT frame = {0, 0, 0, 0};
        if (probe == NULL)
        {
            ADD_FAILURE() << "template 102 did not make a window, error " << GetLastError();
            return frame;
        }
        GetWindowRect(probe, &frame);
        DestroyWindow(probe);
        PumpMessages();
        return frame;
    }
    static INT_PTR CALLBACK ProbeProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

    static Corner CreationCorner()
    {
        RECT frame = TemplateWindowRect();
        return Corner{frame.left, frame.top};
    }

    static RECT PrimaryMonitor()
    {
        POINT origin = {0, 0};
        MONITORINFO info;
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
        return info.rcMonitor;
    }

    // What a window that could not use the file shows: (100, 100), and the file written at once
    // with the window's creation position.
    void ExpectDefaultsAndRewrittenFile()
    {
        EXPECT_EQ((Corner{100, 100}), WindowCorner());
        const Corner created = CreationCorner();
        EXPECT_EQ(Stored(created.x, created.y), FileBytes());
    }

    std::string m_folder;
    std::string m_file;
    HWND m_window = NULL;
};

// ---- No folder ----

TEST_F(WindowPositionTest, WithoutTheFolderOpensAtDefaultsAndNeverCreatesAnything)
{
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    EXPECT_TRUE(HostFolderIsEmpty()) << "the plug-in created something in the host folder";
    MoveWindowTo(300, 200);
    CloseWindow();
    EXPECT_TRUE(HostFolderIsEmpty()) << "closing created something in the host folder";

    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    CloseWindow();
    EXPECT_TRUE(HostFolderIsEmpty());
}

// The failed save while opening is remembered: the close makes no attempt, even once it could succeed.
TEST_F(WindowPositionTest, AfterAFailedSaveWhileOpeningTheCloseWritesNothing)
{
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    MakeSettingsFolder();
    MoveWindowTo(300, 200);
    CloseWindow();
    EXPECT_EQ("<missing>", FileBytes());

    // The next window tries again.
    OpenWindow();
    ExpectDefaultsAndRewrittenFile();
}

// ---- Folder without file ----

TEST_F(WindowPositionTest, WithTheFolderTheFileIsWrittenAtOnceOverwrittenOnCloseAndUsedNextTime)
{
    MakeSettingsFolder();
    zvktJournalClear();
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    const Corner created = CreationCorner();
    EXPECT_FALSE(created == (Corner{100, 100})) << "the test cannot tell the two positions apart";
    EXPECT_EQ(Stored(created.x, created.y), FileBytes()) << "the save at once records the creation position";
    EXPECT_TRUE(FileIsClosed()) << "the file stays open while the window is open";

    std::vector<const ZvktCall*> directoryCalls = CallsNamed("zvkGetZVDir");
    ASSERT_EQ(2u, directoryCalls.size()) << "one path for the load, one for the save\n" << JournalText();
    for (const ZvktCall* call : directoryCalls)
        EXPECT_EQ(0u, call->args[0]);

    MoveWindowTo(321, 123);
    CloseWindow();
    EXPECT_EQ("321\r\n123\r\n", FileBytes());

    OpenWindow();
    EXPECT_EQ((Corner{321, 123}), WindowCorner());
    EXPECT_EQ("321\r\n123\r\n", FileBytes());
}

// ---- A stored position ----

TEST_F(WindowPositionTest, StoredPositionOnTwoLinesIsUsedAndNothingIsWrittenWhileOpening)
{
    MakeSettingsFolder();
    PutFile("250\r\n40\r\n");
    OpenWindow();
    EXPECT_EQ((Corner{250, 40}), WindowCorner());
    EXPECT_EQ("250\r\n40\r\n", FileBytes());
    EXPECT_TRUE(FileUntouchedSincePut()) << "the file was opened for writing while the window opened";
    EXPECT_TRUE(FileIsClosed()) << "the file stays open while the window is open";
}

TEST_F(WindowPositionTest, ReaderAcceptsMoreThanTheWriterProduces)
{
    const char* const contents[] = {
        "250\n40\n",                          // line feeds alone
        "250 40",                             // one line, no line end
        "250 40\r\n",
        "250\r\n40",                          // no line end after the second number
        "250\r\n40\r\nextra\r\n99\r\n",       // whatever follows the second number is ignored
        "250\r\n40x",
        " \t\r\n250\r\n\r\n\t +40 junk\r\n",  // any white space before, a plus sign
        "0250\r\n040\r\n",                    // leading zeros
    };
    MakeSettingsFolder();
    for (const char* content : contents)
    {
        SCOPED_TRACE(testing::Message() << "file \"" << content << "\"");
        PutFile(content);
        OpenWindow();
        EXPECT_EQ((Corner{250, 40}), WindowCorner());
        EXPECT_EQ(content, FileBytes());
        EXPECT_TRUE(FileUntouchedSincePut()) << "written while opening";
        DestroyWindow(m_window);   // without WM_CLOSE: no save
        PumpMessages();
        EXPECT_EQ(content, FileBytes()) << "a window destroyed without WM_CLOSE saved";
    }
}

TEST_F(WindowPositionTest, ContentThatIsNotTwoNumbersGivesDefaultsAndIsRewrittenAtOnce)
{
    const char* const contents[] = {
        "",
        " \r\n\r\n",
        "250",
        "250\r\n",
        "250\r\nx40\r\n",                     // a letter before the second number
        "x250\r\n40\r\n",
        "250,40",
        "- 250\r\n40\r\n",
        "2147483648\r\n40\r\n",               // outside the 32-bit signed range
        "250\r\n-2147483649\r\n",
        "99999999999999999999\r\n1\r\n",
    };
    MakeSettingsFolder();
    for (const char* content : contents)
    {
        SCOPED_TRACE(testing::Message() << "file \"" << content << "\"");
        PutFile(content);
        OpenWindow();
        ExpectDefaultsAndRewrittenFile();
        DestroyWindow(m_window);
        PumpMessages();
    }
}

// ---- Move, close, reopen ----

TEST_F(WindowPositionTest, MovedAndClosedWindowReopensWithTheSameCorner)
{
    const RECT screen = PrimaryMonitor();
    const Corner corners[] = {
        {17, 33},
        {-40, -25},                                       // left of and above the screen, partly on it
        {screen.right - 30, screen.bottom - 20},          // mostly beyond the right and bottom edges
        {0, 0},
        {100, 100},
    };
    MakeSettingsFolder();
    OpenWindow();
    for (const Corner& corner : corners)
    {
        SCOPED_TRACE(testing::Message() << "corner " << corner);
        MoveWindowTo(corner.x, corner.y);
        CloseWindow();
        EXPECT_EQ(Stored(corner.x, corner.y), FileBytes());
        OpenWindow();
        EXPECT_EQ(corner, WindowCorner());
        EXPECT_EQ(Stored(corner.x, corner.y), FileBytes());
    }
}

// ---- Files that cannot be written ----

TEST_F(WindowPositionTest, ReadOnlyFileGivesDefaultsWithoutCrashAndTheCloseWritesNothing)
{
    MakeSettingsFolder();
    PutFile("unreadable\r\n");
    ASSERT_TRUE(SetFileAttributesA(m_file.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe = CreateFileA(m_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (probe != INVALID_HANDLE_VALUE)
    {
        CloseHandle(probe);
        GTEST_SKIP() << "the read-only attribute does not stop writing here (Wine run by root); "
                        "FileHeldWithoutWriteSharing covers the same path";
    }
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    EXPECT_EQ("unreadable\r\n", FileBytes());
    ASSERT_TRUE(SetFileAttributesA(m_file.c_str(), FILE_ATTRIBUTE_NORMAL));   // writable again
    MoveWindowTo(300, 200);
    CloseWindow();
    EXPECT_EQ("unreadable\r\n", FileBytes()) << "the close wrote although the save had failed";
}

// The same path as a read-only file, made in a way that also holds for the superuser: another
// program keeps the file open and shares it for reading only, so the open for writing is refused.
TEST_F(WindowPositionTest, FileHeldWithoutWriteSharingGivesDefaultsAndTheCloseWritesNothing)
{
    MakeSettingsFolder();
    PutFile("unreadable\r\n");
    HANDLE holder = CreateFileA(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    CloseHandle(holder);   // the file could be written now
    EXPECT_EQ("unreadable\r\n", FileBytes());
    EXPECT_TRUE(FileUntouchedSincePut());
    MoveWindowTo(300, 200);
    CloseWindow();
    EXPECT_EQ("unreadable\r\n", FileBytes()) << "the close wrote although the save had failed";
    EXPECT_TRUE(FileUntouchedSincePut());

    // A new window tries again.
    OpenWindow();
    ExpectDefaultsAndRewrittenFile();
}

TEST_F(WindowPositionTest, SettingsPathThatIsAFolderGivesDefaultsSilently)
{
    MakeSettingsFolder();
    ASSERT_TRUE(CreateDirectoryA(m_file.c_str(), NULL));
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    MoveWindowTo(300, 200);
    CloseWindow();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_file.c_str()));
    EXPECT_TRUE(GetFileAttributesA(m_file.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA(m_file.c_str());
}

// ---- A disk that fills after the open (Linux links made through Wine) ----

// While opening: the load fails (no number in zero bytes), the save opens the "file" and its writes
// fail unnoticed, so SavePosition reports success and the close tries again.
TEST_F(WindowPositionTest, DiskFullAfterTheOpenWhileOpeningGoesUnnoticed)
{
    MakeSettingsFolder();
    if (!LinkToDevFull(m_file))
        GTEST_SKIP() << "no link to /dev/full can be made here (not under Wine)";
    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());

    // Had the save failed, the close would make no attempt. It does: with the link gone, the
    // close creates a real file.
    ASSERT_TRUE(RemoveLinuxLink(m_file));
    MoveWindowTo(300, 200);
    CloseWindow();
    EXPECT_EQ("300\r\n200\r\n", FileBytes());
}

// On closing: the stored position is lost, and the next opening falls back to the defaults.
TEST_F(WindowPositionTest, DiskFullOnCloseLeavesNoPositionAndTheNextOpeningUsesDefaults)
{
    MakeSettingsFolder();
    PutFile("250\r\n40\r\n");
    OpenWindow();
    EXPECT_EQ((Corner{250, 40}), WindowCorner());
    if (!LinkToDevFull(m_file))
        GTEST_SKIP() << "no link to /dev/full can be made here (not under Wine)";
    MoveWindowTo(300, 200);
    CloseWindow();   // no crash, no message

    OpenWindow();
    EXPECT_EQ((Corner{100, 100}), WindowCorner());
    CloseWindow();
    EXPECT_TRUE(IsDevFull(m_file)) << "still the link: the writes of every save went nowhere";
}

// ---- Positions and monitors ----

TEST_F(WindowPositionTest, PositionPartlyOnTheScreenWithNegativeCoordinatesIsUsedExactly)
{
    MakeSettingsFolder();
    PutFile("-50\r\n-30\r\n");
    OpenWindow();
    EXPECT_EQ((Corner{-50, -30}), WindowCorner());
    EXPECT_TRUE(FileUntouchedSincePut());
}

TEST_F(WindowPositionTest, PositionFarOutsideEveryMonitorGivesDefaults)
{
    const char* const contents[] = {
        "-5000\r\n-5000\r\n",
        "5000\r\n100\r\n",
        "100\r\n5000\r\n",
        "2147483647\r\n2147483647\r\n",
        "-2147483648\r\n-2147483648\r\n",
        "-2147483648\r\n2147483647\r\n",
    };
    MakeSettingsFolder();
    for (const char* content : contents)
    {
        SCOPED_TRACE(testing::Message() << "file \"" << content << "\"");
        PutFile(content);
        OpenWindow();
        ExpectDefaultsAndRewrittenFile();
        DestroyWindow(m_window);
        PumpMessages();
    }
}

// One pixel of the window on a monitor is enough; none is not.
TEST_F(WindowPositionTest, PositionsAtTheEdgesOfTheScreen)
{
    if (GetSystemMetrics(SM_CMONITORS) != 1)
        GTEST_SKIP() << "the edges are those of a single monitor";
    const RECT screen = PrimaryMonitor();
    const RECT frame = TemplateWindowRect();
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    struct Case
    {
        Corner corner;
        bool used;
    } const cases[] = {
        {{screen.left - width + 1, 50}, true},
        {{screen.left - width, 50}, false},
        {{screen.right - 1, 50}, true},
        {{screen.right, 50}, false},
        {{50, screen.top - height + 1}, true},
        {{50, screen.top - height}, false},
        {{50, screen.bottom - 1}, true},
        {{50, screen.bottom}, false},
        {{screen.right - 1, screen.bottom - 1}, true},
        {{screen.left - width + 1, screen.top - height + 1}, true},
        {{screen.left - width, screen.top - height}, false},
    };
    MakeSettingsFolder();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "corner " << c.corner << (c.used ? " used" : " outside"));
        PutFile(Stored(c.corner.x, c.corner.y));
        OpenWindow();
        if (c.used)
        {
            EXPECT_EQ(c.corner, WindowCorner());
            EXPECT_TRUE(FileUntouchedSincePut());
        }
        else
        {
            ExpectDefaultsAndRewrittenFile();
        }
        DestroyWindow(m_window);
        PumpMessages();
    }
}

}  // namespace
