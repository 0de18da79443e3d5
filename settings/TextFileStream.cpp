// A pair of text file streams, one for reading and one for writing, with yes/no operations.
#include "settings/TextFileStream.h"

#include <iostream>
#include <stdlib.h>

CTextFileStream::CTextFileStream()
{
    std::cout.setf(std::ios_base::showpoint);
    std::cout.setf(std::ios_base::fixed, std::ios_base::floatfield);
}

CTextFileStream::~CTextFileStream()
{
    if (m_outFile.is_open())
        m_outFile.close();
    if (m_inFile.is_open())
        m_inFile.close();
}

bool CTextFileStream::OpenForRead(std::string path)
{
    if (m_inFile.is_open())
        m_inFile.close();
    m_inFile.open(path.c_str(), std::ios_base::in);
    return m_inFile.is_open();
}

bool CTextFileStream::OpenForWrite(std::string path)
{
    if (m_outFile.is_open())
        m_outFile.close();
    m_outFile.open(path.c_str(), std::ios_base::out | std::ios_base::trunc);
    if (!m_outFile.fail())
    {
        m_outFile.setf(std::ios_base::showpoint);
        m_outFile.setf(std::ios_base::fixed, std::ios_base::floatfield);
    }
    return m_outFile.is_open();
}

void CTextFileStream::CloseRead()
{
    m_inFile.close();
}

void CTextFileStream::CloseWrite()
{
    m_outFile.close();
}

bool CTextFileStream::ReadInt(int& value)
{
    m_inFile >> value;
    return !m_inFile.fail();
}

bool CTextFileStream::WriteInt(int value, bool endOfLine, int width, char alignment)
{
    char digits[34];   // _itoa writes at most 33 characters and the terminating zero
    _itoa(value, digits, 10);
    return WriteField(digits, endOfLine, width, alignment);
}

// Pads the text with spaces to the width: "L" after it, "R" before it, "C" on both sides
// (an odd surplus goes after). A width not above the text's length, or an alignment
// character other than these three, pads nothing.
bool CTextFileStream::WriteField(std::string text, bool endOfLine, int width, char alignment)
{
    const int length = static_cast<int>(text.size());
    const int surplus = width >= length ? width - length : 0;
    int before = 0;
    int after = 0;
    switch (alignment)
    {
    case 'L':
        after = surplus;
        break;
    case 'R':
        before = surplus;
        break;
    case 'C':
        before = surplus / 2;
        after = surplus - before;
        break;
    default:
        break;
    }

    WriteFill(' ', before);
    m_outFile.write(text.data(), static_cast<std::streamsize>(text.size()));
    WriteFill(' ', after);
    if (endOfLine)
        WriteEndOfLine();
    return !m_outFile.fail();
}

bool CTextFileStream::WriteFill(char fill, int count)
{
    for (int i = 0; i < count; ++i)
        m_outFile.put(fill);
    return !m_outFile.fail();
}

bool CTextFileStream::WriteEndOfLine()
{
    m_outFile << std::endl;
    return !m_outFile.fail();
}
