// What a window-position file gives, decided from its bytes alone, apart from the plug-in's
// reading so that the position tests can hold one against the other: two decimal integers, the
// left edge first, each with an optional sign and preceded by any white space, each within the
// 32-bit signed range; whatever follows the second is ignored. Needs no Win32.
#ifndef POSITIONRULE_H
#define POSITIONRULE_H

#include <climits>
#include <string>

struct StoredPosition
{
    bool read;   // both numbers found
    int left;
    int top;
};

// The white space of the "C" locale.
inline bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The same on Windows and Linux: a Windows text-mode read ends the file at the first Ctrl-Z and
// turns CR LF into LF, but Ctrl-Z ends a number as any byte that is neither digit nor white space
// does, and CR and LF are both white space.
inline StoredPosition PositionByRule(const std::string& text)
{
    const long long beyond = 1LL << 32;   // any magnitude past the range, held without overflow
    long long numbers[2] = {0, 0};
    size_t at = 0;
    for (long long& number : numbers)
    {
        while (at < text.size() && IsWhiteSpace(text[at]))
            ++at;
        bool negative = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            negative = text[at++] == '-';
        const size_t first = at;
        long long magnitude = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        {
            magnitude = magnitude * 10 + (text[at] - '0');
            if (magnitude > beyond)
                magnitude = beyond;
        }
        number = negative ? -magnitude : magnitude;
        if (at == first || number < INT_MIN || number > INT_MAX)
            return StoredPosition{false, 0, 0};
    }
    return StoredPosition{true, (int)numbers[0], (int)numbers[1]};
}

#endif
