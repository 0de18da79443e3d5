// Random and mutated window-position files: the plug-in reads each exactly as the reading rule
// (support/PositionRule.h, written apart from the plug-in's code) says, the real tool window opens
// where the rule and the monitors say, leaves a file it could use untouched and rewrites any other
// at once, and nothing crashes. A failure names the seed and the file's number; the environment
// variables ZVK_POSITION_SEED and ZVK_POSITION_FILES replay a seed or run longer (README).
#include "support/PluginFixture.h"
#include "support/PositionRule.h"

#include "settings/PositionFile.h"
#include "settings/TextFileStream.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{

const unsigned kSeed = 20261207;
const int kFiles = 10000;

// Every case is reported in detail up to this many failures; the rest are only counted.
const int kFailuresShown = 10;

// The real window is opened for this many files of each class (WindowClass below).
const int kWindowsPerClass = 10;

// The bytes as a C literal would hold them (octal escapes, which never swallow a following
// digit), cut after a while: enough to rebuild a failing file by hand.
std::string Printable(const std::string& bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < 160; ++i)
    {
        const unsigned char c = (unsigned char)bytes[i];
        char escaped[8];
        if (c == '\r' || c == '\n' || c == '\t')
            snprintf(escaped, sizeof escaped, "\\%c", c == '\r' ? 'r' : c == '\n' ? 'n' : 't');
        else if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\')
            snprintf(escaped, sizeof escaped, "\\%03o", c);
        else
            snprintf(escaped, sizeof escaped, "%c", c);
        text += escaped;
    }
    if (bytes.size() > 160)
        text += "... (" + std::to_string(bytes.size()) + " bytes)";
    return "\"" + text + "\"";
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM param)
{
    ((std::vector<RECT>*)param)->push_back(*rect);
    return TRUE;
}

std::vector<RECT> Monitors()
{
    std::vector<RECT> monitors;
    EnumDisplayMonitors(NULL, NULL, CollectMonitor, (LPARAM)&monitors);
    return monitors;
}

// At least one pixel of a window of this size, put at (left, top), lies on a monitor.
bool ShowsOnAMonitor(const std::vector<RECT>& monitors, long long left, long long top, SIZE size)
{
    for (const RECT& m : monitors)
        if (left < m.right && left + size.cx > m.left && top < m.bottom && top + size.cy > m.top)
            return true;
    return false;
}

/////////////////////////////////////////////////////////////////////////////
// The files

// Makes position files from one seed: well-formed ones with odd spacing, numbers at and past the
// 32-bit limits and at the monitors' edges, signs and blanks in odd places, binary, empty and huge
// files, and mutations of well-formed ones.
class PositionFileMaker
{
public:
    PositionFileMaker(unsigned seed, const std::vector<RECT>& monitors, SIZE window)
        : m_random(seed), m_monitors(monitors), m_window(window)
    {
    }

