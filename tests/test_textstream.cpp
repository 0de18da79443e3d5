// CTextFileStream on its own: the bytes each write puts on disk, the reads, opening and closing.
// Runs under Wine and, built natively, under the sanitizers (tests/native), where a line ends in LF.
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/TextFileStream.h"

namespace
{

// Bytes exactly as given (binary), so a test decides every CR and LF.
void PutBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path.c_str(), std::ios_base::binary);
    ASSERT_TRUE(file << bytes << std::flush) << path;
}

// The bytes on disk, or "<missing>".
std::string Bytes(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios_base::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return file.is_open() ? bytes.str() : "<missing>";
}

#ifdef _WIN32
// True when nobody holds the file open: it opens with no sharing at all.
bool IsClosedEverywhere(const std::string& path)
{
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

const char kEndOfLine[] = "\r\n";
const char kFullDevice[] = "Z:\\dev\\full";   // Wine maps Z: to the Unix root
unsigned ProcessId() { return GetCurrentProcessId(); }
#else
// Linux has no sharing modes: true when no descriptor of this process is open on the file.
bool IsClosedEverywhere(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path file = std::filesystem::canonical(path, error);
    if (error)
        return false;
    for (const auto& descriptor : std::filesystem::directory_iterator("/proc/self/fd", error))
        if (std::filesystem::read_symlink(descriptor.path(), error) == file)
            return false;
    return true;
}

const char kEndOfLine[] = "\n";
const char kFullDevice[] = "/dev/full";
unsigned ProcessId() { return (unsigned)getpid(); }
#endif

// Bytes as the tables write them, with CR LF: as a text-mode stream puts them on this platform's disk.
std::string OnDisk(std::string bytes)
{
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 1))
        bytes.replace(at, 2, kEndOfLine);
    return bytes;
}

// One WriteInt call and the bytes it leaves in a fresh file.
struct WriteCase { const char* label; int value; bool endOfLine; const char* bytes; };

const WriteCase kWrites[] = {
    {"zero, end of line", 0, true, "0\r\n"},
    {"negative, end of line", -250, true, "-250\r\n"},
    {"largest int", INT_MAX, true, "2147483647\r\n"},
    {"smallest int", INT_MIN, true, "-2147483648\r\n"},
    {"no end of line", 12345, false, "12345"},
};

// Reads as many numbers as given, then one more read, which must fail.
struct ReadCase { const char* label; const char* bytes; std::vector<int> values; };

const ReadCase kReads[] = {
    {"stops at a letter", "  -15x", {-15}},
    {"empty file", "", {}},
    {"blanks only", " \t\r\n\r\n  ", {}},
    {"end of file right after the number", "5", {5}},
    {"end of file after CR LF and blanks", "5 \r\n \t", {5}},
    {"signs, leading zeros, any white space", "+12\t-0\r\n\r\n  007 -3", {12, 0, 7, -3}},
    {"a lone sign", "- 4", {}},
    {"limits of the 32-bit range", "2147483647\r\n-2147483648\r\n", {INT_MAX, INT_MIN}},
    {"just above the range", "2147483648", {}},
    {"just below the range", "-2147483649", {}},
    {"far above the range", "99999999999999999999\r\n", {}},
};

// A fresh folder under the Windows temporary folder, removed with everything in it afterwards.
class TextStreamTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int serial = 0;
        const std::string name = "zvk-textstream-" + std::to_string(ProcessId()) + "-" + std::to_string(++serial);
        m_dir = (std::filesystem::temp_directory_path() / name).string();
        ASSERT_TRUE(std::filesystem::create_directory(m_dir)) << m_dir;
    }

    void TearDown() override
    {
        std::error_code error;
        for (const auto& file : std::filesystem::directory_iterator(m_dir, error))
            std::filesystem::remove(file.path(), error);
        EXPECT_TRUE(std::filesystem::remove(m_dir, error)) << m_dir << " still holds something";
    }

    std::string Path(const char* name) const { return m_dir + "/" + name; }

    std::string Written(const WriteCase& c)
    {
        const std::string path = Path("field.txt");
        CTextFileStream stream;
        EXPECT_TRUE(stream.OpenForWrite(path));
        EXPECT_TRUE(stream.WriteInt(c.value, c.endOfLine));
        stream.CloseWrite();
        return Bytes(path);
    }

    std::string m_dir;
};

TEST_F(TextStreamTest, WritesPutTheseBytesOnDisk)
{
    for (const WriteCase& c : kWrites)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(OnDisk(c.bytes), Written(c));
    }
}

TEST_F(TextStreamTest, ReadIntGivesTheseNumbersAndThenFails)
{
    const std::string path = Path("read.txt");
    for (const ReadCase& c : kReads)
    {
        SCOPED_TRACE(c.label);
        PutBytes(path, c.bytes);
        CTextFileStream stream;
        ASSERT_TRUE(stream.OpenForRead(path));
        int value = -99;
        for (int expected : c.values)
        {
            EXPECT_TRUE(stream.ReadInt(value));
            EXPECT_EQ(expected, value);
        }
        EXPECT_FALSE(stream.ReadInt(value));
    }
}

// Each end of line flushes at once.
TEST_F(TextStreamTest, EachEndOfLineFlushes)
{
    const std::string path = Path("eol.txt");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(-1200, true));
    EXPECT_EQ(OnDisk("-1200\r\n"), Bytes(path));
    EXPECT_TRUE(stream.WriteInt(7, false));
    EXPECT_TRUE(stream.WriteEndOfLine());
    EXPECT_EQ(OnDisk("-1200\r\n7\r\n"), Bytes(path));
}

