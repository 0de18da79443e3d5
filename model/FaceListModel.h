// What the face list is of: the polyhedron it was built for, by full name and entry count, and
// the object it was read from; the material index each entry shows, as filled or re-numbered
// since; and whether the host's face selection is the one the list's selection gave it. Each
// entry's paint state is the list control's own (its item data). Needs no Win32, so it also
// builds natively for the sanitizer runs.
#ifndef FACELISTMODEL_H
#define FACELISTMODEL_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/PolyhedronIdentity.h"

class CFaceListModel
{
public:
    // The list was emptied: no entries, read from nothing. The name stays until it is set anew.
    void Empty()
    {
        m_nEntries = 0;
        m_filledIndex.clear();
        m_shownIndex.clear();
        m_bHostHasSelection = false;
        m_source = 0;
        m_nSourceFaces = 0;
    }
    // A fill of this many entries begins: what it needs is allocated before the first is added.
    // Then each entry's index is noted as it is added (-1 for a face listed without its record),
    // and Filled says how many were.
    void BeginFill(int entries)
    {
        Empty();
        const std::size_t size = entries > 0 ? (std::size_t)entries : 0u;
        m_filledIndex.assign(size, NO_RECORD);
        m_shownIndex.assign(size, NO_RECORD);
    }
    void NoteFilled(int entry, int index) { m_filledIndex[(std::size_t)entry] = m_shownIndex[(std::size_t)entry] = index; }
    void Filled(int entries) { m_nEntries = entries > 0 && entries <= (int)m_filledIndex.size() ? entries : 0; }
    // The object the list was read from (or refused), as its handle and the face count the host
    // reported: following reloads when either changes.
    void SetSource(std::uintptr_t object, int reportedFaces)
    {
        m_source = object;
        m_nSourceFaces = reportedFaces;
    }
    bool IsFrom(std::uintptr_t object, const std::string& fullName, int reportedFaces) const
    {
        return object != 0 && object == m_source && reportedFaces == m_nSourceFaces && fullName == m_name;
    }
    // The full name shown under the list ("" for none).
    void SetName(std::string name) { m_name = std::move(name); }

    const std::string& Name() const { return m_name; }
    int EntryCount() const { return m_nEntries; }

    // The one out-of-date test. A list built for a polyhedron holds one entry per face, entry i
    // for face i, so while it is of the polyhedron with this identity, entry positions stand for
    // face indices without a word of the entries read back.
    PolyhedronIdentity Identity() const { return { m_name, m_nEntries }; }
    bool IsOf(const PolyhedronIdentity& polyhedron) const { return Identity() == polyhedron; }

    // Whether the host's face selection is what the list's selection gave it: set once a
    // selection change or a command gave the host the selected entries' faces; cleared by a load
    // or an emptying, and by a selection change that gave the host nothing.
    void SetHostHasSelection(bool given) { m_bHostHasSelection = given; }
    bool HostHasSelection() const { return m_bHostHasSelection; }

    // An entry whose face was given another material since the list was filled shows that index
    // ("face | index"): the list answers its text from here, so that a command changing thousands
    // of entries costs no list message per entry. A position outside the list changes nothing.
    void SetShownIndex(int entry, std::uint16_t index)
    {
        if (entry >= 0 && entry < m_nEntries)
            m_shownIndex[(std::size_t)entry] = index;
    }
    // False for an entry that shows what it was filled with.
    bool ShownIndex(int entry, std::uint16_t& index) const
    {
        if (entry < 0 || entry >= m_nEntries || m_shownIndex[entry] == m_filledIndex[entry])
            return false;
        index = (std::uint16_t)m_shownIndex[entry];
        return true;
    }

    // The faces read again: every entry of the first readable ones whose face reads another index
    // than the entry shows now shows that one; an entry whose face has no record now (-1) is left.
    // Each entry changed is handed to changed(entry); how many, returned. One comparison an entry:
    // it runs over every face at every tick.
    template <class MaterialOf, class Changed>
    int ShowIndicesNow(int readable, MaterialOf materialOfReadable, Changed changed)
    {
        const int n = readable < m_nEntries ? readable : m_nEntries;
        std::int32_t* shown = m_shownIndex.data();
        // Most passes change nothing: up to the first change the loop does nothing but compare.
        int entry = 0;
        while (entry < n)
        {
            const std::int32_t now = materialOfReadable(entry);
            if (now != shown[entry] && now >= 0)
                break;
            ++entry;
        }
        int count = 0;
        for (; entry < n; ++entry)
        {
            const std::int32_t now = materialOfReadable(entry);
            if (now != shown[entry] && now >= 0)
            {
                shown[entry] = now;
                changed(entry);
                ++count;
            }
        }
        return count;
    }

private:
    static constexpr std::int32_t NO_RECORD = -1;

    std::string m_name;
    int m_nEntries = 0;
    std::vector<std::int32_t> m_filledIndex;  // the index each entry was filled with
    std::vector<std::int32_t> m_shownIndex;   // the index it shows now
    bool m_bHostHasSelection = false;
    std::uintptr_t m_source = 0;
    int m_nSourceFaces = 0;
};

#endif
