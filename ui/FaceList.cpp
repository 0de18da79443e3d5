// Building, clearing and labelling the face list; the help text.
#include "ui/MatIdDialog.h"

#include "host/zvkapi.h"

void CMatIdDialog::OnLoadList() {}
void CMatIdDialog::OnClearList() {}
void CMatIdDialog::OnHelpButton() {}
void CMatIdDialog::ShowObjectName() {}
