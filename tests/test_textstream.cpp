// CTextFileStream on its own: the bytes each write puts on disk, the reads, opening and closing.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "settings/TextFileStream.h"

namespace
{

// A fresh folder under the Windows temporary folder, removed with everything in it afterwards.
class TextStreamTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        static int serial = 0;
        char name[64];
        std::snprintf(name, sizeof name, "zvk-textstream-%lu-%d", GetCurrentProcessId(), ++serial);
        m_dir = std::string(temp) + name;
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), NULL)) << m_dir;
    }

    void TearDown() override
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((m_dir + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE)
        {
            do
            {
                std::string name = found.cFileName;
                if (name != "." && name != "..")
                {
                    std::string path = m_dir + "\\" + name;
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        EXPECT_TRUE(RemoveDirectoryA(m_dir.c_str())) << m_dir << " still holds something";
    }

    std::string Path(const char* name) const { return m_dir + "\\" + name; }

    // Writes the bytes exactly as given (binary), so a test decides every CR and LF.
    static void PutBytes(const std::string& path, const std::string& bytes)
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, file) << path;
        ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }

    // The bytes on disk (binary), or "<missing>".
    static std::string Bytes(const std::string& path)
    {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return "<missing>";
        std::string bytes;
        char buffer[256];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, got);
        std::fclose(file);
        return bytes;
    }

    // True when nobody holds the file open: it can be opened with no sharing at all.
    static bool IsClosedEverywhere(const std::string& path)
    {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(handle);
        return true;
    }

    // The bytes one write operation puts into a fresh file.
    template <typename Write>
    std::string Written(Write write)
    {
        const std::string path = Path("field.txt");
        CTextFileStream stream;
        EXPECT_TRUE(stream.OpenForWrite(path));
        write(stream);
        stream.CloseWrite();
        return Bytes(path);
    }

    std::string m_dir;
};

// ---- WriteInt and WriteField: golden bytes ----

TEST_F(TextStreamTest, WriteIntZeroWithEndOfLineIsDigitAndCrLf)
{
    EXPECT_EQ("0\r\n", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(0, true, 0, 'L')); }));
}

TEST_F(TextStreamTest, WriteIntNegativeWithEndOfLineIsMinusDigitsAndCrLf)
{
    EXPECT_EQ("-250\r\n", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(-250, true, 0, 'L')); }));
}

TEST_F(TextStreamTest, WriteIntExtremesAreWrittenLikeItoa)
{
    EXPECT_EQ("2147483647\r\n-2147483648\r\n", Written([](CTextFileStream& s) {
                  EXPECT_TRUE(s.WriteInt(INT_MAX, true, 0, 'L'));
                  EXPECT_TRUE(s.WriteInt(INT_MIN, true, 0, 'L'));
              }));
}

TEST_F(TextStreamTest, WriteIntWidthFiveLeftPadsAfter)
{
    EXPECT_EQ("7    ", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(7, false, 5, 'L')); }));
}

TEST_F(TextStreamTest, WriteIntWidthFiveRightPadsBefore)
{
    EXPECT_EQ("    7", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(7, false, 5, 'R')); }));
}

TEST_F(TextStreamTest, WriteIntWidthSixCentredPutsOddSpaceAfter)
{
    EXPECT_EQ(" 123  ", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(123, false, 6, 'C')); }));
}

TEST_F(TextStreamTest, WriteFieldCentredEvenSurplusSplitsEvenly)
{
    EXPECT_EQ("  ab  |\r\n", Written([](CTextFileStream& s) {
                  EXPECT_TRUE(s.WriteField("ab", false, 6, 'C'));
                  EXPECT_TRUE(s.WriteField("|", true, 0, 'L'));
              }));
}

TEST_F(TextStreamTest, WidthNotAboveTextLengthPadsNothing)
{
    struct Case { int width; char alignment; } const cases[] = {
        {3, 'L'}, {3, 'R'}, {3, 'C'},        // smaller than the text
        {5, 'L'}, {5, 'R'}, {5, 'C'},        // exactly the text
        {0, 'L'}, {0, 'R'}, {0, 'C'},
        {-1, 'L'}, {-1, 'R'}, {-1, 'C'},
        {INT_MIN, 'L'}, {INT_MIN, 'R'}, {INT_MIN, 'C'},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "width " << c.width << " alignment " << c.alignment);
        EXPECT_EQ("12345", Written([&](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(12345, false, c.width, c.alignment)); }));
        EXPECT_EQ("-12345", Written([&](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(-12345, false, c.width, c.alignment)); }));
    }
}

TEST_F(TextStreamTest, WriteFieldWritesTextUnchangedThenEndOfLine)
{
    EXPECT_EQ("a b\r\n", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteField("a b", true, 2, 'R')); }));
}

