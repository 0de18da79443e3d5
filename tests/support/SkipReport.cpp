// Linked into every GoogleTest program: a skipped case says which and why on a line of its own,
// which tools/test holds against tests/skips.txt, and a program that skipped cases and failed none
// ends with the line that makes ctest show it as skipped (a failure must never be shown so).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string ProgramName()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

class SkipReport : public testing::EmptyTestEventListener
{
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        if (!result.skipped() || test == NULL)
            return;
        std::string reason = result.message();
        printf("ZVK-SKIP %s %s.%s: %s\n", ProgramName().c_str(), test->test_suite_name(), test->name(),
               reason.substr(0, reason.find('\n')).c_str());
        fflush(stdout);
    }
    void OnTestProgramEnd(const testing::UnitTest& unit) override
    {
        if (unit.Passed() && unit.skipped_test_count() > 0)
            printf("ZVK-SKIPPED %d of %d tests, none failed\n", unit.skipped_test_count(), unit.test_to_run_count());
        fflush(stdout);
    }
};

// Listeners appended before main stay when gtest_main's InitGoogleTest picks its printer.
const bool s_reporting = (testing::UnitTest::GetInstance()->listeners().Append(new SkipReport), true);

} // namespace
