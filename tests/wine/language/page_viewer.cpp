// Test tool: opens a language module as data, checks every template and resource Setup relies on, or keeps one page up for a screenshot.
//
//   page_viewer.exe check MODULE LANGUAGE_NAME RESULT_FILE
//   page_viewer.exe show MODULE DIALOG_ID RESULT_FILE [SECONDS]
//
// check writes PASS/FAIL lines plus the texts of every control and string,
// and exits with the number of failures (at most 250). show centres the
// page on the screen the way Setup does, fills it with sample values, writes
// "ready LEFT TOP RIGHT BOTTOM" once it is painted and stays until WM_CLOSE
// or the seconds have run out.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "contract.h"
#include "layout_check.h"
#include "page_content.h"
#include "report.h"
#include "resource_check.h"
#include "template_reader.h"
#include "window_classes.h"

namespace {

const wchar_t kAppName[] = L"Muster Office 2000";

INT_PTR CALLBACK pageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<const PageState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return TRUE;
    case WM_MEASUREITEM: {
      // Arrives before WM_INITDIALOG; the component rows are 16 pixels.
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measure->itemHeight = 16;
      return TRUE;
    }
    case WM_DRAWITEM:
      return state && drawComponentRow(reinterpret_cast<DRAWITEMSTRUCT*>(lParam), *state);
    case WM_CTLCOLORSTATIC:
      // Setup paints its read-only text boxes in the window colour.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == 301) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      }
      return FALSE;
    case WM_CLOSE:
      PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

bool hasChildOfClass(HWND dialog, const wchar_t* className) {
  wchar_t name[64];
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (GetClassNameW(h, name, 64) && lstrcmpiW(name, className) == 0) return true;
  return false;
}

bool childClassIs(HWND dialog, int id, const wchar_t* className) {
  wchar_t name[64];
  HWND h = GetDlgItem(dialog, id);
  return h && GetClassNameW(h, name, 64) && lstrcmpiW(name, className) == 0;
}

LONG styleOf(HWND dialog, int id) { return GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE); }

bool visible(HWND dialog, int id) { return (styleOf(dialog, id) & WS_VISIBLE) != 0; }

bool enabled(HWND dialog, int id) { return (styleOf(dialog, id) & WS_DISABLED) == 0; }

void dumpTexts(HWND dialog, int dialogId, Report& report) {
  wchar_t text[1024], line[1200];
  GetWindowTextW(dialog, text, 1024);
  wsprintfW(line, L"title %d=%s", dialogId, text);
  report.line(line);
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (GetWindowTextW(h, text, 1024) <= 0) continue;
    for (wchar_t* p = text; *p; ++p)
      if (*p == L'\n' || *p == L'\r') *p = L'|';
    wsprintfW(line, L"text %d %d=%s", dialogId, GetDlgCtrlID(h), text);
    report.line(line);
  }
}

