// What the commands beside the tool window see of it: the face list's entries with their paint
// and the model of what the list is of, its selection, one repaint, the title a wait shows in and a
// message box; and, through the window, what its own controls would do after a selection or before
// a paint. The commands own no window: they work on this view, the model and the host adapter.
#ifndef FACELISTVIEW_H
#define FACELISTVIEW_H

#include <afxwin.h>

#include <cstdint>
#include <vector>

#include "host/HostMaterial.h"
#include "host/zvkapi.h"
#include "model/FaceListModel.h"
#include "ui/ColorListBox.h"

// What the tool window does for a command as it does for its own controls.
class CToolWindowLink
{
public:
    // The list's selection was made by a command and the host given its faces: the paint buttons
    // and the Material Editor follow as after a click.
    virtual void ListSelectionMade(int selected) = 0;
    // The material "Paint selection" would paint now, and the probe of the editor's material it
    // checks first (kept until the paint is done). False when the paint is refused (the user was
    // told); otherwise paint may still be unmade when the host made no material.
    virtual bool ReadyToPaint(CHostMaterial& probe, CHostMaterial& paint) = 0;
    // The list loaded for this polyhedron as "Faces | matIDs" loads it, but only reading the host:
    // no edit tool closed, no material made, no refresh, no message box.
    virtual void LoadListFollowing(ZvkHandle polyhedron) = 0;

protected:
    ~CToolWindowLink() {}
};

class CFaceListView
{
public:
    CFaceListView(CColorListBox& list, CWnd& title, CFaceListModel& model, CToolWindowLink& window)
        : m_list(list), m_title(title), m_model(model), m_window(window)
    {
    }

    CFaceListModel& Model() const { return m_model; }
    // Whether the list is of this polyhedron, asked of the host now; false for none.
    bool IsListOf(ZvkHandle polyhedron) const;

    // What it shows.
    int EntryCount() const { return m_list.GetCount(); }
    EntryPaint PaintOf(int entry) const { return m_list.PaintOf(entry); }
    bool AnyEntry(bool painted) const
    {
        return painted ? m_list.PaintedCount() > 0 : m_list.PaintedCount() < m_list.GetCount();
    }
    std::vector<int> EntriesPainted(bool painted) const { return m_list.EntriesPainted(painted); }
    // An entry's paint and the index its face reads now, shown at the next Repaint.
    void ShowEntry(int entry, EntryPaint paint, std::uint16_t index)
    {
        m_list.SetPaint(entry, paint);
        m_model.SetShownIndex(entry, index);
    }
    void ShowPaint(int entry, EntryPaint paint) { m_list.SetPaint(entry, paint); }
    void ShowIndex(int entry, std::uint16_t index) { m_model.SetShownIndex(entry, index); }
    void Repaint() { m_list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
    // Of these entries, those in view repainted at once, in one repaint; the others when they come
    // into view.
    void RepaintEntries(const std::vector<int>& entries);

    // Its selection.
    int SelectedCount() const { return m_list.GetSelCount(); }
    std::vector<int> Selected() const;
    // Exactly these entries selected, the current one given the focus rectangle, the first in view;
    // the host is not told.
    void SelectEntries(const std::vector<int>& chosen, int current);
    // A command made the list's selection (and gave the host its faces, or not): the window
    // follows as after a click.
    void SelectionMade(int selected, bool givenToHost);

    bool ReadyToPaint(CHostMaterial& probe, CHostMaterial& paint) { return m_window.ReadyToPaint(probe, paint); }
    void LoadFollowing(ZvkHandle polyhedron) { m_window.LoadListFollowing(polyhedron); }

    CWnd& Title() const { return m_title; }
    // The list control, for what reads its entries' texts (EntryFace).
    const CListBox& List() const { return m_list; }
    // The window that owns what a command makes (the clipboard's text).
    HWND Owner() const { return ::GetParent(m_list.m_hWnd); }
    void Tell(const char* text) const { AfxMessageBox(text, MB_ICONINFORMATION, 0); }

private:
    CColorListBox& m_list;
    CWnd& m_title;
    CFaceListModel& m_model;
    CToolWindowLink& m_window;
};

#endif
