// The code that needs no Win32, on its own: entry texts and the face index read back from them,
// the random colour rule, the materials panel's counts and words, the paint history's bounds
// and steps, and the face list's model. Runs under Wine and, built natively, under the sanitizers
// (tests/native), where long is 64 bits and RAND_MAX is 2^31 - 1.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "model/EntryText.h"
#include "model/FaceListModel.h"
#include "model/MaterialTally.h"
#include "model/PaintHistory.h"
#include "model/RandomColour.h"

// Every allocation of the program counted; the one numbered g_failingAllocation throws (0: none).
static int g_allocations = 0;
static int g_failingAllocation = 0;

void* operator new(std::size_t size)
{
    if (++g_allocations == g_failingAllocation)
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}
// Not inlined: the compiler would take a free() of a block from operator new for a mismatch.
__attribute__((noinline)) void operator delete(void* block) noexcept { std::free(block); }
__attribute__((noinline)) void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace
{

// The text in a buffer that starts out full of marks, so a missing terminator shows.
std::string EntryText(int face, unsigned short materialIndex)
{
    char text[32];
    memset(text, '#', sizeof text);
    FormatEntryText(text, face, materialIndex);
    text[sizeof text - 1] = '\0';
    return text;
}

// Every face a list can hold, each with another material index (7919 is odd, so the indices
// run through all but one of 0 to 65535): "%d | %u", at most 13 characters, read back as its face.
TEST(EntryText, EveryFaceGivesItsTextAndReadsBackAsItself)
{
    EXPECT_EQ("0 | 0", EntryText(0, 0));
    EXPECT_EQ("65533 | 65535", EntryText(65533, 65535));
    for (int face = 0; face < 0xFFFF; ++face)
    {
        const unsigned short materialIndex = (unsigned short)(face * 7919u);
        char expected[32];
        snprintf(expected, sizeof expected, "%d | %u", face, materialIndex);
        const std::string text = EntryText(face, materialIndex);
        if (text != expected || text.size() > 13 || ReadEntryFaceIndex(text.c_str()) != face)
        {
            ADD_FAILURE() << "face " << face << ", material " << materialIndex << ": \"" << text << "\" read as "
                          << ReadEntryFaceIndex(text.c_str());
            break;
        }
    }
}

// The leading number as atoi reads it; past the int range it saturates, on both builds alike.
TEST(EntryText, FaceIndexIsTheLeadingNumber)
{
    struct Case { const char* label; const char* text; int face; };
    const Case cases[] = {
        {"an entry", "12 | 3", 12},
        {"no text at all", nullptr, 0},
        {"empty", "", 0},
        {"leading white space", " \t\n7 | 1", 7},
        {"signs", "-3 | 1", -3},
        {"plus", "+5", 5},
        {"no number", "| 4", 0},
        {"a lone sign", "- 4", 0},
        {"hexadecimal is not read", "0x1F", 0},
        {"int limits", "2147483647 | 0", INT_MAX},
        {"int limits, negative", "-2147483648", INT_MIN},
        {"2^32, a multiple of the int range", "4294967296 | 1", INT_MAX},
        {"-2^32", "-4294967296", INT_MIN},
        {"past any long", "99999999999999999999999 | 1", INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.face, ReadEntryFaceIndex(c.text)) << c.label;
}

// (random * old + 1) mod 256; the expected values are worked out by hand.
TEST(RandomColour, ComponentIsRandomTimesOldPlusOneModulo256)
{
    struct Case { const char* label; unsigned char old; int random; unsigned char next; };
    const Case cases[] = {
        {"255 and 3", 255, 3, 254},
        {"0 always becomes 1", 0, 12345, 1},
        {"0 with the largest random", 0, INT_MAX, 1},
        {"white and 0: (1 - 0) mod 256", 255, 0, 1},
        {"white and 2: (1 - 2) mod 256", 255, 2, 255},
        {"1 and 300: 301 mod 256", 1, 300, 45},
        {"128 and an odd random", 128, 7, 129},
        {"128 and an even random", 128, 2, 1},
        {"Windows' RAND_MAX and 255", 255, 32767, 2},   // 8355585 + 1 = 32639 * 256 + 2
        {"glibc's RAND_MAX and 255", 255, INT_MAX, 2},  // 255 * 255 + 1 = 254 * 256 + 2
        {"glibc's RAND_MAX and 2", 2, INT_MAX, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.next, DeriveRandomComponent(c.old, c.random)) << c.label;
}

// Shares rounded half up to one decimal (integers, so both builds agree); one of a kind singular.
TEST(MaterialTally, SharesAndCountsInWords)
{
    struct Case { int part, whole; const char* share; };
    const Case cases[] = {
        { 1, 3, "33.3 %" }, { 2, 3, "66.7 %" }, { 1, 16, "6.3 %" }, { 1, 65534, "0.0 %" },
        { 65533, 65534, "100.0 %" }, { 65534, 65534, "100.0 %" }, { 0, 5, "0.0 %" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.share, ShareText(c.part, c.whole)) << c.part << " of " << c.whole;
    MaterialTally one = CountFacesByMaterial(1, [](int) { return 7; });
    EXPECT_EQ("1 face, 1 material", TotalText(one));
    EXPECT_EQ("0 faces, 0 materials", TotalText(CountFacesByMaterial(-3, [](int) { return 0; })));
}

// One pass: rows by index, the faces without record apart and last; a row says "invisible" only
// for a colour the host gave with alpha 0, "painted here" for a marked index.
TEST(MaterialTally, RowsCountFacesByIndexAndSayWhatTheirMaterialIs)
{
    const int materials[] = { 5, 0, 65535, 5, -1, 5, 0, -1 };
    MaterialTally tally = CountFacesByMaterial(8, [&](int face) { return materials[face]; });
    ASSERT_EQ(3u, tally.rows.size());
    tally.rows[0].hasColour = tally.rows[1].hasColour = true;
    tally.rows[0].a = 255;                 // 0: opaque; 5: alpha 0; 65535: no colour from the host
    MarkPainted(tally, 5);
    MarkPainted(tally, 65535);
    MarkPainted(tally, 3);                 // no face uses it: no row to mark
    const char* const rows[] = {
        "matID 0\t2 faces\t25.0 %\t", "matID 5\t3 faces\t37.5 %\tinvisible, painted here",
        "matID 65535\t1 face\t12.5 %\tpainted here", "no record\t2 faces\t25.0 %\t",
    };
    ASSERT_EQ(4, RowCount(tally));
    for (int row = 0; row < RowCount(tally); ++row)
        EXPECT_EQ(rows[row], RowText(tally, row)) << "row " << row;
    EXPECT_EQ(nullptr, MaterialRowAt(tally, 3));
    EXPECT_EQ("8 faces, 3 materials", TotalText(tally));

    // A tally cut short by a throw leaves none of its counts to the next one (of the same
    // function: each instance of the template has counts of its own).
    int throwAt = 6;
    auto materialOf = [&](int face) -> int {
        if (face == throwAt)
            throw std::bad_alloc();
        return materials[face];
    };
    EXPECT_THROW(CountFacesByMaterial(8, materialOf), std::bad_alloc);
    throwAt = -1;
    MaterialTally again = CountFacesByMaterial(8, materialOf);
    EXPECT_EQ(rows[0], RowText(again, 0));
    EXPECT_EQ("matID 5\t3 faces\t37.5 %\t", RowText(again, 1));
}

// Past 256 indices the counts' own storage grows: each allocation of a tally of 300 materials
// fails in turn, and the next tally still counts every face, and once.
TEST(MaterialTally, ATallyThatRunsOutOfMemoryLeavesNoCountBehind)
{
    auto materialOf = [](int face) { return face % 300; };
    const MaterialTally whole = CountFacesByMaterial(600, materialOf);
    ASSERT_EQ("600 faces, 300 materials", TotalText(whole));
    for (int k = 1;; ++k)
    {
        g_allocations = 0;
        g_failingAllocation = k;
        bool threw = false;
        try
        {
            CountFacesByMaterial(600, materialOf);
        }
        catch (const std::bad_alloc&)
        {
            threw = true;
        }
        g_failingAllocation = 0;
        if (!threw)
            break;
        EXPECT_TRUE(whole == CountFacesByMaterial(600, materialOf)) << "allocation " << k;
    }
}

// The face list's model: what the list is of and was read from (an emptied list keeps its name
// until named anew, but is read from nothing), the indices its entries show after the faces are
// read again (a face without a record now is left; a position outside the list changes nothing),
// and whether the host has the list's selection, which an emptying takes away.
TEST(FaceListModel, KnowsWhatTheListIsOfAndWhatItsEntriesShow)
{
    CFaceListModel list;
    list.SetName("Scene\\Cube");
    list.BeginFill(5);
    const int filled[] = { 3, 3, -1, 4, 0 };
    for (int entry = 0; entry < 5; ++entry)
        list.NoteFilled(entry, filled[entry]);
    list.Filled(5);
    list.SetSource(0x1234, 5);
    EXPECT_TRUE(list.IsOf({ "Scene\\Cube", 5 }));
    EXPECT_FALSE(list.IsOf({ "Scene\\Cube", 4 }) || list.IsOf({ "Scene\\Cub", 5 }));
    EXPECT_TRUE(list.IsFrom(0x1234, "Scene\\Cube", 5));
    EXPECT_FALSE(list.IsFrom(0x1235, "Scene\\Cube", 5) || list.IsFrom(0x1234, "Scene\\Cube", -5)
                 || list.IsFrom(0x1234, "Scene\\Cub", 5));

    const int now[] = { 3, 7, 2, -1, 0 };
    std::vector<int> changed;
    auto note = [&](int entry) { changed.push_back(entry); };
    EXPECT_EQ(2, list.ShowIndicesNow(5, [&](int entry) { return now[entry]; }, note));
    EXPECT_EQ((std::vector<int>{ 1, 2 }), changed) << "entries 1 and 2 read anew";
    EXPECT_EQ(0, list.ShowIndicesNow(5, [&](int entry) { return now[entry]; }, note)) << "nothing changed since";
    std::uint16_t index = 0;
    EXPECT_TRUE(list.ShownIndex(1, index) && index == 7);
    EXPECT_TRUE(list.ShownIndex(2, index) && index == 2);
    EXPECT_FALSE(list.ShownIndex(0, index) || list.ShownIndex(3, index) || list.ShownIndex(5, index)
                 || list.ShownIndex(-1, index));
    list.SetShownIndex(5, 9);
    list.SetShownIndex(-1, 9);

    list.SetHostHasSelection(true);
    list.Empty();
    EXPECT_FALSE(list.ShownIndex(1, index) || list.HostHasSelection());
    EXPECT_TRUE(list.IsOf({ "Scene\\Cube", 0 }));
    EXPECT_FALSE(list.IsFrom(0x1234, "Scene\\Cube", 5));
}

// A step of a polyhedron named name whose faces all went from index 1 to 2.
PaintStep Step(const std::string& name, int faces)
{
    PaintStep step;
    step.polyhedron = { name, faces };
    for (int face = 0; face < faces; ++face)
        step.faces.push_back({ (std::uint16_t)face, 1, 2, ENTRY_TO_DO, ENTRY_PAINTED });
    return step;
}

std::vector<int> FacesOf(const PaintStep* step)
{
    std::vector<int> faces;
    for (const PaintedFace& face : step->faces)
        faces.push_back(face.face);
    return faces;
}

// A new paint drops the steps undone before it; past 100 steps or 16 MB the oldest go first.
TEST(PaintHistory, ANewPaintDropsTheUndoneStepsAndTheOldestGoPastTheBounds)
{
    CPaintHistory history;
    for (const char* name : { "first", "second", "third" })
        history.Record(Step(name, 1));
    history.Undone({});
    history.Undone({});
    EXPECT_EQ("second", history.NextRedo()->polyhedron.name);
    EXPECT_EQ("first", history.NextUndo()->polyhedron.name);
    history.Record(Step("new", 1));
    EXPECT_EQ(nullptr, history.NextRedo());
    EXPECT_EQ(2u, history.StepCount());

    struct Case { const char* label; int faces, steps; std::size_t kept; };
    const Case cases[] = {
        { "one face each: 100 steps", 1, 150, 100 },
        // A face takes 8 bytes, so a step of 65,534 faces 524,272 and its record; the faces of 32
        // such steps leave 512 of the 16 MB (16,777,216 bytes), too few for 32 steps' records.
        { "Paint all on 65,534 faces: as many as 16 MB hold", 65534, 40, 31 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        CPaintHistory bounded;
        for (int i = 0; i < c.steps; ++i)
            bounded.Record(Step(std::to_string(i), c.faces));
        EXPECT_EQ(c.kept, bounded.StepCount());
        EXPECT_LE(bounded.Bytes(), CPaintHistory::MAX_BYTES);
        std::string oldest;
        while (bounded.NextUndo() != nullptr)
        {
            oldest = bounded.NextUndo()->polyhedron.name;
            bounded.Undone({});
        }
        EXPECT_EQ(std::to_string(c.steps - (int)c.kept), oldest);
    }
}

// A step keeps its faces by their index before the paint (those of one index in the order they
// came), so that an undo finds each index's faces together. An undo the host stopped half-way: the
// faces it reached can be redone, the others stay to be undone, each part a step of the same
// polyhedron and list; with nothing reached nothing moves.
TEST(PaintHistory, AStepIsKeptByIndexAndSplitWhenAnUndoStopsHalfWay)
{
    PaintStep step = Step("Scene\\Box", 5);
    step.listGeneration = 7;
    const std::uint16_t before[] = { 7, 65535, 7, 0, 65535 };
    for (int i = 0; i < 5; ++i)
        step.faces[i].before = before[i];
    CPaintHistory history;
    history.Record(step);
    EXPECT_EQ((std::vector<int>{ 3, 0, 2, 1, 4 }), FacesOf(history.NextUndo()));
    history.Undone({ 4, 3, 2, 1, 0 });
    EXPECT_EQ(nullptr, history.NextRedo());

    history.Undone({ 3, 1 });
    EXPECT_EQ((std::vector<int>{ 3, 2, 4 }), FacesOf(history.NextRedo()));
    EXPECT_EQ((std::vector<int>{ 0, 1 }), FacesOf(history.NextUndo()));
    for (const PaintStep* part : { history.NextRedo(), history.NextUndo() })
        EXPECT_TRUE((part->polyhedron == PolyhedronIdentity{ "Scene\\Box", 5 }) && part->listGeneration == 7);
    history.Redone({});
    EXPECT_EQ((std::vector<int>{ 3, 2, 4 }), FacesOf(history.NextUndo()));
    EXPECT_EQ(2u, history.StepCount());
}

// A history whose change runs out of memory is as it was: a new paint keeps the steps undone
// before it, an undo that stopped half-way moves nothing. Each allocation of each change fails
// in turn.
TEST(PaintHistory, AChangeThatRunsOutOfMemoryLeavesTheHistoryAsItWas)
{
    auto describe = [](const CPaintHistory& history) {
        std::string text;
        for (const PaintStep* step : { history.NextUndo(), history.NextRedo() })
            text += (step == nullptr ? "none" : step->polyhedron.name + ":" + std::to_string(step->faces.size())) + " ";
        return text + std::to_string(history.StepCount());
    };
    struct Case { const char* label; std::function<void(CPaintHistory&)> change; };
    const Case cases[] = {
        { "a new paint", [](CPaintHistory& h) { h.Record(Step("new", 3)); } },
        { "an undo that stopped half-way", [](CPaintHistory& h) { h.Undone({ 1 }); } },
        { "a whole undo", [](CPaintHistory& h) { h.Undone({}); } },
        { "a whole redo", [](CPaintHistory& h) { h.Redone({}); } },
    };
    for (const Case& c : cases)
        for (int k = 1;; ++k)
        {
            SCOPED_TRACE(std::string(c.label) + ", allocation " + std::to_string(k));
            CPaintHistory history;
            for (const char* name : { "first", "second", "third", "fourth" })
                history.Record(Step(name, 2));
            history.Undone({});
            const std::string before = describe(history);
            g_allocations = 0;
            g_failingAllocation = k;
            bool threw = false;
            try
            {
                c.change(history);
            }
            catch (const std::bad_alloc&)
            {
                threw = true;
            }
            g_failingAllocation = 0;
            if (!threw)
                break;
            EXPECT_EQ(before, describe(history));
        }
}

}  // namespace
