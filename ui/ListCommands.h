// The face list's own commands, from its context menu: select every face of one material, the
// painted faces or those still to do in one step, and copy the list as text.
#ifndef LISTCOMMANDS_H
#define LISTCOMMANDS_H

#include <afxwin.h>

#include <string>
#include <vector>

#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/FaceListView.h"

class CListCommands
{
public:
    explicit CListCommands(CFaceListView& view) : m_view(view) {}

    // The menu opened on this entry (-1 for none), for a list that is up to date or not: the
    // material number in the first item, the out-of-date line only when it applies, and every
    // item greyed that has nothing to act on. Its select command acts on that entry.
    void FitMenu(CMenu* pPopup, int entry, ZvkHandle polyhedron);

    void SelectMaterialOfMenuEntry();
    // Every face of the material selected, the first of them current (the materials panel's rows).
    void SelectFacesOfMaterial(unsigned material);
    void SelectPaintState(bool painted);
    void CopyAll();
    void CopySelected();

private:
    void SelectEntriesOfMaterial(const CHostPolyhedron& polyhedron, int material, int current);
    void SelectChosen(ZvkHandle polyhedron, const std::vector<int>& chosen, int current);
    void CopyEntries(const std::vector<int>& positions);
    std::string EntriesText(const std::vector<int>& positions);

    CFaceListView& m_view;
    int m_nMenuEntry = -1;   // the entry the menu was opened on; -1 for none
};

#endif
