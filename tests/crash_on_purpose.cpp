// Faults on purpose: the test prefix must end a crashing program at once, without a crash
// debugger that waits for a person, and its run must say that it crashed.
#include <cstdio>

int main()
{
    std::printf("writing through a null pointer\n");
    std::fflush(stdout);
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