TEST_F(TextStreamTest, OtherAlignmentCharacterPadsNothing)
{
    EXPECT_EQ("42", Written([](CTextFileStream& s) { EXPECT_TRUE(s.WriteInt(42, false, 6, 'x')); }));
}

TEST_F(TextStreamTest, WriteFillWritesCountCharactersAndNothingForZeroOrLess)
{
    EXPECT_EQ("***", Written([](CTextFileStream& s) {
                  EXPECT_TRUE(s.WriteFill('*', 3));
                  EXPECT_TRUE(s.WriteFill('*', 0));
                  EXPECT_TRUE(s.WriteFill('*', -4));
              }));
}

TEST_F(TextStreamTest, WriteEndOfLineIsCrLfOnDiskAndFlushesAtOnce)
{
    const std::string path = Path("eol.txt");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(250, true, 0, 'L'));
    EXPECT_EQ("250\r\n", Bytes(path));   // still open: the end of line flushed it
    EXPECT_TRUE(stream.WriteInt(40, true, 0, 'L'));
    EXPECT_TRUE(stream.WriteEndOfLine());
    stream.CloseWrite();
    EXPECT_EQ("250\r\n40\r\n\r\n", Bytes(path));
}

// ---- Opening and closing ----

TEST_F(TextStreamTest, OpenForWriteCreatesAMissingFile)
{
    const std::string path = Path("new.txt");
    CTextFileStream stream;
    EXPECT_TRUE(stream.OpenForWrite(path));
    stream.CloseWrite();
    EXPECT_EQ("", Bytes(path));
}

TEST_F(TextStreamTest, OpenForWriteTruncatesAnExistingFile)
{
    const std::string path = Path("old.txt");
    PutBytes(path, "1234\r\n5678\r\n");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_EQ("", Bytes(path));   // empty until something is written
    EXPECT_TRUE(stream.WriteInt(9, true, 0, 'L'));
    stream.CloseWrite();
    EXPECT_EQ("9\r\n", Bytes(path));
}

TEST_F(TextStreamTest, OpenForWriteInAMissingFolderFails)
{
    CTextFileStream stream;
    EXPECT_FALSE(stream.OpenForWrite(Path("no-such-folder\\file.txt")));
    EXPECT_FALSE(stream.WriteInt(1, true, 0, 'L'));
    stream.CloseWrite();
    EXPECT_EQ("<missing>", Bytes(Path("no-such-folder\\file.txt")));
}

TEST_F(TextStreamTest, OpenForWriteOfAReadOnlyFileFailsAndLeavesIt)
{
    const std::string path = Path("readonly.txt");
    PutBytes(path, "1\r\n2\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine keeps the attribute as Unix permission bits, which do not stop the superuser.
    HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (probe != INVALID_HANDLE_VALUE)
    {
        CloseHandle(probe);
        GTEST_SKIP() << "the read-only attribute does not stop writing here (Wine run by root)";
    }
    CTextFileStream stream;
    EXPECT_FALSE(stream.OpenForWrite(path));
    EXPECT_EQ("1\r\n2\r\n", Bytes(path));
}

// A file another program holds open without write sharing cannot be opened for writing either.
TEST_F(TextStreamTest, OpenForWriteOfAFileLockedAgainstWritingFailsAndLeavesIt)
{
    const std::string path = Path("locked.txt");
    PutBytes(path, "1\r\n2\r\n");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CTextFileStream stream;
    EXPECT_FALSE(stream.OpenForWrite(path));
    EXPECT_FALSE(stream.WriteInt(3, true, 0, 'L'));
    stream.CloseWrite();
    EXPECT_TRUE(stream.OpenForRead(path));             // reading is still shared
    int value = 0;
    EXPECT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(1, value);
    stream.CloseRead();
    CloseHandle(holder);
    EXPECT_EQ("1\r\n2\r\n", Bytes(path));
}

TEST_F(TextStreamTest, OpenForWriteOfAnEmptyPathFails)
{
    CTextFileStream stream;
    EXPECT_FALSE(stream.OpenForWrite(""));
}

TEST_F(TextStreamTest, OpenForReadOfAMissingFileFails)
{
    CTextFileStream stream;
    EXPECT_FALSE(stream.OpenForRead(Path("missing.txt")));
    int value = 0;
    EXPECT_FALSE(stream.ReadInt(value));
    EXPECT_FALSE(stream.OpenForRead(""));
}

TEST_F(TextStreamTest, ReopeningForWriteClosesThePreviousFile)
{
    const std::string first = Path("first.txt");
    const std::string second = Path("second.txt");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(first));
    EXPECT_TRUE(stream.WriteInt(11, false, 0, 'L'));   // no end of line: still in the buffer
    ASSERT_TRUE(stream.OpenForWrite(second));
    EXPECT_TRUE(IsClosedEverywhere(first));
    EXPECT_EQ("11", Bytes(first));                     // closing flushed it
    EXPECT_TRUE(stream.WriteInt(22, false, 0, 'L'));
    stream.CloseWrite();
    EXPECT_EQ("11", Bytes(first));
    EXPECT_EQ("22", Bytes(second));
}