    std::string Next(std::string& kind)
    {
        const int pick = Below(1000);
        if (pick < 5)
            return kind = "huge", Huge();
        if (pick < 25)
            return kind = "empty or blank", Blanks(Below(6));
        if (pick < 200)
            return kind = "well-formed", WellFormed();
        if (pick < 300)
            return kind = "at the limits", Number(LimitNumber()) + Separator() + Number(LimitNumber()) + Ending();
        if (pick < 420)
            return kind = "signs and blanks", OddTokens();
        if (pick < 520)
            return kind = "binary", Binary();
        return kind = "mutated", Mutated(WellFormed());
    }

private:
    int Below(int n) { return (int)(m_random() % (unsigned)n); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <size_t N>
    const char* AnyOf(const char* const (&choices)[N]) { return choices[Below((int)N)]; }

    std::string Blanks(int count)
    {
        static const char* const kBlanks[] = {" ", "\t", "\r\n", "\n", "\r", "\v", "\f"};
        std::string blanks;
        for (int i = 0; i < count; ++i)
            blanks += AnyOf(kBlanks);
        return blanks;
    }

    std::string Separator()
    {
        static const char* const kSeparators[] = {"\r\n", "\r\n", "\n", " ", "\t", "\r", "\r\n\r\n", " \t", "\f\v"};
        return OneIn(8) ? Blanks(1 + Below(4)) : AnyOf(kSeparators);
    }

    std::string Ending()
    {
        static const char* const kEndings[] = {"\r\n", "\r\n", "", "\n", "\r", " ", "x", "\r\nextra\r\n99\r\n",
                                               ".5", ",7", "\x1A", "-", "+", "\r\n\x1A", "\xFF\xFE"};
        return AnyOf(kEndings);
    }

    // A place on, near or off a monitor, for the left (horizontal) or the top edge.
    long long Coordinate(bool horizontal)
    {
        const RECT& m = m_monitors[Below((int)m_monitors.size())];
        const long long low = horizontal ? m.left : m.top;
        const long long high = horizontal ? m.right : m.bottom;
        const long long size = horizontal ? m_window.cx : m_window.cy;
        switch (Below(6))
        {
        case 0: case 1: return low + Below((int)(high - low));                  // on the monitor
        case 2: return (Below(2) ? low - size : high - 1) + Below(3) - 1;      // one pixel shown, or none
        case 3: return (Below(2) ? low - size : high) + Below(201) - 100;      // about the edges
        case 4: return (long long)(int)m_random();                             // anywhere
        default: return LimitNumber();
        }
    }

    long long LimitNumber()
    {
        static const long long kLimits[] = {INT_MAX, INT_MIN, (long long)INT_MAX + 1, (long long)INT_MIN - 1,
                                            UINT_MAX, 1LL << 32, 9999999999LL, -9999999999LL, 0, 100,
                                            99999999999999999LL, -99999999999999999LL};
        return kLimits[Below(sizeof kLimits / sizeof kLimits[0])] + (OneIn(3) ? Below(5) - 2 : 0);
    }

    // Decimal, sometimes with a plus sign, leading zeros or digits past any 64-bit number.
    std::string Number(long long value)
    {
        std::string digits = std::to_string(value < 0 ? -(unsigned long long)value : (unsigned long long)value);
        if (OneIn(6))
            digits.insert(0, 1 + Below(OneIn(10) ? 40 : 3), '0');
        if (OneIn(40))
            digits += std::string(1 + Below(30), (char)('0' + Below(10)));
        const char* sign = value < 0 ? "-" : OneIn(6) ? "+" : "";
        return sign + digits;
    }

    std::string WellFormed()
    {
        std::string prefix = OneIn(5) ? Blanks(1 + Below(3)) : "";
        return prefix + Number(Coordinate(true)) + Separator() + Number(Coordinate(false)) + Ending();
    }

    std::string OddTokens()
    {
        static const char* const kTokens[] = {"+", "-", " ", "\t", "\r", "\n", "\r\n", "0", "7", "250", "40",
                                              "2147483647", "2147483648", "\x1A", "x", "+-", "--", "- ", "+ "};
        std::string text;
        for (int i = 1 + Below(8); i > 0; --i)
            text += OneIn(5) ? Number(Coordinate(OneIn(2))) : AnyOf(kTokens);
        if (OneIn(10))
            text += std::string(1, '\0') + "5";
        return text;
    }

    std::string Binary()
    {
        std::string bytes;
        for (int i = Below(48); i > 0; --i)
            bytes += (char)Below(256);
        if (OneIn(2))
            bytes.insert(Below((int)bytes.size() + 1), WellFormed());
        return bytes;
    }

    std::string Huge()
    {
        const size_t length = 65536 + Below(1 << 20);
        switch (Below(5))
        {
        case 0: return std::string(length, ' ') + WellFormed();
        case 1: return std::string(length, '0') + "250\r\n" + std::string(length / 2, '0') + "40\r\n";
        case 2: return "250\r\n" + std::string(length, '9') + "\r\n";
        case 3: return WellFormed() + std::string(length, 'x');
        default: return Binary() + std::string(length, Below(2) ? '\n' : '\r') + Binary();
        }
    }

    std::string Mutated(std::string text)
    {
        static const char kBytes[] = {' ', '\t', '\r', '\n', '\v', '\0', '\x1A', '+', '-', '0', '5', '9',
                                      'x', '.', ',', '\x7F', '\x85', '\xA0', '\xFF'};
        for (int i = 1 + Below(4); i > 0; --i)
        {
            const int at = Below((int)text.size() + 1);
            switch (Below(7))
            {
            case 0: text.insert(at, 1, kBytes[Below(sizeof kBytes)]); break;
            case 1: if (at < (int)text.size()) text.erase(at, 1); break;
            case 2: if (at < (int)text.size()) text[at] = (char)Below(256); break;
            case 3: text.resize(at); break;
            case 4: text.insert(at, text.substr(Below((int)text.size() + 1), 1 + Below(6))); break;
            case 5:   // CR without LF
                for (size_t crlf = text.find("\r\n"); crlf != std::string::npos; crlf = text.find("\r\n", crlf))
                    text.erase(crlf + 1, 1);
                break;
            default:   // no final line end
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                break;
            }
        }
        return text;
    }

    std::mt19937 m_random;
    std::vector<RECT> m_monitors;
    SIZE m_window;
};

/////////////////////////////////////////////////////////////////////////////
// The test

class PositionFuzzTest : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        // In memory where Wine shows Linux's /dev/shm: on a busy disk every file would wait for it.
        if (GetFileAttributesA("Z:\\dev\\shm") != INVALID_FILE_ATTRIBUTES)
        {
            RemoveDirectoryA(m_hostDir.c_str());
            // Every Wine prefix counts its process ids from the same start, so a run in another
            // build tree may have ours: the folder is ours only once this process has made it.
            const std::string stem = "Z:\\dev\\shm\\zvk-positionfuzz-" + std::to_string(GetCurrentProcessId());
            for (int n = 0; n < 1000; ++n)
            {
                m_hostDir = stem + "-" + std::to_string(n);
                if (CreateDirectoryA(m_hostDir.c_str(), NULL))
                    break;
            }
            zvktSetZVDir(m_hostDir.c_str());
        }
        m_folder = m_hostDir + "\\zv\\zvk\\zVkQuarvelind";
        m_file = m_folder + "\\zVkQuarvelind.ini";
        CreateDirectoryA((m_hostDir + "\\zv").c_str(), NULL);
        CreateDirectoryA((m_hostDir + "\\zv\\zvk").c_str(), NULL);
        CreateDirectoryA(m_folder.c_str(), NULL);
        zvktSetJournalEnabled(0);   // thousands of openings: the journal would only grow