// The failures leave error states behind; a later successful open must not inherit them.
TEST_F(TextStreamTest, FailedOpensReturnFalseAndALaterOpenWorks)
{
    CTextFileStream stream;
    stream.CloseRead();
    stream.CloseWrite();
    const std::string nowhere = Path("no-such-folder/file.txt");
    EXPECT_FALSE(stream.OpenForWrite(nowhere));
    EXPECT_FALSE(stream.WriteInt(1, true));
    EXPECT_FALSE(stream.OpenForWrite(""));
    EXPECT_EQ("<missing>", Bytes(nowhere));
    int value = 0;
    EXPECT_FALSE(stream.OpenForRead(Path("missing.txt")));
    EXPECT_FALSE(stream.ReadInt(value));
    EXPECT_FALSE(stream.OpenForRead(""));

    const std::string path = Path("again.txt");
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(2, true));
    stream.CloseWrite();
    EXPECT_EQ(OnDisk("2\r\n"), Bytes(path));
    ASSERT_TRUE(stream.OpenForRead(path));
    EXPECT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(2, value);
}

#ifdef _WIN32
// Another program holds the file open sharing reading only, or a folder has the file's name (a
// read-only attribute would do as well on Windows, but Wine keeps it as Unix permission bits,
// which do not stop the superuser the build machine tests as): the open for writing fails and
// whatever stands there is left as it is.
enum Obstacle { kHeldOpen, kFolder };

class UnwritableFile : public TextStreamTest, public ::testing::WithParamInterface<Obstacle>
{
};

TEST_P(UnwritableFile, IsLeftAsItIs)
{
    const std::string path = Path("locked.txt");
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (GetParam() == kHeldOpen)
    {
        PutBytes(path, "1\r\n2\r\n");
        holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    }
    else
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL));
    CTextFileStream stream;
    EXPECT_FALSE(stream.OpenForWrite(path));
    EXPECT_FALSE(stream.WriteInt(3, true));
    stream.CloseWrite();
    if (holder == INVALID_HANDLE_VALUE)
    {
        EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        RemoveDirectoryA(path.c_str());
        return;
    }
    int value = 0;
    EXPECT_TRUE(stream.OpenForRead(path));
    EXPECT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(1, value);
    stream.CloseRead();
    CloseHandle(holder);
    EXPECT_EQ("1\r\n2\r\n", Bytes(path));
}

INSTANTIATE_TEST_SUITE_P(Obstacles, UnwritableFile, ::testing::Values(kHeldOpen, kFolder),
                         [](const ::testing::TestParamInfo<Obstacle>& info) {
                             return std::string(info.param == kHeldOpen ? "HeldOpenByAnotherProgram" : "FolderOfItsName");
                         });
#endif

// Reopening a stream closes (and so flushes) its previous file; CloseWrite does the same.
// Opening for writing empties an existing file.
TEST_F(TextStreamTest, ReopeningClosesThePreviousFile)
{
    const std::string first = Path("first.txt");
    const std::string second = Path("second.txt");
    PutBytes(second, "1234\r\n5678\r\n");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(first));
    EXPECT_TRUE(stream.WriteInt(11, false));
    ASSERT_TRUE(stream.OpenForWrite(second));
    EXPECT_TRUE(IsClosedEverywhere(first));
    EXPECT_EQ("", Bytes(second));
    EXPECT_EQ("11", Bytes(first));
    EXPECT_TRUE(stream.WriteInt(22, false));
    stream.CloseWrite();
    EXPECT_TRUE(IsClosedEverywhere(second));
    EXPECT_EQ("22", Bytes(second));
    EXPECT_FALSE(stream.WriteInt(6, false));
    EXPECT_EQ("22", Bytes(second));

    PutBytes(first, "1 2 3");
    PutBytes(second, "40 50");
    int value = 0;
    ASSERT_TRUE(stream.OpenForRead(first));
    ASSERT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(1, value);
    ASSERT_TRUE(stream.OpenForRead(second));
    EXPECT_TRUE(IsClosedEverywhere(first));
    ASSERT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(40, value);
    stream.CloseRead();
    EXPECT_TRUE(IsClosedEverywhere(second));
}

// Closing the input leaves the output writing; the destructor closes whatever is still open.
TEST_F(TextStreamTest, StreamsAreIndependentAndTheDestructorClosesBoth)
{
    const std::string in = Path("in.txt");
    const std::string out = Path("out.txt");
    PutBytes(in, "8\r\n9\r\n");
    {
        CTextFileStream stream;
        ASSERT_TRUE(stream.OpenForRead(in));
        ASSERT_TRUE(stream.OpenForWrite(out));
        int value = 0;
        ASSERT_TRUE(stream.ReadInt(value));
        EXPECT_TRUE(stream.WriteInt(value * 10, true));
        stream.CloseRead();
        EXPECT_TRUE(IsClosedEverywhere(in));
        EXPECT_TRUE(stream.WriteInt(1, false));
        ASSERT_TRUE(stream.OpenForRead(in));
    }
    EXPECT_TRUE(IsClosedEverywhere(in));
    EXPECT_TRUE(IsClosedEverywhere(out));
    EXPECT_EQ(OnDisk("80\r\n1"), Bytes(out));
}

// The Linux device that takes no byte.
TEST_F(TextStreamTest, WriteToAFullDeviceFailsAtTheFlush)
{
    CTextFileStream stream;
    if (!stream.OpenForWrite(kFullDevice))
        GTEST_SKIP() << kFullDevice << " cannot be opened here (not running under Wine?)";
    EXPECT_TRUE(stream.WriteInt(1, false));
    EXPECT_FALSE(stream.WriteEndOfLine());
    EXPECT_FALSE(stream.WriteInt(2, true));
    stream.CloseWrite();
}

}  // namespace
