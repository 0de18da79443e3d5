// What the materials panel shows of a polyhedron: its faces counted by material index, and the
// words of its rows. Needs no Win32, so it also builds natively for the sanitizer runs.
#ifndef MATERIALTALLY_H
#define MATERIALTALLY_H

#include <algorithm>
#include <string>
#include <vector>

// One material index that at least one face uses, with the colour the host gave for its slot.
struct MaterialRow
{
    unsigned index = 0;
    int faces = 0;
    bool painted = false;     // a painted entry of the face list uses it
    bool hasColour = false;   // false when the host made no material to read the colour into
    unsigned char r = 0, g = 0, b = 0, a = 0;

    bool operator==(const MaterialRow& other) const
    {
        return index == other.index && faces == other.faces && painted == other.painted && hasColour == other.hasColour
            && r == other.r && g == other.g && b == other.b && a == other.a;
    }
};

struct MaterialTally
{
    std::vector<MaterialRow> rows;   // by index, ascending
    int faces = 0;
    int withoutRecord = 0;           // faces the host gives no record for, counted but never read

    bool operator==(const MaterialTally& other) const
    {
        return rows == other.rows && faces == other.faces && withoutRecord == other.withoutRecord;
    }
};

// The counts by index stay allocated and zero between tallies (only the indices met are reset),
// for fresh counts for every index each time would cost more than the pass itself. Every index counted is
// among those met, and they are reset on every way out, a throw included: a later tally never
// starts from another's counts.
class CMaterialCounts
{
public:
    CMaterialCounts() : m_counts(Counts().data()) { m_met.reserve(256); }
    ~CMaterialCounts()
    {
        for (unsigned index : m_met)
            m_counts[index] = 0;
    }

    // The index is noted as met before it is counted, so a failed note leaves nothing counted.
    void Count(unsigned index)
    {
        int& count = m_counts[index];
        if (count == 0)
            m_met.push_back(index);
        ++count;
    }
    std::vector<unsigned>& Met() { return m_met; }
    int CountOf(unsigned index) const { return m_counts[index]; }

private:
    CMaterialCounts(const CMaterialCounts&) = delete;
    CMaterialCounts& operator=(const CMaterialCounts&) = delete;

    static std::vector<int>& Counts()
    {
        static std::vector<int> s_counts(0x10000, 0);
        return s_counts;
    }

    // Taken once: the pass counts every face, and the static's guard would be asked at each.
    int* m_counts;
    std::vector<unsigned> m_met;
};

// One pass over the faces: materialOf(face) gives a face's material index (0 to 65535), or -1
// when the host has no record of it.
template <class MaterialOf>
MaterialTally CountFacesByMaterial(int faceCount, MaterialOf materialOf)
{
    MaterialTally tally;
    if (faceCount <= 0)
        return tally;
    tally.faces = faceCount;
    CMaterialCounts counts;
    for (int face = 0; face < faceCount; ++face)
    {
        int material = materialOf(face);
        if (material < 0)
            ++tally.withoutRecord;
        else
            counts.Count((unsigned)material & 0xFFFF);
    }
    // Indices usually come in order (faces painted in runs): then there is nothing to sort.
    std::vector<unsigned>& met = counts.Met();
    if (!std::is_sorted(met.begin(), met.end()))
        std::sort(met.begin(), met.end());
    tally.rows.resize(met.size());
    for (size_t i = 0; i < met.size(); ++i)
    {
        tally.rows[i].index = met[i];
        tally.rows[i].faces = counts.CountOf(met[i]);
    }
    return tally;
}

inline void MarkPainted(MaterialTally& tally, unsigned index)
{
    auto row = std::lower_bound(tally.rows.begin(), tally.rows.end(), index,
                                [](const MaterialRow& r, unsigned i) { return r.index < i; });
    if (row != tally.rows.end() && row->index == index)
        row->painted = true;
}

// The rows a person sees: one per material, then one for the faces without record, if any.
inline int RowCount(const MaterialTally& tally)
{
    return (int)tally.rows.size() + (tally.withoutRecord > 0 ? 1 : 0);
}

// The material of a row; NULL for the faces without record and for a row that is not there.
inline const MaterialRow* MaterialRowAt(const MaterialTally& tally, int row)
{
    return row >= 0 && row < (int)tally.rows.size() ? &tally.rows[row] : nullptr;
}

inline std::string CountText(int count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Rounded half up to one decimal, in integers, so that both builds give the same text.
inline std::string ShareText(int part, int whole)
{
    long long tenths = whole > 0 ? ((long long)part * 2000 + whole) / (2LL * whole) : 0;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %";
}

inline std::string TotalText(const MaterialTally& tally)
{
    return CountText(tally.faces, "face", "faces") + ", " + CountText((int)tally.rows.size(), "material", "materials");
}

// A row's words, column by column.
struct RowWords
{
    std::string material, faces, share, note;
};

inline RowWords WordsOfRow(const MaterialTally& tally, int row)
{
    RowWords words;
    const MaterialRow* material = MaterialRowAt(tally, row);
    int faces = material != nullptr ? material->faces : tally.withoutRecord;
    words.material = material != nullptr ? "matID " + std::to_string(material->index) : "no record";
    words.faces = CountText(faces, "face", "faces");
    words.share = ShareText(faces, tally.faces);
    bool invisible = material != nullptr && material->hasColour && material->a == 0;
    bool painted = material != nullptr && material->painted;
    words.note = invisible && painted ? "invisible, painted here" : invisible ? "invisible" : painted ? "painted here" : "";
    return words;
}

// The row as one line, its columns separated by tabs: what the panel's list gives as its text.
inline std::string RowText(const MaterialTally& tally, int row)
{
    RowWords words = WordsOfRow(tally, row);
    return words.material + "\t" + words.faces + "\t" + words.share + "\t" + words.note;
}

#endif
