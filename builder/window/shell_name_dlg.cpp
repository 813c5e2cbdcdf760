// The shortcut dialog.
#include "builder/window/shell_name_dlg.h"

#include "builder/project/property_forms.h"
#include "builder/window/dialog_util.h"
#include "builder/window/property_dialog_ids.h"
#include "builder/window/sa_popup.h"

namespace tw {
namespace {

struct Call {
  const std::string* target;
  ShortcutEntry* entry;
};

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* call = reinterpret_cast<Call*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      call = reinterpret_cast<Call*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      for (int id : {IDC_SN_Edit2, IDC_SN_Edit4, IDC_SN_Edit6}) aliasMenu().attach(GetDlgItem(dlg, id));
      const TCmdObject& o = call->entry->object;
      setItemText(dlg, IDC_SN_StaticText1, *call->target);
      setItemText(dlg, IDC_SN_Edit1, call->entry->caption);
      setItemText(dlg, IDC_SN_Edit2, o.parameters);
      setItemText(dlg, IDC_SN_Edit3, o.subFolder);
      setItemText(dlg, IDC_SN_Edit4, o.workDir);
      setItemText(dlg, IDC_SN_Edit5, std::to_string(o.iconIndex));
      setItemText(dlg, IDC_SN_Edit6, o.iconFile);
      setItemChecked(dlg, IDC_SN_CheckBox1, o.appPathFile);
      setItemChecked(dlg, IDC_SN_CheckBox2, o.appPathDir);
      SetFocus(GetDlgItem(dlg, IDC_SN_Edit1));
      return FALSE;
    }
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (HIWORD(wp) == EN_KILLFOCUS && (id == IDC_SN_Edit3 || id == IDC_SN_Edit5)) {
        std::string text = itemText(dlg, id);
        std::string fixed = id == IDC_SN_Edit3 ? subFolderOnLeave(text) : iconIndexOnLeave(text);
        if (fixed != text) setItemText(dlg, id, fixed);
        return TRUE;
      }
      if (id == IDOK) {
        ShortcutEntry& e = *call->entry;
        e.caption = itemText(dlg, IDC_SN_Edit1);
        e.object.parameters = itemText(dlg, IDC_SN_Edit2);
        // The fixes of leaving the fields, also when OK was pressed in them.
        e.object.subFolder = subFolderOnLeave(itemText(dlg, IDC_SN_Edit3));
        e.object.workDir = itemText(dlg, IDC_SN_Edit4);
        e.object.iconIndex = iconIndexValue(itemText(dlg, IDC_SN_Edit5));
        e.object.iconFile = itemText(dlg, IDC_SN_Edit6);
        e.object.appPathFile = itemChecked(dlg, IDC_SN_CheckBox1);
        e.object.appPathDir = itemChecked(dlg, IDC_SN_CheckBox2);
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

bool TShellNameDlgExecute(HWND owner, const std::string& targetText, ShortcutEntry& entry) {
  Call call{&targetText, &entry};
  ShortcutEntry copy = entry;
  call.entry = &copy;
  if (DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_ShellNameDlg), owner, proc,
                      reinterpret_cast<LPARAM>(&call)) != 1)
    return false;
  entry = copy;
  return true;
}

}  // namespace tw
