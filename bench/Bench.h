// A small benchmark runner: each bench_*.cpp registers named benchmarks; zvkbench runs them all
// (or those whose name contains its first argument) and prints one line per figure.
#ifndef BENCH_H
#define BENCH_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/ImportTable.h"   // RedirectImport

struct BenchCase
{
    const char* name;
    void (*run)();
};

std::vector<BenchCase>& BenchCases();

struct BenchRegistrar
{
    BenchRegistrar(const char* name, void (*run)()) { BenchCases().push_back({ name, run }); }
};

#define BENCH(name) \
    static void name(); \
    static BenchRegistrar name##_registrar(#name, name); \
    static void name()

// The plug-in's tool window in a fresh replacement host (journal off, so that it measures
// nothing of its own) whose selection is a polyhedron of faceCount faces and slotCount material
// slots; materials may be NULL (every face material 0). False when no window opened.
struct BenchWindow
{
    HWND window = NULL;
    HWND list = NULL;
};
bool OpenToolWindowOn(BenchWindow& bench, int faceCount, const unsigned short* materials, int slotCount = 12);
// Presses "Faces | matIDs"; true when every face is listed.
bool LoadFaceList(const BenchWindow& bench, int faceCount);
// Closes the tool window and resets the host, for the next benchmark.
void CloseToolWindow(const BenchWindow& bench);

// A floor's list: a list box the plug-in does not own, in a window of the benchmark's own beside the
// tool window, with the face list's styles, size, font and entry height, so that the two differ only
// in who owns them and none of its messages passes through the plug-in's window procedures. NULL
// when it could not be made.
HWND OpenPlainList(const BenchWindow& bench);
void ClosePlainList(HWND list);

double Median(std::vector<double> values);
// Seconds on the performance counter.
double Now();
// Median over runs of the time body takes, in milliseconds; setup runs untimed before each.
double MedianMs(int runs, const std::function<void()>& setup, const std::function<void()>& body);
// One result line: "<bench> <figure>: <value> <unit>".
void Report(const char* bench, const std::string& figure, double value, const char* unit);

#endif
