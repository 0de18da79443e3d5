// Where the tool window opens: the window-position file under the host's directory.
#include "ui/MatIdDialog.h"

#include "host/zvkapi.h"

std::string CMatIdDialog::GetSettingsPath()
{
    return std::string(zvkGetZVDir(0)) + "\\zv\\zvk\\zVkQuarvelind\\zVkQuarvelind.ini";
}

bool CMatIdDialog::LoadPosition()
{
    return false;
}

bool CMatIdDialog::SavePosition()
{
    return false;
}
