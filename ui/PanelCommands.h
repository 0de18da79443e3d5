// What the materials panel's rows ask of the face list and the host: every face of a material
// selected, its material sent to the Material Editor, assigned to the selected entries' faces, or
// replaced everywhere by what "Paint selection" would paint now.
#ifndef PANELCOMMANDS_H
#define PANELCOMMANDS_H

#include <vector>

#include "host/zvkapi.h"
#include "model/FaceListModel.h"
#include "ui/FaceListView.h"
#include "ui/ListCommands.h"

class CHostPolyhedron;
class CHostMaterial;

class CPanelCommands
{
public:
    CPanelCommands(CFaceListView& view, CListCommands& list) : m_view(view), m_list(list) {}

    // What the panel shows: the polyhedron the face list is of, whether it is the one selected
    // now, the entries selected and those painted.
    const CFaceListModel& List() const { return m_view.Model(); }
    bool IsListOf(ZvkHandle polyhedron) const { return m_view.IsListOf(polyhedron); }
    int SelectedEntryCount() const { return m_view.SelectedCount(); }
    std::vector<int> PaintedEntries() const { return m_view.EntriesPainted(true); }

    // A row double-clicked, or Enter: its faces selected, the first current.
    void SelectFaces(unsigned material) { m_list.SelectFacesOfMaterial(material); }
    // "To editor": the slot's material to the Material Editor, whatever mode box is on.
    void ToEditor(unsigned material);
    // "Assign" and "Replace"; true when faces were painted.
    bool Assign(unsigned material);
    bool Replace(unsigned material);

private:
    bool PaintWith(CHostPolyhedron& polyhedron, const std::vector<int>& faces, CHostMaterial& material, bool showInEditor);
    void PaintFaces(CHostPolyhedron& polyhedron, const std::vector<int>& faces, const CHostMaterial& material);

    CFaceListView& m_view;
    CListCommands& m_list;
};

#endif
