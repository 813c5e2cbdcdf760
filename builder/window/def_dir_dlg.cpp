// The source path dialog with the system's folder browser.
#include "builder/window/def_dir_dlg.h"

#include <shlobj.h>

#include "builder/window/dialog_util.h"
#include "builder/window/property_dialog_ids.h"

namespace tw {
namespace {

struct Call {
  std::string* path;
  bool* update;
};

int CALLBACK browseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

void browse(HWND dlg) {
  std::string current = itemText(dlg, IDC_DD_Edit2).substr(0, 255);
  BROWSEINFOA bi = {};
  bi.hwndOwner = dlg;
  bi.lpszTitle = "W\xE4hlen Sie einen Ordner aus der Liste aus";
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  bi.lpfn = browseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(current.c_str());
  LPITEMIDLIST chosen = SHBrowseForFolderA(&bi);
  if (!chosen) return;
  char folder[MAX_PATH] = {};
  if (SHGetPathFromIDListA(chosen, folder)) setItemText(dlg, IDC_DD_Edit2, folder);
  CoTaskMemFree(chosen);
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* call = reinterpret_cast<Call*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      call = reinterpret_cast<Call*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      setItemText(dlg, IDC_DD_Edit2, *call->path);
      setItemChecked(dlg, IDC_DD_CheckBox1, *call->update);
      SetFocus(GetDlgItem(dlg, IDC_DD_Edit2));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_DD_BitBtn08: browse(dlg); return TRUE;
        case IDOK:
          *call->path = itemText(dlg, IDC_DD_Edit2);
          *call->update = itemChecked(dlg, IDC_DD_CheckBox1);
          EndDialog(dlg, 1);
          return TRUE;
        case IDCANCEL:
          *call->update = itemChecked(dlg, IDC_DD_CheckBox1);
          EndDialog(dlg, 2);
          return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace

bool TDefDirDlgExecute(HWND owner, std::string& path, bool& update) {
  Call call{&path, &update};
  return DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_DefDirDlg), owner, proc,
                         reinterpret_cast<LPARAM>(&call)) == 1;
}

}  // namespace tw
