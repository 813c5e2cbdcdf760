// TGetFDirDlg: the file component dialog ("Dateikomponenteneditor").
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace tw {

struct FileComponentFields {
  std::string name, path, description;
  int32_t flags = 0;  // read back: bit 2 and bit 4 from the boxes
};

// True when closed with OK; the fields then hold the entries.
bool TGetFDirDlgExecute(HWND owner, FileComponentFields& fields);

}  // namespace tw