TEST_F(TextStreamTest, ReopeningForReadClosesThePreviousFile)
{
    const std::string first = Path("first.txt");
    const std::string second = Path("second.txt");
    PutBytes(first, "1 2 3");
    PutBytes(second, "40 50");
    CTextFileStream stream;
    int value = 0;
    ASSERT_TRUE(stream.OpenForRead(first));
    ASSERT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(1, value);
    ASSERT_TRUE(stream.OpenForRead(second));
    EXPECT_TRUE(IsClosedEverywhere(first));
    ASSERT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(40, value);                              // from the start of the new file
    stream.CloseRead();
    EXPECT_TRUE(IsClosedEverywhere(second));
}

TEST_F(TextStreamTest, CloseWriteFlushesAndReleasesTheFile)
{
    const std::string path = Path("close.txt");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(5, false, 0, 'L'));
    stream.CloseWrite();
    EXPECT_TRUE(IsClosedEverywhere(path));
    EXPECT_EQ("5", Bytes(path));
    EXPECT_FALSE(stream.WriteInt(6, false, 0, 'L'));   // nothing open any more
    EXPECT_EQ("5", Bytes(path));
}

TEST_F(TextStreamTest, ClosingStreamsThatAreNotOpenDoesNothing)
{
    CTextFileStream stream;
    stream.CloseRead();
    stream.CloseWrite();
    stream.CloseRead();
    const std::string path = Path("after.txt");
    EXPECT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(3, true, 0, 'L'));
    stream.CloseWrite();
    EXPECT_EQ("3\r\n", Bytes(path));
}

TEST_F(TextStreamTest, BothStreamsWorkIndependently)
{
    const std::string in = Path("in.txt");
    const std::string out = Path("out.txt");
    PutBytes(in, "8\r\n9\r\n");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(in));
    ASSERT_TRUE(stream.OpenForWrite(out));
    int value = 0;
    ASSERT_TRUE(stream.ReadInt(value));
    EXPECT_TRUE(stream.WriteInt(value * 10, true, 0, 'L'));
    stream.CloseRead();
    EXPECT_TRUE(stream.WriteInt(1, true, 0, 'L'));
    stream.CloseWrite();
    EXPECT_EQ("80\r\n1\r\n", Bytes(out));
}

TEST_F(TextStreamTest, DestructorClosesBothStreams)
{
    const std::string in = Path("in.txt");
    const std::string out = Path("out.txt");
    PutBytes(in, "1");
    {
        CTextFileStream stream;
        ASSERT_TRUE(stream.OpenForRead(in));
        ASSERT_TRUE(stream.OpenForWrite(out));
        EXPECT_TRUE(stream.WriteInt(77, false, 0, 'L'));   // unflushed until the output is closed
    }
    EXPECT_TRUE(IsClosedEverywhere(out));
    EXPECT_TRUE(IsClosedEverywhere(in));
    EXPECT_EQ("77", Bytes(out));
}

// A successful open clears an error state left by an earlier failed operation on the same stream.
TEST_F(TextStreamTest, SuccessfulOpenClearsAnEarlierFailure)
{
    CTextFileStream stream;
    EXPECT_FALSE(stream.WriteInt(1, false, 0, 'L'));   // not open: fails
    const std::string path = Path("again.txt");
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(2, true, 0, 'L'));
    stream.CloseWrite();
    EXPECT_EQ("2\r\n", Bytes(path));

    int value = 0;
    EXPECT_FALSE(stream.ReadInt(value));               // not open: fails
    PutBytes(path, "3");
    ASSERT_TRUE(stream.OpenForRead(path));
    ASSERT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(3, value);
}

// ---- ReadInt ----

TEST_F(TextStreamTest, ReadIntStopsAtALetterAndThenFails)
{
    const std::string path = Path("letter.txt");
    PutBytes(path, "  -15x");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(path));
    int value = 0;
    EXPECT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(-15, value);
    EXPECT_FALSE(stream.ReadInt(value));
}

TEST_F(TextStreamTest, ReadIntOnAnEmptyFileFails)
{
    const std::string path = Path("empty.txt");
    PutBytes(path, "");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(path));
    int value = 0;
    EXPECT_FALSE(stream.ReadInt(value));
}

TEST_F(TextStreamTest, ReadIntOnBlanksOnlyFails)
{
    const std::string path = Path("blanks.txt");
    PutBytes(path, " \t\r\n\r\n  ");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(path));
    int value = 0;
    EXPECT_FALSE(stream.ReadInt(value));
}

