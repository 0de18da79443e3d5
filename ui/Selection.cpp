// Selecting faces from the list and sending the current face's material to the editor.
#include "ui/MatIdDialog.h"

#include "host/zvkapi.h"

void CMatIdDialog::OnSelchangeFaceList() {}
void CMatIdDialog::PickFaceMaterial() {}
void CMatIdDialog::SelectSingleFace() {}
void CMatIdDialog::SelectMultipleFaces() {}
