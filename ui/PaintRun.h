// The skeleton that every paint of many faces at once shares (the materials panel's Assign and
// Replace, undo and redo): under "Please wait..." and the wait cursor, the edit tool closed; the
// faces painted through the host and taken down; their entries shown with one repaint; the host
// refreshed. Showing the entries allocates nothing (the model holds what each entry shows from the
// fill on), so a command that runs out of memory never leaves some entries shown and others not.
#ifndef PAINTRUN_H
#define PAINTRUN_H

#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/BusyIndicator.h"
#include "ui/FaceListView.h"

// paint() paints, takes down what it did and shows its entries through the view; it returns
// whether it showed any, for the one repaint.
template <class Paint>
void RunPaint(CFaceListView& view, Paint paint)
{
    CBusyIndicator busy(view.Title());
    zvkCurrobjEditToolClose();
    if (paint())
        view.Repaint();
    RefreshHost();
}

#endif
