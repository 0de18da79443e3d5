// What the Windows C runtime gives the plain code and glibc lacks, for the native build only.
#ifndef CRT_COMPAT_H
#define CRT_COMPAT_H

#ifdef __cplusplus
extern "C"
#endif
char* _itoa(int value, char* buffer, int radix);

#endif