// Behaviour the pages promise in their templates.
void checkPageDetails(HWND dialog, int id, Report& report) {
  wchar_t name[128];
  switch (id) {
    case 150: {
      wchar_t cls[64];
      GetClassNameW(dialog, cls, 64);
      report.result(lstrcmpiW(cls, L"SETUP_DLG") == 0, L"dialog 150 has the class SETUP_DLG", cls);
      report.result(childClassIs(dialog, 1500, L"msctls_progress32"), L"dialog 150 control 1500 is a progress bar");
      break;
    }
    case 202:
      report.result(!enabled(dialog, 1), L"dialog 202 Next waits for the licence");
      report.result((styleOf(dialog, 25) & BS_TYPEMASK) == BS_AUTOCHECKBOX, L"dialog 202 control 25 is a check box");
      [[fallthrough]];
    case 203:
    case 209:
      wsprintfW(name, L"dialog %d control 301 is a read-only text box", id);
      report.result(childClassIs(dialog, 301, L"Edit") &&
                        (styleOf(dialog, 301) & (ES_READONLY | ES_MULTILINE)) == (ES_READONLY | ES_MULTILINE),
                    name);
      break;
    case 206:
      for (int b = 501; b <= 504; ++b) {
        wsprintfW(name, L"dialog 206 control %d is an option button", b);
        report.result((styleOf(dialog, b) & BS_TYPEMASK) == BS_AUTORADIOBUTTON, name);
      }
      {
        // The buttons uncheck each other only inside one group.
        HWND first = GetDlgItem(dialog, 501);
        int found = 0;
        HWND h = first;
        for (int i = 0; i < 32; ++i) {
          h = GetNextDlgGroupItem(dialog, h, FALSE);
          if (!h || h == first) break;
          int hid = GetDlgCtrlID(h);
          if (hid >= 502 && hid <= 504) ++found;
        }
        report.result(found == 3, L"dialog 206 option buttons form one group");
      }
      break;
    case 207: {
      report.result(childClassIs(dialog, 401, L"ZETU_LISTBOX"), L"dialog 207 list 401 has the class ZETU_LISTBOX");
      report.result((styleOf(dialog, 401) & LBS_OWNERDRAWFIXED) != 0, L"dialog 207 list 401 is owner-drawn");
      report.result(!visible(dialog, 13), L"dialog 207 Ok (13) starts hidden");
      wchar_t title[128];
      int n = GetWindowTextW(dialog, title, 128);
      report.result(n > 0 && title[n - 1] == L' ', L"dialog 207 title ends with a blank", title);
      break;
    }
    case 208:
      report.result(visible(dialog, 30) && !visible(dialog, 31), L"dialog 208 shows label 30, not 31");
      break;
    case 210:
      report.result(childClassIs(dialog, 1500, L"msctls_progress32"), L"dialog 210 control 1500 is a progress bar");
      report.result(!visible(dialog, 1400) && visible(dialog, 1425) && !visible(dialog, 1450),
                    L"dialog 210 starts with the check pass text");
      report.result(!enabled(dialog, 1) && !enabled(dialog, 12), L"dialog 210 Back and Next are off");
      break;
    case 215:
      report.result(childClassIs(dialog, 1500, L"msctls_progress32"), L"dialog 215 control 1500 is a progress bar");
      report.result(!enabled(dialog, 1), L"dialog 215 OK starts disabled");
      report.result(!visible(dialog, 701) && !visible(dialog, 702), L"dialog 215 result texts start hidden");
      break;
  }
}

void checkTemplateFont(int id, const TemplateInfo& info, Report& report) {
  wchar_t name[128], detail[128];
  const wchar_t* want = id == 150 ? L"Helv" : L"MS Shell Dlg";
  wsprintfW(name, L"dialog %d uses %s 8 pt", id, want);
  wsprintfW(detail, L"%s %d pt", info.font, info.pointSize);
  report.result(info.pointSize == 8 && lstrcmpW(info.font, want) == 0, name, detail);
}

// The dispatcher's box is fixed to the unit: size, class and where the text,
// the icon and the bar sit.
void checkPrepareBox(const TemplateInfo& info, Report& report) {
  wchar_t detail[128];
  wsprintfW(detail, L"%dx%d", info.cx, info.cy);
  report.result(info.cx == 198 && info.cy == 62, L"dialog 150 is 198 x 62 units", detail);
  report.result(lstrcmpW(info.className, L"SETUP_DLG") == 0, L"dialog 150 names the class SETUP_DLG",
                info.className);
  report.result((info.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU)) == (WS_POPUP | WS_CAPTION | WS_SYSMENU),
                L"dialog 150 is a popup with caption and system menu");
  bool text = false, icon = false, bar = false;
  for (int i = 0; i < info.itemCount; ++i) {
    const TemplateItem& t = info.items[i];
    if (t.id == 701 && t.x == 38 && t.y == 11 && t.cx == 156 && t.cy == 28 && (t.style & SS_NOPREFIX)) text = true;
    if ((t.style & SS_TYPEMASK) == SS_ICON && t.x == 8 && t.y == 12 && t.cx == 18 && t.cy == 20) icon = true;
    if (t.id == 1500 && t.x == 5 && t.y == 44 && t.cx == 189 && t.cy == 11) bar = true;
  }
  report.result(text, L"dialog 150 text 701 at (38, 11, 156 x 28) without prefixes");
  report.result(icon, L"dialog 150 icon at (8, 12, 18 x 20)");
  report.result(bar, L"dialog 150 progress bar 1500 at (5, 44, 189 x 11)");
}

