#include "settings/TextFileStream.h"

CTextFileStream::CTextFileStream() {}
CTextFileStream::~CTextFileStream() {}
bool CTextFileStream::OpenForRead(std::string) { return false; }
bool CTextFileStream::OpenForWrite(std::string) { return false; }
void CTextFileStream::CloseRead() {}
void CTextFileStream::CloseWrite() {}
bool CTextFileStream::ReadInt(int&) { return false; }
bool CTextFileStream::WriteInt(int, bool, int, char) { return false; }
bool CTextFileStream::WriteField(std::string, bool, int, char) { return false; }
bool CTextFileStream::WriteFill(char, int) { return false; }
bool CTextFileStream::WriteEndOfLine() { return false; }
