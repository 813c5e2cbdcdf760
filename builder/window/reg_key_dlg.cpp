// The registry key dialog: the window of a RegKeyForm.
#include "builder/window/reg_key_dlg.h"

#include "builder/window/dialog_util.h"
#include "builder/window/multi_edit.h"
#include "builder/window/property_dialog_ids.h"

namespace tw {
namespace {

void showForm(HWND dlg, const RegKeyForm& f) {
  HWND combo = GetDlgItem(dlg, IDC_RK_ComboBox1);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : f.rootItems())
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(f.shownRoot()), 0);
  EnableWindow(combo, f.rootEnabled());
  setItemText(dlg, IDC_RK_Edit2, f.name);
  enableItem(dlg, IDC_RK_Edit2, f.nameEnabled());
  setItemText(dlg, IDC_RK_Edit1, f.key);
  SendDlgItemMessageA(dlg, IDC_RK_Edit1, EM_SETREADONLY, !f.keyEnabled(), 0);
  enableItem(dlg, IDC_RK_Edit1, f.keyEnabled());
  multiEditSetText(GetDlgItem(dlg, IDC_RK_MultiEdit1), f.description);
  enableItem(dlg, IDC_RK_MultiEdit1, f.descriptionEnabled());
  const struct {
    int id;
    const FormCheck& c;
  } checks[] = {{IDC_RK_CheckBox1, f.uninstall}, {IDC_RK_CheckBox2, f.onlyIfEmpty}, {IDC_RK_CheckBox3, f.notOptional}};
  for (const auto& c : checks) {
    setItemChecked(dlg, c.id, c.c.ticked);
    enableItem(dlg, c.id, c.c.enabled);
  }
}

void takeFields(HWND dlg, RegKeyForm& f) {
  if (f.nameEnabled()) f.name = itemText(dlg, IDC_RK_Edit2);
  if (f.keyEnabled()) f.key = itemText(dlg, IDC_RK_Edit1);
  if (f.descriptionEnabled()) f.description = multiEditText(GetDlgItem(dlg, IDC_RK_MultiEdit1));
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* f = reinterpret_cast<RegKeyForm*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      f = reinterpret_cast<RegKeyForm*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      makeMultiEdit(GetDlgItem(dlg, IDC_RK_MultiEdit1), false);
      showForm(dlg, *f);
      SetFocus(GetDlgItem(dlg, f->nameEnabled() ? IDC_RK_Edit2 : IDC_RK_Edit1));
      return FALSE;
    case WM_COMMAND: {
      int id = LOWORD(wp);
      int code = HIWORD(wp);
      switch (id) {
        case IDC_RK_ComboBox1:
          if (code == CBN_SELCHANGE) {
            takeFields(dlg, *f);
            f->chooseRoot(static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), CB_GETCURSEL, 0, 0)));
            showForm(dlg, *f);
          }
          return TRUE;
        case IDC_RK_CheckBox1:
        case IDC_RK_CheckBox2:
        case IDC_RK_CheckBox3:
          if (code != BN_CLICKED) return TRUE;
          takeFields(dlg, *f);
          if (id == IDC_RK_CheckBox1) f->clickUninstall(itemChecked(dlg, id));
          else if (id == IDC_RK_CheckBox2) f->clickOnlyIfEmpty(itemChecked(dlg, id));
          else f->clickNotOptional(itemChecked(dlg, id));
          showForm(dlg, *f);
          return TRUE;
        case IDOK:
          takeFields(dlg, *f);
          EndDialog(dlg, 1);
          return TRUE;
        case IDCANCEL: EndDialog(dlg, 2); return TRUE;
        default: return FALSE;
      }
    }
    default: return FALSE;
  }
}

}  // namespace

bool TRegKeyDlgExecute(HWND owner, RegKeyForm& form) {
  return DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_RegKeyDlg), owner, proc,
                         reinterpret_cast<LPARAM>(&form)) == 1;
}

}  // namespace tw
