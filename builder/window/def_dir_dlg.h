// TDefDirDlg: the source path dialog ("Hauptpfad Quelldateien").
#pragma once
#include <windows.h>

#include <string>

namespace tw {

// `path` is shown and, on OK, replaced; the update box's tick is kept
// between openings in `update`.
bool TDefDirDlgExecute(HWND owner, std::string& path, bool& update);

}  // namespace tw
