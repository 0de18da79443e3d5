// Reading the window-position file: the left edge, then the top edge, as two decimal integers.
// Needs no Win32, so it also builds natively for the sanitizer runs.
#ifndef POSITIONFILE_H
#define POSITIONFILE_H

#include <string>

#include "settings/TextFileStream.h"

// True when the file opened and both numbers were read. A first number read stays in left even
// when the second read fails; the caller then sets both.
inline bool ReadPositionFile(CTextFileStream& file, const std::string& path, int& left, int& top)
{
    bool result = file.OpenForRead(path);
    if (result)
        result = file.ReadInt(left);
    if (result)
        result = file.ReadInt(top);
    file.CloseRead();
    return result;
}

#endif
