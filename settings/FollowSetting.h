// The "Follow Modelvane" choice, kept in a file of its own beside the window-position file: one
// line, 1 for on, 0 for off. A file that is missing or cannot be read means off. Needs no Win32, so
// it also builds natively for the sanitizer runs.
#ifndef FOLLOWSETTING_H
#define FOLLOWSETTING_H

#include <string>

#include "settings/TextFileStream.h"

const char FOLLOW_SETTING_FILE[] = "zVkQuarvelindFollow.ini";

inline bool ReadFollowSetting(CTextFileStream& file, const std::string& path)
{
    int value = 0;
    bool read = file.OpenForRead(path) && file.ReadInt(value);
    file.CloseRead();
    return read && value == 1;
}

// False when the file could not be written; the choice then lasts until the window closes.
inline bool WriteFollowSetting(CTextFileStream& file, const std::string& path, bool on)
{
    bool written = file.OpenForWrite(path) && file.WriteInt(on ? 1 : 0, true);
    file.CloseWrite();
    return written;
}

#endif
