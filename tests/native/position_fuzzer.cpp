// libFuzzer target: any bytes as the window-position file, read by the plug-in's own code and held
// against the rule written apart in tests/support/PositionRule.h. A difference aborts, as a crash
// or a sanitizer report does, and libFuzzer keeps the file that did it.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "settings/PositionFile.h"
#include "support/PositionRule.h"

namespace
{

std::string g_path;

void RemoveFile() { unlink(g_path.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // In memory where there is /dev/shm: on a busy disk each run would wait milliseconds for it.
    const char* folder = getenv("TMPDIR");
    if (folder == NULL || *folder == '\0')
        folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_path = std::string(folder) + "/zvk-position-fuzz-" + std::to_string(getpid()) + ".ini";
    atexit(RemoveFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fopen(g_path.c_str(), "wb");
    if (file == NULL || fwrite(data, 1, size, file) != size || fclose(file) != 0)
        abort();

    CTextFileStream stream;
    int left = INT_MIN, top = INT_MIN;
    const bool read = ReadPositionFile(stream, g_path, left, top);
    const StoredPosition expected = PositionByRule(std::string((const char*)data, size));
    if (read != expected.read || (read && (left != expected.left || top != expected.top)))
    {
        fprintf(stderr, "position file read as %s (%d, %d), the rule says %s (%d, %d)\n", read ? "used" : "unreadable",
                left, top, expected.read ? "used" : "unreadable", expected.left, expected.top);
        abort();
    }
    return 0;
}
