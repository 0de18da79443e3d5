// A face-list entry as text: formed from a face and its material index, and the face read back
// from it. Needs no Win32, so it also builds natively for the sanitizer runs.
#ifndef ENTRYTEXT_H
#define ENTRYTEXT_H

#include <climits>
#include <cstdlib>

// Room for an entry's text, "65533 | 65535", and its terminating zero, with some to spare.
const int ENTRY_TEXT_SIZE = 32;

// Writes value in decimal, as "%u" would, and returns the end of what it wrote.
inline char* AppendDecimal(char* out, unsigned value)
{
    char digits[10];
    int nDigits = 0;
    do
    {
        digits[nDigits++] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (nDigits > 0)
        *out++ = digits[--nDigits];
    return out;
}

// "%d" of the face and the " | " after it.
inline char* AppendFaceAndBar(char* out, int face)
{
    out = AppendDecimal(out, (unsigned)face);
    *out++ = ' ';
    *out++ = '|';
    *out++ = ' ';
    return out;
}

// "%d" of the face, then " | %d" of its material index. Written by hand: a formatted print per
// face costs more than adding the entry to the list.
inline void FormatEntryText(char* text, int face, unsigned short materialIndex)
{
    char* end = AppendDecimal(AppendFaceAndBar(text, face), materialIndex);
    *end = '\0';
}

// A face whose record the host gives as a null pointer keeps its place (entry i stays face i);
// its material index is not known and shows as this mark.
const char NO_MATERIAL_MARK = '?';

inline void FormatEntryTextWithoutRecord(char* text, int face)
{
    char* end = AppendFaceAndBar(text, face);
    *end++ = NO_MATERIAL_MARK;
    *end = '\0';
}

// The number at the start of an entry text, read as atoi reads it. strtol gives the same result
// but saturates where atoi's is undefined; long is 32 bits on Windows and 64 on Linux, so the
// clamp to int makes both builds read a number beyond the range alike.
inline int ReadEntryFaceIndex(const char* text)
{
    const long value = strtol(text != NULL ? text : "", NULL, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return (int)value;
}

#endif
