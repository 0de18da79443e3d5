#include "PluginHost.h"

#include <cstdio>
#include <cstring>

std::string LastErrorText()
{
    DWORD code = GetLastError();
    char* text = NULL;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   NULL, code, 0, (LPSTR)&text, 0, NULL);
    char number[32];
    snprintf(number, sizeof number, "error %lu", (unsigned long)code);
    std::string result = number;
    if (text)
    {
        std::string message = text;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
            message.pop_back();
        result += ": " + message;
        LocalFree(text);
    }
    return result;
}

template <class Proc>
static Proc Export(HMODULE module, const char* name, std::string& missing)
{
    Proc proc = (Proc)(void*)GetProcAddress(module, name);
    if (!proc)
        missing += std::string(" ") + name;
    return proc;
}

bool PluginModule::Load(const std::string& path)
{
    module = LoadLibraryA(path.c_str());
    if (!module)
    {
        error = "Cannot load " + path + " (" + LastErrorText() + ")";
        return false;
    }
    std::string missing;
    getData = Export<ZvkGetDataProc>(module, "zvkGetData", missing);
    getVersion = Export<ZvkGetVersionProc>(module, "zvkGetVersion", missing);
    onLeftClick = Export<ZvkOnLeftClickProc>(module, "zvkOnLeftClick", missing);
    onRightClick = Export<ZvkOnRightClickProc>(module, "zvkOnRightClick", missing);
    deactivate = Export<ZvkDeactivateProc>(module, "zvkDeactivate", missing);
    if (!missing.empty())
    {
        error = path + " does not export:" + missing;
        return false;
    }
    return true;
}

static BOOL CALLBACK CollectDialog(HWND window, LPARAM dialogs)
{
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0)
        ((std::vector<HWND>*)dialogs)->push_back(window);
    return TRUE;
}

// The top-level dialogs of this thread whose caption is this one, or only starts with it.
static std::vector<HWND> ThreadDialogs(const std::string& caption, bool whole)
{
    std::vector<HWND> dialogs, found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, (LPARAM)&dialogs);
    for (HWND dialog : dialogs)
    {
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        if (whole ? caption == text : strncmp(text, caption.c_str(), caption.size()) == 0)
            found.push_back(dialog);
    }
    return found;
}

std::vector<HWND> FindToolWindows() { return ThreadDialogs(TOOL_WINDOW_CAPTION, true); }

HWND FindToolWindow()
{
    std::vector<HWND> windows = FindToolWindows();
    return windows.empty() ? NULL : windows.front();
}

HWND FindMaterialsPanel()
{
    std::vector<HWND> panels = ThreadDialogs(MATERIALS_PANEL_CAPTION, false);
    return panels.empty() ? NULL : panels.front();
}

void PostKey(HWND window, UINT vk)
{
    PostMessageA(window, WM_KEYDOWN, vk, 1);
    PostMessageA(window, WM_KEYUP, vk, 0xC0000001);
}

POINT EntryCentre(HWND list, int entry)
{
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, entry, (LPARAM)&item);
    POINT centre = { (item.left + item.right) / 2, (item.top + item.bottom) / 2 };
    return centre;
}

std::string ListEntryText(HWND list, int entry)
{
    int length = (int)SendMessageA(list, LB_GETTEXTLEN, entry, 0);
    if (length < 0)
        return std::string();
    std::string text(length + 1, '\0');
    SendMessageA(list, LB_GETTEXT, entry, (LPARAM)&text[0]);
    text.resize(length);
    return text;
}

std::vector<MenuItem> ReadMenuItems(HMENU menu)
{
    std::vector<MenuItem> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
    {
        char text[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (!(info.fType & MFT_SEPARATOR))
            items.push_back({ info.wID, text, (info.fState & MFS_GRAYED) != 0, (info.fState & MFS_CHECKED) != 0 });
    }
    return items;
}

HWND FindOpenPopupMenu()
{
    for (HWND popup = NULL; (popup = FindWindowExA(NULL, popup, "#32768", NULL)) != NULL;)
        if (IsWindowVisible(popup))
            return popup;
    return NULL;
}