        const RECT frame = TemplateWindowRect();
        m_size.cx = frame.right - frame.left;
        m_size.cy = frame.bottom - frame.top;
        ASSERT_GT(m_size.cx, 0);
        ASSERT_FALSE(frame.left == 100 && frame.top == 100) << "the creation position cannot be told from the defaults";
        m_created = std::to_string(frame.left) + "\r\n" + std::to_string(frame.top) + "\r\n";
        m_monitors = Monitors();
        ASSERT_FALSE(m_monitors.empty());
    }

    void TearDown() override
    {
        zvktSetJournalEnabled(1);
        for (HWND window : FindToolWindows())
            DestroyWindow(window);
        PumpMessages();
        DeleteFileA(m_file.c_str());
        RemoveDirectoryA(m_folder.c_str());
        RemoveDirectoryA((m_hostDir + "\\zv\\zvk").c_str());
        RemoveDirectoryA((m_hostDir + "\\zv").c_str());
        PluginTest::TearDown();
    }

    // Win32 calls rather than streams: exact bytes, and quick enough for thousands of files.
    bool PutFile(const std::string& bytes)
    {
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        const BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
        CloseHandle(file);
        return ok && written == bytes.size();
    }

    std::string FileBytes() const
    {
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string bytes(GetFileSize(file, NULL), '\0');
        DWORD read = 0;
        ReadFile(file, &bytes[0], (DWORD)bytes.size(), &read, NULL);
        CloseHandle(file);
        bytes.resize(read);
        return bytes;
    }

    // What a file must give: read by the rule, and the window placed there only when it shows on
    // a monitor, otherwise at (100, 100).
    struct Expected
    {
        StoredPosition stored;
        bool shown;
        int left, top;
    };

    Expected ExpectedFor(const std::string& bytes) const
    {
        Expected expected;
        expected.stored = PositionByRule(bytes);
        expected.shown = expected.stored.read &&
                         ShowsOnAMonitor(m_monitors, expected.stored.left, expected.stored.top, m_size);
        expected.left = expected.shown ? expected.stored.left : 100;
        expected.top = expected.shown ? expected.stored.top : 100;
        return expected;
    }

    // The file on disk read by the plug-in's own code: empty when it agrees with the rule.
    std::string ReadingFault(const Expected& expected) const
    {
        CTextFileStream stream;
        int left = INT_MIN, top = INT_MIN;
        const bool read = ReadPositionFile(stream, m_file, left, top);
        const StoredPosition& stored = expected.stored;
        if (read == stored.read && (!read || (left == stored.left && top == stored.top)))
            return "";
        return "\n  read by the plug-in's code: " +
               (read ? "(" + std::to_string(left) + ", " + std::to_string(top) + ")" : "unreadable");
    }

    // A real window opened on the file on disk: empty when it stands where it must and the file
    // is untouched or rewritten with the creation position as it must be.
    std::string WindowFault(const Expected& expected, const std::string& bytes) const
    {
        std::string fault;
        Plugin::LeftClick();   // the window is placed in its initialisation, before the click returns
        const HWND window = FindToolWindow();
        RECT at = {0, 0, 0, 0};
        GetWindowRect(window, &at);
        const std::string after = FileBytes();
        if (window == NULL)
            fault += "\n  no tool window opened";
        else if (at.left != expected.left || at.top != expected.top)
            fault += "\n  window opened at (" + std::to_string(at.left) + ", " + std::to_string(at.top) + ")";
        if (after != (expected.shown ? bytes : m_created))
            fault += "\n  file afterwards " + (after == bytes ? std::string("untouched") : Printable(after));
        DestroyWindow(window);   // no WM_CLOSE, so no save: the next file starts from its own bytes
        PumpMessages();
        return fault;
    }

    // The window has two outcomes, the stored corner or (100, 100) and a rewrite: what can set
    // them apart is the kind of file, the rule's outcome, and which one-pixel step of the corner
    // would change whether the window shows on a monitor (there the window's own check decides).
    std::string WindowClass(const std::string& kind, const Expected& expected) const
    {
        const StoredPosition& stored = expected.stored;
        if (!stored.read)
            return kind + ", unreadable";
        const struct { const char* name; int x, y; } steps[] = {{"left", -1, 0}, {"right", 1, 0},
                                                               {"up", 0, -1}, {"down", 0, 1}};
        std::string edges;
        for (const auto& step : steps)
        {
            const long long left = (long long)stored.left + step.x, top = (long long)stored.top + step.y;
            if (ShowsOnAMonitor(m_monitors, left, top, m_size) != expected.shown)
                edges += std::string(" ") + step.name;
        }
        return kind + (expected.shown ? ", used" : ", off every monitor") + (edges.empty() ? "" : ", edge:" + edges);
    }

    std::string m_folder;
    std::string m_file;
    SIZE m_size;                   // the tool window's outer size
    std::string m_created;         // the file as rewritten at opening: the creation position
    std::vector<RECT> m_monitors;
};

