// Undo and redo of the tool window's paints: the faces of the latest step brought back to the
// index on the other side of the paint, one material per index, the face list following; and the
// two items of the face list's menu.
#ifndef UNDOCOMMANDS_H
#define UNDOCOMMANDS_H

#include <afxwin.h>

#include "host/zvkapi.h"
#include "model/PaintHistory.h"
#include "ui/FaceListView.h"

// One history for the loaded plug-in: a closed window keeps it, unloading the library frees it.
extern CPaintHistory g_paintHistory;

class CUndoCommands
{
public:
    explicit CUndoCommands(CFaceListView& view) : m_view(view) {}

    // The latest step undone or redone as far as the host lets it. False when there was nothing
    // to act on (no step, or one of another polyhedron): nothing was asked of the host but
    // questions then.
    bool Undo() { return Restore(true); }
    bool Redo() { return Restore(false); }

    // "Undo paint of N faces" and "Redo ...", greyed without a step of the polyhedron selected now.
    void FitMenu(CMenu* pPopup, ZvkHandle polyhedron) const;

private:
    bool Restore(bool undo);

    CFaceListView& m_view;
};

#endif
