// TShellNameDlg: the shortcut dialog ("Verknuepfungseigenschaften").
#pragma once
#include <windows.h>

#include <string>

#include "builder/project/project_document.h"

namespace tw {

// Shows the entry's caption and object; true when closed with OK, the
// entry then holding the fields. `targetText` is "[component]\file".
bool TShellNameDlgExecute(HWND owner, const std::string& targetText, ShortcutEntry& entry);

}  // namespace tw
