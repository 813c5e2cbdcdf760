// The registry value dialog: the window of a RegValForm.
#include "builder/window/reg_val_dlg.h"

#include "builder/window/dialog_util.h"
#include "builder/window/property_dialog_ids.h"
#include "builder/window/sa_popup.h"

namespace tw {
namespace {

void showForm(HWND dlg, const RegValForm& f) {
  setItemText(dlg, IDC_RV_Edit1, f.name);
  SendDlgItemMessageA(dlg, IDC_RV_Edit1, EM_SETREADONLY, f.nameReadOnly, 0);
  setItemChecked(dlg, IDC_RV_CheckBox1, f.standard.ticked);
  enableItem(dlg, IDC_RV_CheckBox1, f.standard.enabled);
  setItemText(dlg, IDC_RV_Edit2, f.data);
  for (int t = 1; t <= 4; ++t) {
    int id = IDC_RV_RadioButton1 + t - 1;
    setItemChecked(dlg, id, f.type == t);
    enableItem(dlg, id, f.typesEnabled || (f.onlyDwordEnabled && t == 4));
  }
  enableItem(dlg, IDC_RV_GroupBox1, f.typesEnabled);
  ShowWindow(GetDlgItem(dlg, IDC_RV_DwordHint), f.type == 4 ? SW_SHOW : SW_HIDE);
}

void takeFields(HWND dlg, RegValForm& f) {
  if (!f.nameReadOnly) f.name = itemText(dlg, IDC_RV_Edit1);
  f.data = itemText(dlg, IDC_RV_Edit2);
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* f = reinterpret_cast<RegValForm*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      f = reinterpret_cast<RegValForm*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      aliasMenu().attach(GetDlgItem(dlg, IDC_RV_Edit1));
      aliasMenu().attach(GetDlgItem(dlg, IDC_RV_Edit2));
      showForm(dlg, *f);
      SetFocus(GetDlgItem(dlg, IDC_RV_Edit1));
      return FALSE;
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (HIWORD(wp) != BN_CLICKED) return FALSE;
      if (id == IDC_RV_CheckBox1) {
        takeFields(dlg, *f);
        f->tickStandard(itemChecked(dlg, id));
        showForm(dlg, *f);
        return TRUE;
      }
      if (id >= IDC_RV_RadioButton1 && id <= IDC_RV_RadioButton4) {
        takeFields(dlg, *f);
        f->chooseType(id - IDC_RV_RadioButton1 + 1);
        showForm(dlg, *f);
        return TRUE;
      }
      if (id == IDOK) {
        takeFields(dlg, *f);
        EndDialog(dlg, 1);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dlg, 2);
        return TRUE;
      }
      return FALSE;
    }
    default: return FALSE;
  }
}

}  // namespace

bool TRegValDlgExecute(HWND owner, RegValForm& form) {
  return DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_RegValDlg), owner, proc,
                         reinterpret_cast<LPARAM>(&form)) == 1;
}

}  // namespace tw