TEST_F(TextStreamTest, ReadIntAtTheEndOfTheFileFails)
{
    struct Case { const char* bytes; } const cases[] = {{"5"}, {"5\r\n"}, {"5 \r\n \t"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bytes);
        const std::string path = Path("end.txt");
        PutBytes(path, c.bytes);
        CTextFileStream stream;
        ASSERT_TRUE(stream.OpenForRead(path));
        int value = 0;
        EXPECT_TRUE(stream.ReadInt(value));   // a number ending at the end of the file is read
        EXPECT_EQ(5, value);
        EXPECT_FALSE(stream.ReadInt(value));
    }
}

TEST_F(TextStreamTest, ReadIntAcceptsSignsAndAnyWhiteSpace)
{
    const std::string path = Path("signs.txt");
    PutBytes(path, "+12\t-0\r\n\r\n  007 -3");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(path));
    const int expected[] = {12, 0, 7, -3};
    for (int want : expected)
    {
        int value = -99;
        EXPECT_TRUE(stream.ReadInt(value));
        EXPECT_EQ(want, value);
    }
}

TEST_F(TextStreamTest, ReadIntFailsOnALoneSign)
{
    const std::string path = Path("sign.txt");
    PutBytes(path, "- 4");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(path));
    int value = 0;
    EXPECT_FALSE(stream.ReadInt(value));
}

TEST_F(TextStreamTest, ReadIntAcceptsTheLimitsOfThe32BitRange)
{
    const std::string path = Path("limits.txt");
    PutBytes(path, "2147483647\r\n-2147483648\r\n");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForRead(path));
    int value = 0;
    EXPECT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(INT_MAX, value);
    EXPECT_TRUE(stream.ReadInt(value));
    EXPECT_EQ(INT_MIN, value);
}

TEST_F(TextStreamTest, ReadIntOutsideThe32BitRangeFails)
{
    const char* const inputs[] = {"2147483648", "-2147483649", "99999999999999999999", "4294967296\r\n"};
    for (const char* input : inputs)
    {
        SCOPED_TRACE(input);
        const std::string path = Path("range.txt");
        PutBytes(path, input);
        CTextFileStream stream;
        ASSERT_TRUE(stream.OpenForRead(path));
        int value = 0;
        EXPECT_FALSE(stream.ReadInt(value));
    }
}

TEST_F(TextStreamTest, ReadsBackWhatItWroteThroughCrLf)
{
    const std::string path = Path("round.txt");
    CTextFileStream stream;
    ASSERT_TRUE(stream.OpenForWrite(path));
    EXPECT_TRUE(stream.WriteInt(-1200, true, 0, 'L'));
    EXPECT_TRUE(stream.WriteInt(35, true, 0, 'L'));
    stream.CloseWrite();
    ASSERT_EQ("-1200\r\n35\r\n", Bytes(path));
    ASSERT_TRUE(stream.OpenForRead(path));
    int left = 0, top = 0;
    EXPECT_TRUE(stream.ReadInt(left));
    EXPECT_TRUE(stream.ReadInt(top));
    EXPECT_EQ(-1200, left);
    EXPECT_EQ(35, top);
    EXPECT_FALSE(stream.ReadInt(top));
    stream.CloseRead();
}

// ---- A write that fails after a successful open ----

// Wine maps Z: to the Unix root, so Z:\dev\full is the Linux device that takes no byte.
TEST_F(TextStreamTest, WriteToAFullDeviceFailsAtTheFlush)
{
    CTextFileStream stream;
    if (!stream.OpenForWrite("Z:\\dev\\full"))
        GTEST_SKIP() << "Z:\\dev\\full cannot be opened here (not running under Wine?)";
    EXPECT_TRUE(stream.WriteInt(1, false, 0, 'L'));   // still in the buffer
    EXPECT_FALSE(stream.WriteEndOfLine());           // the flush meets the full device
    EXPECT_FALSE(stream.WriteInt(2, true, 0, 'L'));   // and the stream stays failed
    stream.CloseWrite();
}

// ---- The constructor's settings on cout ----

TEST(TextStreamCout, ConstructorSetsShowpointAndFixedOnCout)
{
    const std::ios_base::fmtflags saved = std::cout.flags();
    std::cout.unsetf(std::ios_base::showpoint);
    std::cout.setf(std::ios_base::scientific, std::ios_base::floatfield);
    {
        CTextFileStream stream;
        EXPECT_TRUE(std::cout.flags() & std::ios_base::showpoint);
        EXPECT_EQ(std::ios_base::fixed, std::cout.flags() & std::ios_base::floatfield);
    }
    // The settings stay after the object is gone.
    EXPECT_TRUE(std::cout.flags() & std::ios_base::showpoint);
    EXPECT_EQ(std::ios_base::fixed, std::cout.flags() & std::ios_base::floatfield);
    std::cout.flags(saved);
}

}  // namespace
