// What the face list shows: the polyhedron it is of, by full name and entry count, and each entry's
// paint state. The tool window owns it and tells it what it does to the list; the menu, copying,
// undo and the materials panel ask it. Needs no Win32, so it also builds natively for the
// sanitizer runs.
#ifndef FACELISTMODEL_H
#define FACELISTMODEL_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/PaintHistory.h"

class CFaceListModel
{
public:
    // The list was emptied: no entries. The name stays until it is set anew.
    void Empty()
    {
        m_paint.clear();
        m_shownIndex.clear();
        m_painted = 0;
    }
    // The list was filled with this many entries, none painted yet.
    void Filled(int entries)
    {
        m_paint.assign(entries > 0 ? (std::size_t)entries : 0u, ENTRY_TO_DO);
        m_shownIndex.clear();
        m_painted = 0;
    }
    // The full name shown under the list ("" for none).
    void SetName(std::string name) { m_name = std::move(name); }

    const std::string& Name() const { return m_name; }
    int EntryCount() const { return (int)m_paint.size(); }

    // The one out-of-date test. A list built for a polyhedron holds one entry per face, entry i
    // for face i, so while it is of the polyhedron with this full name and face count, entry
    // positions stand for face indices without a word of the entries read back.
    bool IsOf(const std::string& fullName, int faceCount) const
    {
        return fullName == m_name && faceCount == EntryCount();
    }

    // A position outside the list changes nothing, as the list itself takes no item data there.
    void SetPaint(int entry, EntryPaint paint)
    {
        if (entry < 0 || entry >= EntryCount())
            return;
        m_painted += (paint != ENTRY_TO_DO) - (m_paint[entry] != ENTRY_TO_DO);
        m_paint[entry] = (std::uint8_t)paint;
    }
    EntryPaint PaintOf(int entry) const
    {
        return entry >= 0 && entry < EntryCount() ? (EntryPaint)m_paint[entry] : ENTRY_TO_DO;
    }

    // Painted (green or red) entries, or those still to do: whether there are any, and which, in
    // list order.
    bool AnyEntry(bool painted) const { return painted ? m_painted > 0 : m_painted < EntryCount(); }
    std::vector<int> Entries(bool painted) const
    {
        std::vector<int> chosen;
        const int wanted = painted ? m_painted : EntryCount() - m_painted;
        // The materials panel asks at every refresh: a list with nothing painted is not walked.
        if (wanted == 0)
            return chosen;
        chosen.reserve(wanted);
        for (int i = 0; i < EntryCount(); ++i)
            if ((m_paint[i] != ENTRY_TO_DO) == painted)
                chosen.push_back(i);
        return chosen;
    }

    // An entry whose face was given another material since the list was filled shows that index
    // ("face | index"): the list answers its text from here, so that a command changing thousands
    // of entries costs no list message per entry. False for an entry that shows what it was
    // filled with.
    void SetShownIndex(int entry, std::uint16_t index)
    {
        if (entry < 0 || entry >= EntryCount())
            return;
        ReserveShownIndices();
        m_shownIndex[entry] = index;
    }
    // What SetShownIndex may allocate, allocated now: a command that changes the host first can
    // then show what it did without a failure half-way.
    void ReserveShownIndices()
    {
        if (m_shownIndex.empty())
            m_shownIndex.assign(m_paint.size(), AS_FILLED);
    }
    bool ShownIndex(int entry, std::uint16_t& index) const
    {
        if (entry < 0 || entry >= (int)m_shownIndex.size() || m_shownIndex[entry] == AS_FILLED)
            return false;
        index = (std::uint16_t)m_shownIndex[entry];
        return true;
    }

private:
    static constexpr std::int32_t AS_FILLED = -1;

    std::string m_name;
    std::vector<std::uint8_t> m_paint;   // EntryPaint per entry
    std::vector<std::int32_t> m_shownIndex;   // empty until an entry shows another index
    int m_painted = 0;
};

#endif
