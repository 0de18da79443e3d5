#include "Bench.h"

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
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
