// The procedures of the wizard pages; each ends with the common procedure.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "language/ids.h"
#include "setup/core/wizard/page_rules.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/main/runtime_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"

namespace tw {
namespace {

constexpr int kIdNext = IDC_NEXT, kIdBack = IDC_BACK, kIdAccept = IDC_ACCEPT, kIdLabelFolder = IDC_FOLDER_LABEL,
              kIdLabelLink = IDC_LINK_LABEL;
constexpr int kIdEdit = IDC_TEXT, kIdSecond = IDC_COMPANY, kIdDesktop = IDC_DESKTOP, kIdListLabel = IDC_LIST_LABEL,
              kIdList = IDC_LIST;
constexpr int kIdRestartNow = IDC_RESTART_NOW, kIdFirstChoice = IDC_OPTION1, kIdSecondChoice = IDC_OPTION2;
constexpr int kIdText = IDC_INTRO, kIdMoreText = IDC_NOTE, kIdPicture = IDC_PICTURE, kIdProgress = IDC_PROGRESS;
constexpr int kHeadingUser = 512, kHeadingType = 514, kHeadingDir = 515, kHeadingFolder = 516;
constexpr int kHeadingQuick = 517, kHeadingDesktop = 526, kFinishTextBase = 520;

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
  HWND next = GetDlgItem(d, kIdNext);
  HWND accept = GetDlgItem(d, kIdAccept);
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
    if (bitmap) SendDlgItemMessageA(d, kIdPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  } else if (m == WM_DESTROY) {
    if (HANDLE bitmap = RemovePropA(d, kPictureProperty)) {
      SendDlgItemMessageA(d, kIdPicture, STM_SETIMAGE, IMAGE_BITMAP, 0);
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
        SetDlgItemTextA(d, kIdEdit, std::string(reinterpret_cast<const char*>(data), n).c_str());
      }
      if (s.step == 2) EnableWindow(GetDlgItem(d, kIdNext), IsDlgButtonChecked(d, kIdAccept) == BST_CHECKED);
      commonPageProc(d, m, w, l);
      focusAwayFromText(d);
      return FALSE;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(l) == GetDlgItem(d, kIdEdit)) return readOnlyEditColour(w);
      break;
    case WM_COMMAND:
      if (LOWORD(w) == kIdAccept)
        EnableWindow(GetDlgItem(d, kIdNext), IsDlgButtonChecked(d, kIdAccept) == BST_CHECKED);
      break;
  }
  return commonPageProc(d, m, w, l);
}

