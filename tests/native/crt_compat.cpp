#include "crt_compat.h"

#include <cstdio>
#include <cstdlib>

// Radix 10 only, the one the plug-in uses: a "-" for a negative value, then the digits.
extern "C" char* _itoa(int value, char* buffer, int radix)
{
    if (radix != 10)
        abort();
    snprintf(buffer, 12, "%d", value);   // at most a sign, ten digits and the zero
    return buffer;
}
