// The installer's folder page as a person sees it, read without a person: runs the installer
// without /S, goes from the welcome page to the folder page, prints the page's text above the
// folder box, the folder in the box and whether Install can be pressed, then cancels the
// installer. tests/test_release compares what it prints.
// Usage: installer_page <setup.exe>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The installer's controls (NSIS's own dialog resources): the buttons of the outer window, and
// the folder page's text and folder box.
const int ID_NEXT = 1, ID_CANCEL = 2, ID_PAGE_TEXT = 1006, ID_FOLDER = 1019;

int Fail(const std::string& why)
{
    std::fprintf(stderr, "installer_page: %s\n", why.c_str());
    return 1;
}

struct Search {
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindOuterWindow(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || GetDlgItem(window, ID_NEXT) == NULL)
        return TRUE;
    search->window = window;
    return FALSE;
}

// The page is a dialog inside the outer window; its controls are found by their ids.
HWND FindControl(HWND outer, int id)
{
    for (HWND child = GetWindow(outer, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        HWND control = GetDlgItem(child, id);
        if (control != NULL && IsWindowVisible(child))
            return control;
    }
    return NULL;
}

std::string Text(HWND window)
{
    char text[2048] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Polls until the installer shows what is looked for, for at most 30 s (a cold Wine is slow).
template <typename Found>
bool WaitFor(Found found)
{
    for (int i = 0; i < 600; ++i) {
        if (found())
            return true;
        Sleep(50);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return Fail("usage: installer_page <setup.exe>");
    std::string command = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return Fail(std::string("cannot start ") + argv[1]);

    Search search = {process.dwProcessId, NULL};
    HWND folder = NULL, text = NULL;
    const bool shown =
        WaitFor([&] { EnumWindows(FindOuterWindow, reinterpret_cast<LPARAM>(&search)); return search.window != NULL; }) &&
        PostMessageA(search.window, WM_COMMAND, MAKEWPARAM(ID_NEXT, BN_CLICKED), 0) &&
        WaitFor([&] {
            folder = FindControl(search.window, ID_FOLDER);
            text = FindControl(search.window, ID_PAGE_TEXT);
            return folder != NULL && text != NULL;
        });
    int status = 0;
    if (shown) {
        std::printf("%s\n%s\n%s\n", Text(text).c_str(), Text(folder).c_str(),
                    IsWindowEnabled(GetDlgItem(search.window, ID_NEXT)) ? "Install enabled" : "Install greyed");
        PostMessageA(search.window, WM_COMMAND, MAKEWPARAM(ID_CANCEL, BN_CLICKED), 0);
    } else {
        status = Fail("the installer showed no folder page");
    }
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 3);
        status = Fail("the installer did not quit when cancelled");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}
