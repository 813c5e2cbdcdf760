// The procedures of the wizard pages; each ends with the common procedure.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "language/ids.h"
#include "setup/core/wizard/page_rules.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/wizard/unattended_run.h"
#include "setup/main/runtime_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"

namespace tw {
namespace {


std::string itemText(HWND dialog, int id, int limit) {
  std::vector<char> buffer(static_cast<size_t>(limit) + 1);
  GetDlgItemTextA(dialog, id, buffer.data(), limit + 1);
  return buffer.data();
}

INT_PTR readOnlyEditColour(WPARAM wp) {
  SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

INT_PTR CALLBACK commonProc(HWND d, UINT m, WPARAM w, LPARAM l) { return commonPageProc(d, m, w, l); }

// A read-only text that gets the focus first is shown all selected; the
// focus goes to Next instead (or the licence check box while Next waits).
void focusAwayFromText(HWND d) {
  HWND next = GetDlgItem(d, IDC_NEXT);
  HWND accept = GetDlgItem(d, IDC_ACCEPT);
  SetFocus(IsWindowEnabled(next) ? next : accept ? accept : next);
}

// The page is made again each time it is shown: the picture it loaded
// goes with it, or every visit would leave a bitmap behind.
constexpr char kPictureProperty[] = "ZETUPicture";

INT_PTR CALLBACK welcomePictureProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    HANDLE bitmap = LoadImageA(runState().resources, MAKEINTRESOURCEA(10), IMAGE_BITMAP, 0, 0,
                               LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
    if (bitmap && !SetPropA(d, kPictureProperty, bitmap)) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
    if (bitmap) SendDlgItemMessageA(d, IDC_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  } else if (m == WM_DESTROY) {
    if (HANDLE bitmap = RemovePropA(d, kPictureProperty)) {
      SendDlgItemMessageA(d, IDC_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0);
      DeleteObject(bitmap);
    }
  }
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK textPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  switch (m) {
    case WM_INITDIALOG: {
      const uint8_t* data;
      size_t size;
      if (runProfile().find(kProfileTypeTextFile, s.step == 2 ? 1 : 2, data, size)) {
        size_t n = 0;
        while (n < size && data[n]) ++n;  // the text ends at its first zero byte
        SetDlgItemTextA(d, IDC_TEXT, std::string(reinterpret_cast<const char*>(data), n).c_str());
      }
      if (s.step == 2) EnableWindow(GetDlgItem(d, IDC_NEXT), IsDlgButtonChecked(d, IDC_ACCEPT) == BST_CHECKED);
      commonPageProc(d, m, w, l);
      focusAwayFromText(d);
      return FALSE;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(l) == GetDlgItem(d, IDC_TEXT)) return readOnlyEditColour(w);
      break;
    case WM_COMMAND:
      if (LOWORD(w) == IDC_ACCEPT)
        EnableWindow(GetDlgItem(d, IDC_NEXT), IsDlgButtonChecked(d, IDC_ACCEPT) == BST_CHECKED);
      break;
  }
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK userPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  static bool visited = false;
  switch (m) {
    case WM_INITDIALOG:
      if (!visited) {
        visited = true;
        std::string name = userInfoDefault("DefName"), company = userInfoDefault("DefCompany");
        if (!name.empty()) s.pageUserName = name;
        if (!company.empty()) s.pageCompany = company;
      }
      SetDlgItemTextA(d, IDC_TEXT, s.pageUserName.c_str());
      SetDlgItemTextA(d, IDC_COMPANY, s.pageCompany.c_str());
      break;
    case WM_COMMAND:
      if ((LOWORD(w) == IDC_TEXT || LOWORD(w) == IDC_COMPANY) && HIWORD(w) == EN_CHANGE)
        EnableWindow(GetDlgItem(d, IDC_NEXT), GetWindowTextLengthA(GetDlgItem(d, IDC_TEXT)) > 0 &&
                                                  GetWindowTextLengthA(GetDlgItem(d, IDC_COMPANY)) > 0);
      if (LOWORD(w) == IDC_NEXT || LOWORD(w) == IDC_BACK) {
        s.pageUserName = itemText(d, IDC_TEXT, 100);
        s.pageCompany = itemText(d, IDC_COMPANY, 100);
      }
      break;
  }
  return commonPageProc(d, m, w, l);
}

std::string firstMaskedLinkName() {
  ShortcutTable table;
  if (!readShortcutTable(runProfile(), table)) return {};
  for (size_t i = 0; i < table.entries.size() && i < 32; ++i)
    if (table.mask & (1 << i)) return table.entries[i].linkName;
  return {};
}

void fillProgramFolders(HWND list) {
  const std::string& programs = runState().programsFolder;
  if (programs.empty()) return;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((programs + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
  } while (FindNextFileA(h, &found));
  FindClose(h);
}

INT_PTR CALLBACK folderPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  switch (m) {
    case WM_INITDIALOG:
      SetDlgItemTextA(d, IDC_TEXT, s.programFolder.c_str());
      CheckDlgButton(d, IDC_COMPANY, s.quickEntry ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(d, IDC_DESKTOP, s.desktop ? BST_CHECKED : BST_UNCHECKED);
      if (s.shortcutOptionsHidden) {
        RECT second, label, list;
        GetWindowRect(GetDlgItem(d, IDC_COMPANY), &second);
        GetWindowRect(GetDlgItem(d, IDC_LIST_LABEL), &label);
        GetWindowRect(GetDlgItem(d, IDC_LIST), &list);
        int up = label.top - second.top;
        ShowWindow(GetDlgItem(d, IDC_COMPANY), SW_HIDE);
        ShowWindow(GetDlgItem(d, IDC_DESKTOP), SW_HIDE);
        for (RECT* r : {&label, &list}) MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(r), 2);
        SetWindowPos(GetDlgItem(d, IDC_LIST_LABEL), nullptr, label.left, label.top - up, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        // The list keeps its bottom.
        SetWindowPos(GetDlgItem(d, IDC_LIST), nullptr, list.left, list.top - up, list.right - list.left,
                     list.bottom - list.top + up, SWP_NOZORDER);
        if (s.quickEntry) {
          ShowWindow(GetDlgItem(d, IDC_FOLDER_LABEL), SW_HIDE);
          ShowWindow(GetDlgItem(d, IDC_LINK_LABEL), SW_SHOW);
          EnableWindow(GetDlgItem(d, IDC_LIST), FALSE);
          SendDlgItemMessageA(d, IDC_TEXT, EM_SETREADONLY, TRUE, 0);
          SetDlgItemTextA(d, IDC_TEXT, firstMaskedLinkName().c_str());
        }
      }
      fillProgramFolders(GetDlgItem(d, IDC_LIST));
      break;
    case WM_COMMAND:
      if (LOWORD(w) == IDC_LIST && HIWORD(w) == LBN_SELCHANGE) {
        char text[MAX_PATH];
        LRESULT i = SendDlgItemMessageA(d, IDC_LIST, LB_GETCURSEL, 0, 0);
        if (i >= 0 && SendDlgItemMessageA(d, IDC_LIST, LB_GETTEXTLEN, i, 0) < MAX_PATH) {
          SendDlgItemMessageA(d, IDC_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
          SetDlgItemTextA(d, IDC_TEXT, text);
        }
      }
      if (LOWORD(w) == IDC_NEXT) {
        s.quickEntry = IsDlgButtonChecked(d, IDC_COMPANY) == BST_CHECKED;
        s.desktop = IsDlgButtonChecked(d, IDC_DESKTOP) == BST_CHECKED;
        if (!(s.quickEntry && s.shortcutOptionsHidden)) s.programFolder = itemText(d, IDC_TEXT, 256);
      }
      break;
  }
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK summaryPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  if (m == WM_INITDIALOG) {
    SummaryInput in;
    in.userName = s.pageUserName;
    in.company = s.pageCompany;
    InstallationTypeRecord type;
    readInstallationType(runProfile(), s.selectedType - 501, type);
    in.typeName = type.name;
    in.installDir = s.installDir;
    in.programFolder = s.programFolder;
    in.shortcutOptionsShown = !s.shortcutOptionsHidden;
    in.quickEntry = s.quickEntry;
    in.desktop = s.desktop;
    ShortcutTable table;
    if (readShortcutTable(runProfile(), table))
      for (size_t i = 0; i < table.entries.size() && i < 32; ++i)
        if (table.mask & (1 << i)) in.masked.push_back(table.entries[i].linkName);
    in.userHeading = languageString(STR_HEAD_USER);
    in.typeHeading = languageString(STR_HEAD_TYPE);
    in.dirHeading = languageString(STR_HEAD_DIR);
    in.folderHeading = languageString(STR_HEAD_FOLDER);
    in.quickHeading = languageString(STR_HEAD_QUICK);
    in.desktopHeading = languageString(STR_HEAD_DESKTOP);
    INT tab = 8;
    SendDlgItemMessageA(d, IDC_TEXT, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    SetDlgItemTextA(d, IDC_TEXT, summaryText(in).c_str());
    commonPageProc(d, m, w, l);
    focusAwayFromText(d);
    return FALSE;
  }
  if (m == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(l) == GetDlgItem(d, IDC_TEXT)) return readOnlyEditColour(w);
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK progressPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) SendDlgItemMessageA(d, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  return commonPageProc(d, m, w, l);
}

bool hasAssociation(int settingId) {
  std::string path;
  if (!readSettingString(runProfile(), settingId, path)) return false;
  path = expandRunPath(path);
  char program[MAX_PATH];
  return reinterpret_cast<INT_PTR>(FindExecutableA(path.c_str(), nullptr, program)) > 32;
}

void writeContinuationValue() {
  RunState& s = runState();
  // Quoted: a path with blanks would otherwise start another program.
  std::string command = "\"" + ownProgramPath() + "\" \"ZETUFINISH\" \"" + s.installDir + "\"";
  HKEY run;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &run, nullptr) != ERROR_SUCCESS)
    return;
  std::string name = s.applicationName + "-Setup";
  RegSetValueExA(run, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(run);
}

INT_PTR CALLBACK finishPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  if (m == WM_INITDIALOG) {
    if (s.step == kStepRestart) {
      CheckDlgButton(d, IDC_RESTART_NOW, BST_CHECKED);
    } else {
      unsigned bits = (hasAssociation(kSettingReadMe) ? 1u : 0u) | (hasAssociation(kSettingProgram) ? 2u : 0u);
      s.finalChoice = (s.finalChoice & ~3u) | bits;
      for (int i = 0; i < 2; ++i) {
        if (bits & (1u << i)) CheckDlgButton(d, IDC_OPTION1 + i, BST_CHECKED);
        else ShowWindow(GetDlgItem(d, IDC_OPTION1 + i), SW_HIDE);
      }
      if (bits)
        SetDlgItemTextA(d, IDC_NOTE, languageString(STR_FINISH_README - 1 + static_cast<int>(bits)).c_str());
      formatWithName(d, IDC_INTRO);
      if (bits & 2) {
        formatWithName(d, IDC_OPTION2);
        if (s.finalChoice & 4) CheckDlgButton(d, IDC_OPTION2, BST_CHECKED);
        else EnableWindow(GetDlgItem(d, IDC_OPTION2), FALSE);
      }
    }
  }
  if (m == WM_COMMAND && (LOWORD(w) == 1 || LOWORD(w) == 2)) {
    if (s.step == kStepRestart) {
      if (IsDlgButtonChecked(d, IDC_RESTART_NOW) != BST_CHECKED) s.finalChoice = 0;
      else if (pageExists(kStepFinish)) writeContinuationValue();
    } else if (LOWORD(w) == 1) {
      s.finalChoice = (s.finalChoice & ~3u) | (IsDlgButtonChecked(d, IDC_OPTION1) == BST_CHECKED ? 1u : 0u) |
                      (IsDlgButtonChecked(d, IDC_OPTION2) == BST_CHECKED ? 2u : 0u);
    }
  }
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK maintenancePageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  if (m == WM_INITDIALOG) {
    std::string offered;
    if (!readSettingString(runProfile(), kSettingInstallRemoval, offered)) {
      formatWithName(d, IDC_INTRO);
      HWND first = GetDlgItem(d, IDC_OPTION1);
      SetWindowLongA(first, GWL_STYLE, GetWindowLongA(first, GWL_STYLE) | WS_GROUP);
      ShowWindow(GetDlgItem(d, IDC_OPTION2), SW_HIDE);
      CheckDlgButton(d, IDC_OPTION1, BST_CHECKED);
    } else {
      formatWithName(d, IDC_INTRO);
      formatWithName(d, IDC_OPTION2);
      std::string update;
      if (readSettingString(runProfile(), kSettingInstallSetup, update)) {
        CheckDlgButton(d, IDC_OPTION1, BST_CHECKED);
      } else {
        CheckDlgButton(d, IDC_OPTION2, BST_CHECKED);
        ShowWindow(GetDlgItem(d, IDC_OPTION1), SW_HIDE);
      }
    }
  }
  if (m == WM_COMMAND && LOWORD(w) == 1)
    s.finalChoice = IsDlgButtonChecked(d, IDC_OPTION1) == BST_CHECKED ? 5 : 6;
  if (m == WM_COMMAND && LOWORD(w) == 2) s.finalChoice = 4;
  return commonPageProc(d, m, w, l);
}

}  // namespace

DLGPROC componentPageProcedure();

DLGPROC pageProcedure(int step) {
  switch (step) {
    case 0: return welcomePictureProc;
    case 2:
    case 3: return textPageProc;
    case 4: return userPageProc;
    case 7: return componentPageProcedure();
    case 8: return folderPageProc;
    case 9: return summaryPageProc;
    case 10: return progressPageProc;
    case 12:
    case 13: return finishPageProc;
    case 14: return maintenancePageProc;
    default: return commonProc;
  }
}

}  // namespace tw