int runCheck(HMODULE module, const wchar_t* languageName, Report& report) {
  checkStrings(module, languageName, report);
  checkPictures(module, report);
  PageState state = {module, 0, kAppName, nullptr, nullptr};
  SIZE pageSize = {0, 0};
  wchar_t name[128], detail[128];
  for (const DialogContract& d : contract::kDialogs) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(d.id), RT_DIALOG);
    wsprintfW(name, L"dialog %d present", d.id);
    report.result(found != nullptr, name, L"no template");
    if (!found) continue;
    // The builder's preview rewrites the style at the start of the template.
    auto* head = static_cast<const DWORD*>(LockResource(LoadResource(module, found)));
    wsprintfW(name, L"dialog %d is a classic template", d.id);
    report.result(head && *head != 0xFFFF0001, name, L"extended template");
    TemplateInfo info;
    DWORD size = SizeofResource(module, found);
    if (head && readTemplate(reinterpret_cast<const BYTE*>(head), size, &info)) {
      checkTemplateFont(d.id, info, report);
      if (d.id == 150) checkPrepareBox(info, report);
    } else {
      wsprintfW(name, L"dialog %d template reads", d.id);
      report.result(false, name, L"bad template");
    }
    state.dialogId = d.id;
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(d.id), nullptr, pageProc,
                                     reinterpret_cast<LPARAM>(&state));
    wsprintfW(name, L"dialog %d created", d.id);
    wsprintfW(detail, L"error %lu", GetLastError());
    report.result(dialog != nullptr, name, detail);
    if (!dialog) continue;
    for (const int* c = d.controls; *c; ++c) {
      wsprintfW(name, L"dialog %d control %d present", d.id, *c);
      report.result(GetDlgItem(dialog, *c) != nullptr, name);
    }
    if (d.wizardPage) {
      const int common[] = {1, d.cancelId, 12, 1200};
      for (int c : common) {
        wsprintfW(name, L"dialog %d control %d present", d.id, c);
        report.result(GetDlgItem(dialog, c) != nullptr, name);
      }
      wsprintfW(name, L"dialog %d has a BEVEL separator", d.id);
      report.result(hasChildOfClass(dialog, L"BEVEL"), name);
      if (d.id != 200 && d.id != 211) {
        // The template names bitmap 100; a wrong name leaves the control empty.
        wsprintfW(name, L"dialog %d shows the side picture", d.id);
        report.result(SendDlgItemMessageW(dialog, 1200, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0, name);
      }
      RECT rc;
      GetWindowRect(dialog, &rc);
      SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
      if (d.id == 201) pageSize = size;
      if (d.id > 201 && d.id != 211) {
        wsprintfW(name, L"dialog %d has the size of the other pages", d.id);
        wsprintfW(detail, L"%dx%d against %dx%d", size.cx, size.cy, pageSize.cx, pageSize.cy);
        report.result(size.cx == pageSize.cx && size.cy == pageSize.cy, name, detail);
      }
    }
    checkPageDetails(dialog, d.id, report);
    dumpTexts(dialog, d.id, report);
    formatLikeSetup(dialog, state);
    fillSampleContent(dialog, state);
    checkLayout(dialog, d.id, report);
    DestroyWindow(dialog);
  }
  return report.failures();
}

int runShow(HMODULE module, int dialogId, int seconds, Report& report) {
  PageState state = {module, dialogId, kAppName, nullptr, nullptr};
  state.stateCells = static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  state.mark = static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(102), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(dialogId), nullptr, pageProc,
                                   reinterpret_cast<LPARAM>(&state));
  if (!dialog) {
    report.result(false, L"page created", L"CreateDialogParam failed");
    return 1;
  }
  formatLikeSetup(dialog, state);
  fillSampleContent(dialog, state);
  RECT rc;
  GetWindowRect(dialog, &rc);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int x = GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2;
  SetWindowPos(dialog, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(dialog);
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  wchar_t line[128];
  wsprintfW(line, L"ready %d %d %d %d", x, y, x + w, y + h);
  report.line(line);
  SetTimer(nullptr, 0, seconds * 1000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && !msg.hwnd) break;
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  DestroyWindow(dialog);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 5) return 255;
  Report report(argv[4]);
  if (!report.open()) return 254;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  report.result(registerTemplateClasses(instance), L"window classes registered");
  HMODULE module = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  report.result(module != nullptr, L"module loads as a data file", argv[2]);
  if (!module) return 253;
  // Setup's resource DLL is loaded as a library, entry point and all.
  HMODULE library = LoadLibraryW(argv[2]);
  report.result(library != nullptr, L"module loads as a library", argv[2]);
  if (library) FreeLibrary(library);
  int failures;
  if (lstrcmpW(argv[1], L"check") == 0) {
    failures = runCheck(module, argv[3], report);
  } else {
    int seconds = argc > 5 ? _wtoi(argv[5]) : 600;
    failures = runShow(module, _wtoi(argv[3]), seconds > 0 ? seconds : 600, report);
  }
  FreeLibrary(module);
  return failures > 250 ? 250 : failures;
}
