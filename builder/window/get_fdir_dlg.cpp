// The file component dialog.
#include "builder/window/get_fdir_dlg.h"

#include "builder/project/project_tree.h"
#include "builder/window/dialog_util.h"
#include "builder/window/multi_edit.h"
#include "builder/window/property_dialog_ids.h"
#include "builder/window/sa_popup.h"

namespace tw {
namespace {

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* f = reinterpret_cast<FileComponentFields*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      f = reinterpret_cast<FileComponentFields*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      makeMultiEdit(GetDlgItem(dlg, IDC_GFD_MultiEdit1), true);
      aliasMenu().attach(GetDlgItem(dlg, IDC_GFD_Edit1));
      aliasMenu().attach(GetDlgItem(dlg, IDC_GFD_Edit2));
      setItemText(dlg, IDC_GFD_Edit2, f->name);
      setItemText(dlg, IDC_GFD_Edit1, f->path);
      multiEditSetText(GetDlgItem(dlg, IDC_GFD_MultiEdit1), f->description);
      setItemChecked(dlg, IDC_GFD_CheckBox1, f->flags & kKompNotOptional);
      setItemChecked(dlg, IDC_GFD_CheckBox2, f->flags & kKompNoCompression);
      SetFocus(GetDlgItem(dlg, IDC_GFD_Edit1));
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        f->name = itemText(dlg, IDC_GFD_Edit2);
        f->path = itemText(dlg, IDC_GFD_Edit1);
        f->description = multiEditTake(GetDlgItem(dlg, IDC_GFD_MultiEdit1));
        // The selection state bits stay with the component.
        f->flags = (f->flags & ~(kKompNotOptional | kKompNoCompression)) |
                   (itemChecked(dlg, IDC_GFD_CheckBox1) ? kKompNotOptional : 0) |
                   (itemChecked(dlg, IDC_GFD_CheckBox2) ? kKompNoCompression : 0);
        EndDialog(dlg, 1);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, 2);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

bool TGetFDirDlgExecute(HWND owner, FileComponentFields& fields) {
  return DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_GetFDirDlg), owner, proc,
                         reinterpret_cast<LPARAM>(&fields)) == 1;
}

}  // namespace tw
