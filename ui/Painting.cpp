// The paint modes and painting one face, the selected faces or the whole polyhedron.
#include "ui/MatIdDialog.h"

#include "host/zvkapi.h"

void CMatIdDialog::OnCopyMaterial() {}
void CMatIdDialog::OnPaintRandom() {}
void CMatIdDialog::OnPaintInvisible() {}
void CMatIdDialog::OnPaintFace() {}
void CMatIdDialog::OnPaintSelection() {}
void CMatIdDialog::OnPaintAll() {}
void CMatIdDialog::PaintSelectedFace() {}
void CMatIdDialog::PaintSelectedFaces() {}
void CMatIdDialog::PaintWholePolyhedron() {}
void CMatIdDialog::MakeRandomColour() {}
