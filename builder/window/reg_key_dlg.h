// TRegKeyDlg: the registry key dialog ("Registrierschluesseleditor") in
// component and subkey mode; its rules are the RegKeyForm's.
#pragma once
#include <windows.h>

#include "builder/project/property_forms.h"

namespace tw {

// Shows the form; true when closed with OK (the form then holds the
// fields; RegKeyForm::read gives the flags or -1).
bool TRegKeyDlgExecute(HWND owner, RegKeyForm& form);

}  // namespace tw
