// driver_target: a two-page ANSI test wizard that records what the UI driver did to it, for the driver's own Wine test.
//
//   driver_target OUTFILE
//
// Page 1 holds the field kinds of the setup pages and a button whose
// handler stays busy for a while; Next records them,
// shows page 2 and asks a Yes/No question in a "Setup" message box from
// inside the click's handler, as the runtime does. On its end (Finish,
// Cancel or WM_CLOSE) it writes OUTFILE in code page 1252, one key=value a
// line, so the test sees exactly the bytes the program received.
#include <windows.h>
#include <stdlib.h>

#include "target_ids.h"

namespace {

constexpr int kTextMax = 512;
constexpr DWORD kSlowMs = 4500;

// What both pages learn; one record for the whole run, written at its end.
struct Record {
  char destination[kTextMax];
  char notes[kTextMax];
  char lastChange[kTextMax];  // the destination as EN_CHANGE saw it
  int destinationChanges;
  int notesChanges;
  int checks[3];  // 25, 302, 303 at Next
  int option;     // 501-503, 0 for none
  int listAtNext;
  int sizesAtNext;
  int listChanges;
  int lastListChange;
  int backClicks;
  int slowClicks;
  const char* answer;
  const char* end;
};

Record g_record = {};
HWND g_first = nullptr;
HWND g_second = nullptr;

const unsigned kSizes[] = {17, 250, 4096, 4294967295u};

void append(char* out, int& used, int capacity, const char* text) {
  while (*text && used < capacity - 1) out[used++] = *text++;
  out[used] = 0;
}

void appendNumber(char* out, int& used, int capacity, const char* key, long value) {
  char line[64];
  wsprintfA(line, "%s=%ld\n", key, value);
  append(out, used, capacity, line);
}

void appendText(char* out, int& used, int capacity, const char* key, const char* value) {
  append(out, used, capacity, key);
  append(out, used, capacity, "=");
  append(out, used, capacity, value);
  append(out, used, capacity, "\n");
}

void writeRecord(const char* path) {
  static char out[8192];
  int used = 0;
  const int cap = sizeof out;
  appendText(out, used, cap, "destination", g_record.destination);
  appendText(out, used, cap, "notes", g_record.notes);
  appendText(out, used, cap, "last_change", g_record.lastChange);
  appendNumber(out, used, cap, "destination_changes", g_record.destinationChanges);
  appendNumber(out, used, cap, "notes_changes", g_record.notesChanges);
  appendNumber(out, used, cap, "check25", g_record.checks[0]);
  appendNumber(out, used, cap, "check302", g_record.checks[1]);
  appendNumber(out, used, cap, "check303", g_record.checks[2]);
  appendNumber(out, used, cap, "option", g_record.option);
  appendNumber(out, used, cap, "list", g_record.listAtNext);
  appendNumber(out, used, cap, "sizes", g_record.sizesAtNext);
  appendNumber(out, used, cap, "list_changes", g_record.listChanges);
  appendNumber(out, used, cap, "last_list_change", g_record.lastListChange);
  appendNumber(out, used, cap, "back_clicks", g_record.backClicks);
  appendNumber(out, used, cap, "slow_clicks", g_record.slowClicks);
  appendText(out, used, cap, "answer", g_record.answer ? g_record.answer : "none");
  appendText(out, used, cap, "end", g_record.end ? g_record.end : "none");
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  WriteFile(file, out, static_cast<DWORD>(used), &done, nullptr);
  CloseHandle(file);
}

void finish(const char* how) {
  if (!g_record.end) g_record.end = how;
  PostQuitMessage(0);
}

void initFirst(HWND page) {
  CheckDlgButton(page, IDC_COMPANY, BST_CHECKED);
  CheckDlgButton(page, IDC_DESKTOP, BST_INDETERMINATE);
  CheckRadioButton(page, IDC_TYPE1, IDC_TYPE3, IDC_TYPE1);
  SetDlgItemTextA(page, IDC_LICENCE, "Nur zum Pr\xFC" "fen.");
  static const char* const items[] = {"Hauptprogramm", "Hilfedateien", "Beispiele f\xFCr \xDC" "bungen"};
  for (const char* item : items) SendDlgItemMessageA(page, IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  // Without LBS_HASSTRINGS the "string" of an owner-drawn item is its data.
  for (unsigned size : kSizes) SendDlgItemMessageA(page, IDC_SIZES, LB_ADDSTRING, 0, static_cast<LPARAM>(size));
}

void drawSize(const DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  bool selected = item->itemState & ODS_SELECTED;
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  char text[48];
  wsprintfA(text, "Gr\xF6\xDF" "e %lu KB", static_cast<unsigned long>(item->itemData));
  RECT r = item->rcItem;
  r.left += 2;
  DrawTextA(item->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

INT_PTR CALLBACK secondPage(HWND page, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: {
      char intro[kTextMax + 64];
      wsprintfA(intro, "Die \xDC" "bung wird nach %s kopiert.", g_record.destination);
      SetDlgItemTextA(page, IDC_INTRO, intro);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDC_NEXT) finish("finish");
      if (LOWORD(wp) == IDC_CANCEL) finish("cancel");
      return TRUE;
    case WM_CLOSE:
      finish("close");
      return TRUE;
  }
  return FALSE;
}

void onNext(HWND page) {
  GetDlgItemTextA(page, IDC_DESTINATION, g_record.destination, kTextMax);
  GetDlgItemTextA(page, IDC_NOTES, g_record.notes, kTextMax);
  g_record.checks[0] = IsDlgButtonChecked(page, IDC_ACCEPT);
  g_record.checks[1] = IsDlgButtonChecked(page, IDC_COMPANY);
  g_record.checks[2] = IsDlgButtonChecked(page, IDC_DESKTOP);
  for (int id = IDC_TYPE1; id <= IDC_TYPE3; ++id)
    if (IsDlgButtonChecked(page, id) == BST_CHECKED) g_record.option = id;
  g_record.listAtNext = static_cast<int>(SendDlgItemMessageA(page, IDC_LIST, LB_GETCURSEL, 0, 0));
  g_record.sizesAtNext = static_cast<int>(SendDlgItemMessageA(page, IDC_SIZES, LB_GETCURSEL, 0, 0));

  g_second = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(DLG_TARGET_SECOND), nullptr,
                                secondPage, 0);
  ShowWindow(g_second, SW_SHOW);
  ShowWindow(page, SW_HIDE);
  // Asked inside the click's handler, so the click that got here does not
  // return until the box is answered.
  int answer = MessageBoxA(g_second, "M\xF6" "chten Sie die \xDC" "bung jetzt starten?", "Setup",
                           MB_YESNO | MB_ICONQUESTION);
  g_record.answer = answer == IDYES ? "yes" : answer == IDNO ? "no" : "other";
  SetDlgItemTextA(g_second, IDC_ANSWER, answer == IDYES ? "Antwort: Ja" : "Antwort: Nein");
}

INT_PTR CALLBACK firstPage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      initFirst(page);
      return TRUE;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 14;
      return TRUE;
    case WM_DRAWITEM:
      if (wp == IDC_SIZES) drawSize(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND: {
      WORD id = LOWORD(wp), code = HIWORD(wp);
      if (id == IDC_DESTINATION && code == EN_CHANGE) {
        ++g_record.destinationChanges;
        GetDlgItemTextA(page, IDC_DESTINATION, g_record.lastChange, kTextMax);
      } else if (id == IDC_NOTES && code == EN_CHANGE) {
        ++g_record.notesChanges;
      } else if (id == IDC_LIST && code == LBN_SELCHANGE) {
        ++g_record.listChanges;
        g_record.lastListChange = static_cast<int>(SendDlgItemMessageA(page, IDC_LIST, LB_GETCURSEL, 0, 0));
      } else if (id == IDC_BACK) {
        ++g_record.backClicks;
      } else if (id == IDC_SLOW && code == BN_CLICKED) {
        // Busy without pumping messages, like a long step that forgets to.
        ++g_record.slowClicks;
        Sleep(kSlowMs);
      } else if (id == IDC_NEXT && code == BN_CLICKED) {
        onNext(page);
      } else if (id == IDC_CANCEL && code == BN_CLICKED) {
        finish("cancel");
      }
      return TRUE;
    }
    case WM_CLOSE:
      finish("close");
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  g_record.lastListChange = -1;
  g_first = CreateDialogParamA(instance, MAKEINTRESOURCEA(DLG_TARGET_FIRST), nullptr, firstPage, 0);
  if (!g_first) return 3;
  ShowWindow(g_first, SW_SHOW);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (g_second && IsDialogMessageA(g_second, &m)) continue;
    if (IsDialogMessageA(g_first, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  writeRecord(__argv[1]);
  return 0;
}
