// The procedure every wizard page ends with: Next, Back, Cancel, the type
// buttons, the destination pages and where the next page appears.
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "common/shortcut_label.h"
#include "language/ids.h"
#include "setup/core/wizard/page_rules.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/wizard/unattended_run.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {


INT_PTR CALLBACK confirmationProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    centerDialog(dialog, nullptr);
    formatWithName(dialog, IDC_INTRO);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wp) < 100) {
    EndDialog(dialog, LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}

void layOutTypes(HWND dialog) {
  RunState& s = runState();
  int present[4], count = 0;
  for (int t = 0; t < 4; ++t)
    if (profileHasType(t)) present[count++] = t;
  auto topOf = [&](int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  RECT first = topOf(IDC_TYPE1), last = topOf(IDC_TYPE1 + 3), text = topOf(IDC_TYPE_TEXT1);
  // The types' names take the place of the labels; each keeps a shortcut
  // letter that no other control of the page uses.
  std::string taken;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(child);
    if (id >= IDC_TYPE1 && id <= IDC_TYPE1 + 3) continue;
    char label[128];
    GetWindowTextA(child, label, sizeof label);
    if (unsigned char c = shortcutLetter(label)) taken += static_cast<char>(c);
  }
  std::vector<int> tops = typeButtonTops(count, first.top, last.top);
  for (int t = 0; t < 4; ++t) {
    ShowWindow(GetDlgItem(dialog, IDC_TYPE1 + t), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_TYPE_TEXT1 + t), SW_HIDE);
  }
  for (int k = 0; k < count; ++k) {
    int t = present[k];
    HWND button = GetDlgItem(dialog, IDC_TYPE1 + t), description = GetDlgItem(dialog, IDC_TYPE_TEXT1 + t);
    if (!tops.empty()) {
      int offset = tops[k] - first.top;
      RECT b = topOf(IDC_TYPE1 + t), d = topOf(IDC_TYPE_TEXT1 + t);
      SetWindowPos(button, nullptr, first.left, first.top + offset, b.right - b.left, b.bottom - b.top, SWP_NOZORDER);
      SetWindowPos(description, nullptr, text.left, text.top + offset, d.right - d.left, d.bottom - d.top, SWP_NOZORDER);
    }
    InstallationTypeRecord record;
    readInstallationType(runProfile(), t, record);
    char label[128];
    GetWindowTextA(button, label, sizeof label);
    std::string shown = labelWithShortcut(record.name, label, taken);
    if (unsigned char c = shortcutLetter(shown)) taken += static_cast<char>(c);
    SetWindowTextA(button, shown.c_str());
    SetWindowTextA(description, record.description.c_str());
    ShowWindow(button, SW_SHOW);
    ShowWindow(description, SW_SHOW);
    if (record.preselected) {
      CheckRadioButton(dialog, IDC_TYPE1, IDC_TYPE1 + 3, IDC_TYPE1 + t);
      SetFocus(button);
      if (s.selectedType != IDC_TYPE1 + t) s.changed = true;
      s.selectedType = IDC_TYPE1 + t;
    }
  }
}

void checkDestination(HWND dialog) {
  RunState& s = runState();
  char text[513];
  GetDlgItemTextA(dialog, IDC_DESTINATION, text, sizeof text);
  std::string path = text;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  unsigned flags = 0;
  bool check = true;
  if (!s.directoryValidated || lstrcmpiA(path.c_str(), s.installDir.c_str()) != 0) {
    s.askBeforeCreating = lstrcmpiA(path.c_str(), s.installDir.c_str()) != 0;
    if (s.step == 5 && pageExists(6)) {
      flags = kValidateOnly;
      s.deferredCheck = true;
    }
  } else if (s.step == 6 && (s.changed || s.deferredCheck)) {
    flags = kValidateSkipPath;
  } else {
    check = false;
  }
  if (check && !ValidateDestination(path, flags)) {
    SetDlgItemTextA(dialog, IDC_DESTINATION, s.installDir.c_str());
    SetFocus(GetDlgItem(dialog, IDC_DESTINATION));
    return;
  }
  NextDlg(+1, s.mainWindow);
}

void browse(HWND dialog) {
  RunState& s = runState();
  std::string title = languageString(STR_BROWSE_TITLE);
  BROWSEINFOA info = {};
  char chosen[MAX_PATH];
  info.hwndOwner = dialog;
  info.pszDisplayName = chosen;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  if (!item) return;
  if (SHGetPathFromIDListA(item, chosen)) {
    s.installDir = chosen;
    if (s.installDir.size() > 3 && s.installDir.back() == '\\') s.installDir.pop_back();
    SetDlgItemTextA(dialog, IDC_DESTINATION, s.installDir.c_str());
  }
  CoTaskMemFree(item);
}

}  // namespace

INT_PTR commonPageProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  RunState& s = runState();
  switch (msg) {
    case WM_INITDIALOG:
      if (s.step == s.firstStep) EnableWindow(GetDlgItem(dialog, IDC_BACK), FALSE);
      if (s.step == 1 || s.step == 2 || s.step == 3 || s.step == 5) formatWithName(dialog, IDC_INTRO);
      if (s.step == 5 || s.step == 6) SetDlgItemTextA(dialog, IDC_DESTINATION, s.installDir.c_str());
      if (s.step == 6) layOutTypes(dialog);
      return TRUE;
    case WM_WINDOWPOSCHANGED: {
      const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOMOVE) && IsWindowVisible(dialog)) {
        RECT r;
        GetWindowRect(dialog, &r);
        s.screenCentre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      }
      return FALSE;
    }
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (id == IDC_NEXT) {
        if (s.step == kStepDestination || s.step == kStepSetupType) checkDestination(dialog);
        else if (s.step >= kStepRestart) PostQuitMessage(0);
        else NextDlg(+1, s.mainWindow);
        return TRUE;
      }
      if (id == IDC_BACK) {
        NextDlg(-1, s.mainWindow);
        return TRUE;
      }
      if (id == IDC_CANCEL || id == IDC_CANCEL_LIST) {
        if (s.step == kStepMaintenance || s.step == kStepUninstall) {
          PostQuitMessage(1);
        } else if (confirmCancel(dialog)) {
          noteRunCancelled();
          PostQuitMessage(1);
        }
        return TRUE;
      }
      if (id >= IDC_TYPE1 && id <= IDC_TYPE1 + 3 && HIWORD(wp) == BN_CLICKED &&
          IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
        if (s.selectedType != id) {
          s.selectedType = id;
          s.changed = true;
        }
        return TRUE;
      }
      if (id == IDC_BROWSE) {
        browse(dialog);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

bool confirmCancel(HWND owner) {
  bool cancel = userInterface().confirmCancel(owner);
  if (userInterface().asks()) logEvent(LogKind::Question, cancel ? "Setup abbrechen -> Ja" : "Setup abbrechen -> Nein");
  return cancel;
}

bool cancelDialog(HWND owner) {
  return DialogBoxParamA(runState().resources, MAKEINTRESOURCEA(DLG_CANCEL), owner, confirmationProc, 0) == 1;
}

}  // namespace tw
