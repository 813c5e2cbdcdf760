// TRegValDlg: the registry value dialog ("Registrierwerteditor"); its rules
// are the RegValForm's.
#pragma once
#include <windows.h>

#include "builder/project/property_forms.h"

namespace tw {

bool TRegValDlgExecute(HWND owner, RegValForm& form);

}  // namespace tw
