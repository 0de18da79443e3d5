// The plug-in as the installer left it: loaded from <host folder>\zv\zvk with the replacement host
// reporting that folder as its directory, its tool window opened, moved to (LEFT, TOP) and closed,
// so that it writes its position file into the installed settings folder. tests/test_release runs
// it and reads the file. Exits with 0 once the window has opened and closed.
// Usage: installed_plugin <host folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/PluginFixture.h"   // PumpMessages

namespace {

const int LEFT = 321, TOP = 123;

int Fail(const std::string& why)
{
    std::fprintf(stderr, "installed_plugin: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return Fail("usage: installed_plugin <host folder>");
    const std::string host = argv[1];
    zvktReset();
    zvktSetZVDir(host.c_str());

    PluginModule plugin;
    const std::string path = host + "\\zv\\zvk\\zVkQuarvelind.zvk";
    if (!plugin.Load(path))
        return Fail(path + ": " + plugin.error);
    PluginInfo info;
    plugin.getData(&info, 0);
    plugin.onLeftClick();
    PumpMessages();
    HWND window = FindToolWindow();
    if (window == NULL)
        return Fail("a left click opened no tool window");
    SetWindowPos(window, NULL, LEFT, TOP, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(window, WM_CLOSE, 0, 0);
    PumpMessages();
    if (FindToolWindow() != NULL)
        return Fail("the tool window did not close");
    plugin.deactivate();
    std::printf("installed_plugin: the tool window opened and closed at (%d, %d)\n", LEFT, TOP);
    return 0;
}