// Every file goes through the plug-in's own reading (the code the plug-in compiles, with its text
// stream) and is held against the rule. A real window is opened for the first files of every
// class (WindowClass: the kind of file, the rule's outcome, a corner at a monitor's edge): within
// a class the window does one and the same thing, and opening it is the slow part under Wine.
TEST_F(PositionFuzzTest, EveryFileIsReadAndOpensTheWindowWhereTheRuleSays)
{
    const unsigned seed = (unsigned)EnvironmentNumber("ZVK_POSITION_SEED", kSeed);
    const int files = (int)EnvironmentNumber("ZVK_POSITION_FILES", kFiles);
    PositionFileMaker maker(seed, m_monitors, m_size);
    int used = 0, unreadable = 0, offMonitors = 0, windows = 0, failures = 0;
    std::map<std::string, int> kinds, windowsOfClass;
    for (int n = 0; n < files; ++n)
    {
        std::string kind;
        const std::string bytes = maker.Next(kind);
        ++kinds[kind];
        const Expected expected = ExpectedFor(bytes);
        (expected.stored.read ? expected.shown ? used : offMonitors : unreadable)++;
        ASSERT_TRUE(PutFile(bytes)) << m_file;

        std::string fault = ReadingFault(expected);
        if (++windowsOfClass[WindowClass(kind, expected)] <= kWindowsPerClass)
        {
            ++windows;
            fault += WindowFault(expected, bytes);
        }
        if (!fault.empty() && ++failures <= kFailuresShown)
            ADD_FAILURE() << "seed " << seed << ", file " << n << " (" << kind << "): " << Printable(bytes)
                          << "\n  by the rule: " << (expected.stored.read ? "" : "unreadable, ")
                          << (expected.shown ? "used" : "defaults") << " (" << expected.left << ", "
                          << expected.top << ")" << fault;
    }
    EXPECT_EQ(0, failures) << "files read or placed otherwise than the rule says, seed " << seed;
    // The maker must reach every outcome, or the comparison proves little (a short replay may not).
    if (files >= 1000)
    {
        EXPECT_GT(used, files / 10);
        EXPECT_GT(unreadable, files / 10);
        EXPECT_GT(offMonitors, files / 20);
    }
    for (const auto& kind : kinds)
        std::cout << "  " << kind.first << ": " << kind.second << "\n";
    std::cout << "  the window opened for the first " << kWindowsPerClass << " files of each of "
              << windowsOfClass.size() << " classes\n";
    std::cout << "ZVK-FIGURE position files tried: " << files << " (seed " << seed << "; " << used << " used, "
              << offMonitors << " off every monitor, " << unreadable << " unreadable; the window opened for "
              << windows << ")" << std::endl;
}

}  // namespace
