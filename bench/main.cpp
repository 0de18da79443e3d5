#include "Bench.h"

#include "support/PluginFixture.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

std::vector<BenchCase>& BenchCases()
{
    static std::vector<BenchCase> cases;
    return cases;
}

double Now()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

bool OpenToolWindowOn(BenchWindow& bench, int faceCount, const unsigned short* materials, int slotCount)
{
    zvktReset();
    zvktSetJournalEnabled(0);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    zvktSetZVDir(temp);
    zvktSelect(zvktAddPolyhedron("Scene\\Bench\\Dense", faceCount, materials, slotCount));

    Plugin::LeftClick();
    PumpMessages();
    bench.window = FindToolWindow();
    if (bench.window == NULL)
        return false;
    bench.list = GetDlgItem(bench.window, IDC_FACE_LIST);
    return true;
}

bool LoadFaceList(const BenchWindow& bench, int faceCount)
{
    SendMessageA(GetDlgItem(bench.window, IDC_LOAD_LIST), BM_CLICK, 0, 0);
    PumpMessages();
    return (int)SendMessageA(bench.list, LB_GETCOUNT, 0, 0) == faceCount;
}

void CloseToolWindow(const BenchWindow& bench)
{
    SendMessageA(bench.window, WM_CLOSE, 0, 0);
    PumpMessages();
    zvktReset();
}

// Its parent answers nothing itself: the list's requests go to DefWindowProc, as no plug-in's do.
HWND OpenPlainList(const BenchWindow& bench)
{
    static const char s_szClass[] = "ZvkBenchPlainListParent";
    WNDCLASSA parentClass = {};
    parentClass.lpfnWndProc = DefWindowProcA;
    parentClass.hInstance = GetModuleHandleA(NULL);
    parentClass.lpszClassName = s_szClass;
    RegisterClassA(&parentClass);

    // Beside the tool window, so that neither covers the other's list.
    RECT rect, window;
    GetWindowRect(bench.list, &rect);
    GetWindowRect(bench.window, &window);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = window.right + 8;
    if (x + width > GetSystemMetrics(SM_CXSCREEN))
        x = window.left - width - 8 > 0 ? window.left - width - 8 : 0;
    HWND parent = CreateWindowExA(0, s_szClass, "", WS_POPUP, x, rect.top, width, height, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (parent == NULL)
        return NULL;
    DWORD style = (DWORD)GetWindowLongA(bench.list, GWL_STYLE) & ~WS_TABSTOP;
    DWORD exStyle = (DWORD)GetWindowLongA(bench.list, GWL_EXSTYLE);
    HWND list = CreateWindowExA(exStyle, "LISTBOX", "", style, 0, 0, width, height, parent, NULL,
                                GetModuleHandleA(NULL), NULL);
    if (list == NULL)
    {
        DestroyWindow(parent);
        return NULL;
    }
    SendMessageA(list, WM_SETFONT, SendMessageA(bench.list, WM_GETFONT, 0, 0), FALSE);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, SendMessageA(bench.list, LB_GETITEMHEIGHT, 0, 0));
    // Shown without taking the activation from the tool window.
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    PumpMessages();
    return list;
}

void ClosePlainList(HWND list)
{
    if (list != NULL)
        DestroyWindow(GetParent(list));
    PumpMessages();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MedianMs(int runs, const std::function<void()>& setup, const std::function<void()>& body)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
    {
        if (setup)
            setup();
        double start = Now();
        body();
        times.push_back((Now() - start) * 1000.0);
    }
    return Median(times);
}

void Report(const char* bench, const std::string& figure, double value, const char* unit)
{
    printf("%-24s %-44s %12.4f %s\n", bench, figure.c_str(), value, unit);
    fflush(stdout);
}

int main(int argc, char** argv)
{
    const char* filter = argc > 1 ? argv[1] : "";
    for (const BenchCase& bench : BenchCases())
        if (strstr(bench.name, filter))
            bench.run();
    return 0;
}