std::string userInfoDefault(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\MS Setup (ACME)\\User Info", 0, KEY_READ, &key))
    return {};
  char value[101] = "";
  DWORD size = sizeof value - 1, type = 0;
  bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ;
  RegCloseKey(key);
  return ok ? std::string(value) : std::string();
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
      SetDlgItemTextA(d, kIdEdit, s.pageUserName.c_str());
      SetDlgItemTextA(d, kIdSecond, s.pageCompany.c_str());
      break;
    case WM_COMMAND:
      if ((LOWORD(w) == kIdEdit || LOWORD(w) == kIdSecond) && HIWORD(w) == EN_CHANGE)
        EnableWindow(GetDlgItem(d, kIdNext), GetWindowTextLengthA(GetDlgItem(d, kIdEdit)) > 0 &&
                                                  GetWindowTextLengthA(GetDlgItem(d, kIdSecond)) > 0);
      if (LOWORD(w) == kIdNext || LOWORD(w) == kIdBack) {
        s.pageUserName = itemText(d, kIdEdit, 100);
        s.pageCompany = itemText(d, kIdSecond, 100);
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
      SetDlgItemTextA(d, kIdEdit, s.programFolder.c_str());
      CheckDlgButton(d, kIdSecond, s.quickEntry ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(d, kIdDesktop, s.desktop ? BST_CHECKED : BST_UNCHECKED);
      if (s.shortcutOptionsHidden) {
        RECT second, label, list;
        GetWindowRect(GetDlgItem(d, kIdSecond), &second);
        GetWindowRect(GetDlgItem(d, kIdListLabel), &label);
        GetWindowRect(GetDlgItem(d, kIdList), &list);
        int up = label.top - second.top;
        ShowWindow(GetDlgItem(d, kIdSecond), SW_HIDE);
        ShowWindow(GetDlgItem(d, kIdDesktop), SW_HIDE);
        for (RECT* r : {&label, &list}) MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(r), 2);
        SetWindowPos(GetDlgItem(d, kIdListLabel), nullptr, label.left, label.top - up, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // The list keeps its bottom.
        SetWindowPos(GetDlgItem(d, kIdList), nullptr, list.left, list.top - up, list.right - list.left,
                     list.bottom - list.top + up, SWP_NOZORDER);
        if (s.quickEntry) {
          ShowWindow(GetDlgItem(d, kIdLabelFolder), SW_HIDE);
          ShowWindow(GetDlgItem(d, kIdLabelLink), SW_SHOW);
          EnableWindow(GetDlgItem(d, kIdList), FALSE);
          SendDlgItemMessageA(d, kIdEdit, EM_SETREADONLY, TRUE, 0);
          SetDlgItemTextA(d, kIdEdit, firstMaskedLinkName().c_str());
        }
      }
      fillProgramFolders(GetDlgItem(d, kIdList));
      break;
    case WM_COMMAND:
      if (LOWORD(w) == kIdList && HIWORD(w) == LBN_SELCHANGE) {
        char text[MAX_PATH];
        LRESULT i = SendDlgItemMessageA(d, kIdList, LB_GETCURSEL, 0, 0);
        if (i >= 0 && SendDlgItemMessageA(d, kIdList, LB_GETTEXTLEN, i, 0) < MAX_PATH) {
          SendDlgItemMessageA(d, kIdList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
          SetDlgItemTextA(d, kIdEdit, text);
        }
      }
      if (LOWORD(w) == kIdNext) {
        s.quickEntry = IsDlgButtonChecked(d, kIdSecond) == BST_CHECKED;
        s.desktop = IsDlgButtonChecked(d, kIdDesktop) == BST_CHECKED;
        if (!(s.quickEntry && s.shortcutOptionsHidden)) s.programFolder = itemText(d, kIdEdit, 256);
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
    in.userHeading = languageString(kHeadingUser);
    in.typeHeading = languageString(kHeadingType);
    in.dirHeading = languageString(kHeadingDir);
    in.folderHeading = languageString(kHeadingFolder);
    in.quickHeading = languageString(kHeadingQuick);
    in.desktopHeading = languageString(kHeadingDesktop);
    INT tab = 8;
    SendDlgItemMessageA(d, kIdEdit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    SetDlgItemTextA(d, kIdEdit, summaryText(in).c_str());
    commonPageProc(d, m, w, l);
    focusAwayFromText(d);
    return FALSE;
  }
  if (m == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(l) == GetDlgItem(d, kIdEdit)) return readOnlyEditColour(w);
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK progressPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) SendDlgItemMessageA(d, kIdProgress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
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
      CheckDlgButton(d, kIdRestartNow, BST_CHECKED);
    } else {
      unsigned bits = (hasAssociation(kSettingReadMe) ? 1u : 0u) | (hasAssociation(kSettingProgram) ? 2u : 0u);
      s.finalChoice = (s.finalChoice & ~3u) | bits;
      for (int i = 0; i < 2; ++i) {
        if (bits & (1u << i)) CheckDlgButton(d, kIdFirstChoice + i, BST_CHECKED);
        else ShowWindow(GetDlgItem(d, kIdFirstChoice + i), SW_HIDE);
      }
      if (bits) SetDlgItemTextA(d, kIdMoreText, languageString(kFinishTextBase + static_cast<int>(bits)).c_str());
      formatWithName(d, kIdText);
      if (bits & 2) {
        formatWithName(d, kIdSecondChoice);
        if (s.finalChoice & 4) CheckDlgButton(d, kIdSecondChoice, BST_CHECKED);
        else EnableWindow(GetDlgItem(d, kIdSecondChoice), FALSE);
      }
    }
  }
  if (m == WM_COMMAND && (LOWORD(w) == 1 || LOWORD(w) == 2)) {
    if (s.step == kStepRestart) {
      if (IsDlgButtonChecked(d, kIdRestartNow) != BST_CHECKED) s.finalChoice = 0;
      else if (pageExists(kStepFinish)) writeContinuationValue();
    } else if (LOWORD(w) == 1) {
      s.finalChoice = (s.finalChoice & ~3u) | (IsDlgButtonChecked(d, kIdFirstChoice) == BST_CHECKED ? 1u : 0u) |
                      (IsDlgButtonChecked(d, kIdSecondChoice) == BST_CHECKED ? 2u : 0u);
    }
  }
  return commonPageProc(d, m, w, l);
}

INT_PTR CALLBACK maintenancePageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  RunState& s = runState();
  if (m == WM_INITDIALOG) {
    std::string offered;
    if (!readSettingString(runProfile(), kSettingInstallRemoval, offered)) {
      formatWithName(d, kIdText);
      HWND first = GetDlgItem(d, kIdFirstChoice);
      SetWindowLongA(first, GWL_STYLE, GetWindowLongA(first, GWL_STYLE) | WS_GROUP);
      ShowWindow(GetDlgItem(d, kIdSecondChoice), SW_HIDE);
      CheckDlgButton(d, kIdFirstChoice, BST_CHECKED);
    } else {
      formatWithName(d, kIdText);
      formatWithName(d, kIdSecondChoice);
      std::string update;
      if (readSettingString(runProfile(), kSettingInstallSetup, update)) {
        CheckDlgButton(d, kIdFirstChoice, BST_CHECKED);
      } else {
        CheckDlgButton(d, kIdSecondChoice, BST_CHECKED);
        ShowWindow(GetDlgItem(d, kIdFirstChoice), SW_HIDE);
      }
    }
  }
  if (m == WM_COMMAND && LOWORD(w) == 1)
    s.finalChoice = IsDlgButtonChecked(d, kIdFirstChoice) == BST_CHECKED ? 5 : 6;
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
