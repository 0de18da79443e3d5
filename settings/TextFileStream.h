// A pair of text file streams, one for reading and one for writing, with yes/no operations.
#ifndef TEXTFILESTREAM_H
#define TEXTFILESTREAM_H

#include <fstream>
#include <string>

class CTextFileStream
{
public:
    CTextFileStream() = default;
    virtual ~CTextFileStream();

    bool OpenForRead(std::string path);
    bool OpenForWrite(std::string path);
    void CloseRead();
    void CloseWrite();

    bool ReadInt(int& value);
    bool WriteInt(int value, bool endOfLine);
    bool WriteEndOfLine();

private:
    CTextFileStream(const CTextFileStream&);
    CTextFileStream& operator=(const CTextFileStream&);

    std::ifstream m_inFile;
    std::ofstream m_outFile;
};

#endif
