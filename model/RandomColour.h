// The random colour rule: a colour component derived from the old one and one value of rand().
// Needs no Win32, so it also builds natively for the sanitizer runs.
#ifndef RANDOMCOLOUR_H
#define RANDOMCOLOUR_H

// (random * old + 1) mod 256. Formed unsigned: the low byte is the same as that of the exact
// product, and nothing overflows where RAND_MAX is 2^31 - 1 rather than Windows' 32767.
inline unsigned char DeriveRandomComponent(unsigned char old, int random)
{
    return (unsigned char)(((unsigned)random * old + 1u) & 0xFFu);
}

#endif
