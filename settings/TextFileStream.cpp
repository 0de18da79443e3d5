// A pair of text file streams, one for reading and one for writing, with yes/no operations.
#include "settings/TextFileStream.h"

#include <stdlib.h>

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

bool CTextFileStream::WriteInt(int value, bool endOfLine)
{
    char digits[34];   // _itoa writes at most 33 characters and the terminating zero
    _itoa(value, digits, 10);
    m_outFile << digits;
    if (endOfLine)
        WriteEndOfLine();
    return !m_outFile.fail();
}

bool CTextFileStream::WriteEndOfLine()
{
    m_outFile << std::endl;
    return !m_outFile.fail();
}
