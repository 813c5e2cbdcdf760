// uidriver: one user action on another program's windows per run, for the Wine tests that walk the setup wizard.
//
//   uidriver COMMAND ARGS... [--class C] [--title T] [--wait SECONDS]
//
// Every command looks for its window for a limited time (--wait, or the
// SECONDS argument of wait, text and box; 10 s when not given) and ends
// with one of the codes in control_access.h; a failure is explained in one
// line on stderr. See README.md.
#include <windows.h>

#include "console_out.h"
#include "control_access.h"
#include "window_search.h"

namespace {

constexpr DWORD kDefaultWaitMs = 10000;
// How long a click waits for its handler before it leaves it running.
constexpr DWORD kClickSettleMs = 3000;

struct Args {
  const wchar_t* command = nullptr;
  const wchar_t* positional[4] = {};
  int count = 0;
  WindowFilter filter;
  DWORD waitMs = kDefaultWaitMs;
};

const wchar_t kUsage[] =
    L"usage: uidriver COMMAND ARGS... [--class C] [--title T] [--wait SECONDS]\n"
    L"  wait ID [S]     text ID [S]      settext ID TEXT   click ID\n"
    L"  check ID        uncheck ID       state ID          enabled ID   visible ID\n"
    L"  select ID N     items ID         box [S]           answer ID    windows\n"
    L"  absent ID [S]";

bool parseNumber(const wchar_t* text, long& value) {
  if (!text || !*text) return false;
  bool negative = *text == L'-';
  if (negative) ++text;
  long v = 0;
  int base = 10;
  if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    base = 16;
    text += 2;
    if (!*text) return false;
  }
  for (; *text; ++text) {
    int digit;
    if (*text >= L'0' && *text <= L'9') digit = *text - L'0';
    else if (base == 16 && *text >= L'a' && *text <= L'f') digit = *text - L'a' + 10;
    else if (base == 16 && *text >= L'A' && *text <= L'F') digit = *text - L'A' + 10;
    else return false;
    if (v > 0x7FFFFFF) return false;
    v = v * base + digit;
  }
  value = negative ? -v : v;
  return true;
}

bool parseSeconds(const wchar_t* text, DWORD& ms) {
  long seconds = 0;
  if (!parseNumber(text, seconds) || seconds < 0 || seconds > 3600) return false;
  ms = static_cast<DWORD>(seconds) * 1000;
  return true;
}

int usage(const wchar_t* why) {
  printErr(L"uidriver: %s", why);
  writeErrLine(kUsage);
  return kExitUsage;
}

// The control of a command, looked for until the wait is over.
int locate(const Args& args, const wchar_t* idText, FoundControl& found) {
  long id = 0;
  if (!parseNumber(idText, id)) {
    printErr(L"uidriver: %s: '%s' is not a control id", args.command, idText ? idText : L"");
    return kExitUsage;
  }
  if (!waitForControl(static_cast<int>(id), args.filter, args.waitMs, found)) {
    bool filtered = args.filter.className || args.filter.title;
    printErr(L"uidriver: %s %s: no visible window%s holds a control %ld (waited %lu s)", args.command, idText,
             filtered ? L" of that class and title" : L"", id, args.waitMs / 1000);
    return kExitNotFound;
  }
  return kExitOk;
}

void printWindowLine(HWND top) {
  wchar_t cls[128] = L"";
  wchar_t title[512] = L"";
  GetClassNameW(top, cls, 128);
  InternalGetWindowText(top, title, 512);
  printOut(L"0x%lx\t%s\t%s", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(top)), cls, title);
}

int refuse(const Args& args, const wchar_t* idText, const wchar_t* why) {
  printErr(L"uidriver: %s %s: the control %s", args.command, idText, why);
  return kExitRefused;
}

int cmdWait(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  printWindowLine(found.top);
  return kExitOk;
}

int cmdText(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  wchar_t* text = controlText(found.control);
  if (!text) {
    printErr(L"uidriver: text %s: the program does not answer WM_GETTEXT", args.positional[0]);
    return kExitFailed;
  }
  writeOutLine(text);
  freeText(text);
  return kExitOk;
}

bool isEdit(HWND control) {
  wchar_t cls[64] = L"";
  GetClassNameW(control, cls, 64);
  CharLowerW(cls);
  for (wchar_t* p = cls; *p; ++p)
    if (p[0] == L'e' && p[1] == L'd' && p[2] == L'i' && p[3] == L't') return true;
  return false;
}

int cmdSetText(const Args& args) {
  if (args.count != 2) return usage(L"settext needs ID and TEXT");
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  const wchar_t* idText = args.positional[0];
  if (!isEdit(found.control)) return refuse(args, idText, L"is not an edit field");
  if (const wchar_t* why = whyNotUsable(found.control, found.top)) return refuse(args, idText, why);
  LONG style = GetWindowLongW(found.control, GWL_STYLE);
  if (style & ES_READONLY) return refuse(args, idText, L"is read-only");
  const wchar_t* wanted = args.positional[1];
  if (!sendWithLimit(found.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wanted), nullptr)) {
    printErr(L"uidriver: settext %s: the program does not answer WM_SETTEXT", idText);
    return kExitFailed;
  }
  // A single-line edit tells its parent EN_CHANGE on WM_SETTEXT itself; a
  // multi-line one does not, though typing into it would. Sending it to
  // both would give the page two changes for one.
  if (style & ES_MULTILINE) notifyParent(found.control, EN_CHANGE);
  wchar_t* now = controlText(found.control);
  bool same = now && lstrcmpW(now, wanted) == 0;
  if (!same) {
    printErr(L"uidriver: settext %s: the field holds other text afterwards (a length limit?)", idText);
    if (now) writeErrLine(now);
  }
  freeText(now);
  return same ? kExitOk : kExitFailed;
}

int clickFound(const Args& args, const FoundControl& found, const wchar_t* idText) {
  ClickResult result = clickButton(found.control, found.top, kClickSettleMs);
  if (result == ClickResult::kLost) {
    printErr(L"uidriver: %s %s: the click could not be delivered (the window went away?)", args.command,
             idText);
    return kExitFailed;
  }
  if (result == ClickResult::kStillRunning) {
    printErr(L"uidriver: %s %s: note: its handler is still running after %lu s", args.command, idText,
             kClickSettleMs / 1000);
  }
  return kExitOk;
}

int cmdClick(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  const wchar_t* idText = args.positional[0];
  if (!isClickable(found.control)) return refuse(args, idText, L"is not a button");
  if (const wchar_t* why = whyNotUsable(found.control, found.top)) return refuse(args, idText, why);
  return clickFound(args, found, idText);
}

// Clicks as a user does until the box shows the state; a three-state box
// needs up to two clicks, a box whose page refuses the change never gets
// there.
int cmdSetCheck(const Args& args, bool wantChecked) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  const wchar_t* idText = args.positional[0];
  if (!isCheckable(found.control)) return refuse(args, idText, L"is neither a check box nor an option button");
  if (!wantChecked && isRadio(found.control))
    return refuse(args, idText, L"is an option button: a user clears it by choosing another");
  if (const wchar_t* why = whyNotUsable(found.control, found.top)) return refuse(args, idText, why);
  int want = wantChecked ? BST_CHECKED : BST_UNCHECKED;
  for (int clicks = 0; clicks < 3; ++clicks) {
    int state = checkState(found.control);
    if (state == want) return kExitOk;
    if (state < 0) break;
    ClickResult result = clickButton(found.control, found.top, kClickSettleMs);
    if (result == ClickResult::kLost || result == ClickResult::kStillRunning) break;
  }
  if (checkState(found.control) == want) return kExitOk;
  printErr(L"uidriver: %s %s: the control does not take that state", args.command, idText);
  return kExitFailed;
}

int cmdState(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  int state = checkState(found.control);
  const wchar_t* check = state == BST_CHECKED         ? L"checked"
                         : state == BST_INDETERMINATE ? L"indeterminate"
                         : state == BST_UNCHECKED     ? L"unchecked"
                                                      : L"none";
  printOut(L"%s %s %s", check, IsWindowEnabled(found.control) ? L"enabled" : L"disabled",
           IsWindowVisible(found.control) ? L"visible" : L"hidden");
  return kExitOk;
}

// The answer is printed as well as given as the exit code, so that a "no"
// (exit 1) never reads like a control that was not there (exit 3).
int cmdEnabled(const Args& args, bool visibility) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  bool yes = visibility ? IsWindowVisible(found.control) : IsWindowEnabled(found.control);
  printOut(L"%s", visibility ? (yes ? L"visible" : L"hidden") : (yes ? L"enabled" : L"disabled"));
  return yes ? kExitOk : kExitNo;
}

// The control's place on the screen, so that a test can point the mouse
// at it (a drag, a right click).
int cmdPlace(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  RECT r;
  if (!GetWindowRect(found.control, &r)) return kExitFailed;
  printOut(L"%ld %ld %ld %ld", static_cast<long>(r.left), static_cast<long>(r.top), static_cast<long>(r.right),
           static_cast<long>(r.bottom));
  return kExitOk;
}

// Waits until no visible window holds the control (a page that went, a
// box that closed): exit 0 "absent", or exit 1 "present" when it is still
// there at the end of the wait.
int cmdAbsent(const Args& args) {
  long id = 0;
  if (!parseNumber(args.positional[0], id)) return usage(L"absent needs a control id");
  DWORD start = GetTickCount();
  FoundControl found;
  for (;;) {
    if (!findControl(static_cast<int>(id), args.filter, found)) {
      printOut(L"absent");
      return kExitOk;
    }
    if (GetTickCount() - start >= args.waitMs) break;
    Sleep(100);
  }
  printOut(L"present");
  printErr(L"uidriver: absent %s: a visible window still holds the control (waited %lu s)", args.positional[0],
           args.waitMs / 1000);
  return kExitNo;
}

// A list box, or the setup's component list, a superclass of LISTBOX
// (Wine does not name the base class of another process's superclass).
bool isListBox(HWND control) {
  if (classIs(control, L"ListBox") || classIs(control, L"ZETU_LISTBOX")) return true;
  wchar_t base[64];
  return RealGetWindowClassW(control, base, 64) > 0 && lstrcmpiW(base, L"ListBox") == 0;
}

int cmdSelect(const Args& args) {
  if (args.count != 2) return usage(L"select needs ID and INDEX");
  long index = 0;
  if (!parseNumber(args.positional[1], index)) return usage(L"select: INDEX is not a number");
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  const wchar_t* idText = args.positional[0];
  if (classIs(found.control, L"ComboBox")) {
    // A drop-down list: the choice a user makes with the mouse or arrows.
    if (const wchar_t* why = whyNotUsable(found.control, found.top)) return refuse(args, idText, why);
    DWORD_PTR items = 0;
    if (!sendWithLimit(found.control, CB_GETCOUNT, 0, 0, &items)) return kExitFailed;
    if (index < 0 || static_cast<DWORD_PTR>(index) >= items) {
      printErr(L"uidriver: select %s: no item %ld, the list has %lu", idText, index, static_cast<unsigned long>(items));
      return kExitRefused;
    }
    sendWithLimit(found.control, CB_SETCURSEL, static_cast<WPARAM>(index), 0, nullptr);
    notifyParent(found.control, CBN_SELCHANGE);
    return kExitOk;
  }
  if (!isListBox(found.control)) return refuse(args, idText, L"is not a list box");
  if (const wchar_t* why = whyNotUsable(found.control, found.top)) return refuse(args, idText, why);
  LONG style = GetWindowLongW(found.control, GWL_STYLE);
  if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
    return refuse(args, idText, L"allows several selected items; select sets one current item only");
  DWORD_PTR count = 0;
  if (!sendWithLimit(found.control, LB_GETCOUNT, 0, 0, &count)) return kExitFailed;
  if (index < 0 || static_cast<DWORD_PTR>(index) >= count) {
    printErr(L"uidriver: select %s: no item %ld, the list has %lu", idText, index, static_cast<unsigned long>(count));
    return kExitRefused;
  }
  sendWithLimit(found.control, LB_SETCURSEL, static_cast<WPARAM>(index), 0, nullptr);
  DWORD_PTR current = static_cast<DWORD_PTR>(-1);
  sendWithLimit(found.control, LB_GETCURSEL, 0, 0, &current);
  if (current != static_cast<DWORD_PTR>(index)) {
    printErr(L"uidriver: select %s: item %ld is not selected afterwards", idText, index);
    return kExitFailed;
  }
  // A list tells its parent about a user's choice only with LBS_NOTIFY; a
  // page that never hears of clicks must not hear of this one either.
  if (style & LBS_NOTIFY) notifyParent(found.control, LBN_SELCHANGE);
  return kExitOk;
}

// A key pressed while the control has the focus: WM_KEYDOWN and WM_KEYUP
// with the virtual key (a check list's space bar, a list's arrows).
int cmdKey(const Args& args) {
  if (args.count != 2) return usage(L"key needs ID and VIRTUAL-KEY");
  long key = 0;
  if (!parseNumber(args.positional[1], key) || key <= 0 || key > 0xFE) return usage(L"key: VIRTUAL-KEY is not a key");
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  if (const wchar_t* why = whyNotUsable(found.control, found.top)) return refuse(args, args.positional[0], why);
  PostMessageW(found.control, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
  PostMessageW(found.control, WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(0xC0000001u));
  return kExitOk;
}

// Where a control is: its screen rectangle, then that of the window that
// holds it (x y width height, one a line), for cutting screenshots.
int cmdRect(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  HWND holder = GetParent(found.control);
  HWND both[2] = {found.control, holder ? holder : found.control};
  for (HWND h : both) {
    RECT r;
    GetWindowRect(h, &r);
    printOut(L"%ld %ld %ld %ld", static_cast<long>(r.left), static_cast<long>(r.top),
             static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
  }
  return kExitOk;
}

int cmdItems(const Args& args) {
  FoundControl found;
  int rc = locate(args, args.positional[0], found);
  if (rc != kExitOk) return rc;
  // A drop-down list's items are read the same way with its own messages.
  bool combo = classIs(found.control, L"ComboBox");
  if (!combo && !isListBox(found.control)) return refuse(args, args.positional[0], L"is not a list box");
  UINT getCount = combo ? CB_GETCOUNT : LB_GETCOUNT, getLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
  LONG style = GetWindowLongW(found.control, GWL_STYLE);
  bool strings = combo || !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
  DWORD_PTR count = 0;
  if (!sendWithLimit(found.control, getCount, 0, 0, &count)) return kExitFailed;
  for (DWORD_PTR i = 0; i < count; ++i) {
    if (!strings) {
      // An owner-drawn list without strings keeps only each item's data.
      DWORD_PTR data = 0;
      if (!sendWithLimit(found.control, LB_GETITEMDATA, i, 0, &data)) return kExitFailed;
      printOut(L"%lu", static_cast<unsigned long>(data));
      continue;
    }
    DWORD_PTR length = 0;
    if (!sendWithLimit(found.control, getLength, i, 0, &length) || length == static_cast<DWORD_PTR>(LB_ERR))
      return kExitFailed;
    SIZE_T size = (length + 2) * sizeof(wchar_t);
    wchar_t* text = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (!text) return kExitFailed;
    DWORD_PTR copied = 0;
    bool ok = sendWithLimit(found.control, getText, i, reinterpret_cast<LPARAM>(text), &copied);
    if (ok && copied != static_cast<DWORD_PTR>(LB_ERR)) writeOutLine(text);
    HeapFree(GetProcessHeap(), 0, text);
    if (!ok) return kExitFailed;
  }
  return kExitOk;
}

int cmdBox(const Args& args) {
  HWND box = waitForMessageBox(args.waitMs);
  if (!box) {
    printErr(L"uidriver: box: no message box came up (waited %lu s)", args.waitMs / 1000);
    return kExitNotFound;
  }
  wchar_t caption[512] = L"";
  InternalGetWindowText(box, caption, 512);
  writeOutLine(caption);
  wchar_t* text = controlText(messageBoxText(box));
  if (!text) {
    printErr(L"uidriver: box: its text cannot be read");
    return kExitFailed;
  }
  writeOutLine(text);
  freeText(text);
  return kExitOk;
}

int cmdAnswer(const Args& args) {
  long id = 0;
  if (!parseNumber(args.positional[0], id)) return usage(L"answer needs a button id");
  HWND box = waitForMessageBox(args.waitMs);
  if (!box) {
    printErr(L"uidriver: answer: no message box came up (waited %lu s)", args.waitMs / 1000);
    return kExitNotFound;
  }
  FoundControl found{box, GetDlgItem(box, static_cast<int>(id))};
  if (!found.control || !isClickable(found.control))
    return refuse(args, args.positional[0], L"is not a button of the message box");
  if (const wchar_t* why = whyNotUsable(found.control, box)) return refuse(args, args.positional[0], why);
  return clickFound(args, found, args.positional[0]);
}

BOOL CALLBACK listControl(HWND hwnd, LPARAM) {
  wchar_t cls[128] = L"";
  GetClassNameW(hwnd, cls, 128);
  wchar_t* text = controlText(hwnd);
  if (text && lstrlenW(text) > 60) lstrcpyW(text + 57, L"...");
  printOut(L"  %u\t%s\t%s%s\t%s", static_cast<unsigned>(GetDlgCtrlID(hwnd)) & 0xFFFF, cls,
           IsWindowVisible(hwnd) ? L"visible" : L"hidden", IsWindowEnabled(hwnd) ? L"" : L",disabled",
           text ? text : L"");
  freeText(text);
  return TRUE;
}

int cmdWindows() {
  HWND tops[256];
  int n = rankedTopWindows(tops, 256);
  HWND foreground = GetForegroundWindow();
  for (int i = 0; i < n; ++i) {
    if (tops[i] == foreground) writeOut(L"(foreground) ");
    printWindowLine(tops[i]);
    EnumChildWindows(tops[i], listControl, 0);
  }
  return kExitOk;
}

int run(Args& args) {
  const wchar_t* c = args.command;
  auto needs = [&](int n) { return args.count >= n; };
  auto is = [&](const wchar_t* name) { return lstrcmpW(c, name) == 0; };
  // wait, text and box take their time limit as a plain argument too.
  int secondsAt = is(L"wait") || is(L"text") || is(L"absent") ? 1 : is(L"box") ? 0 : -1;
  if (secondsAt >= 0 && args.count > secondsAt) {
    if (!parseSeconds(args.positional[secondsAt], args.waitMs)) return usage(L"SECONDS is not a number of seconds");
    args.count = secondsAt;
  }
  if (is(L"windows")) return cmdWindows();
  if (is(L"box")) return cmdBox(args);
  if (!needs(1)) return usage(L"the command needs a control id");
  if (is(L"wait")) return cmdWait(args);
  if (is(L"text")) return cmdText(args);
  if (is(L"settext")) return cmdSetText(args);
  if (is(L"click")) return cmdClick(args);
  if (is(L"check")) return cmdSetCheck(args, true);
  if (is(L"uncheck")) return cmdSetCheck(args, false);
  if (is(L"state")) return cmdState(args);
  if (is(L"enabled")) return cmdEnabled(args, false);
  if (is(L"visible")) return cmdEnabled(args, true);
  if (is(L"absent")) return cmdAbsent(args);
  if (is(L"select")) return cmdSelect(args);
  if (is(L"items")) return cmdItems(args);
  if (is(L"key")) return cmdKey(args);
  if (is(L"place")) return cmdPlace(args);
  if (is(L"answer")) return cmdAnswer(args);
  if (is(L"rect")) return cmdRect(args);
  return usage(L"unknown command");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Args args;
  for (int i = 1; i < argc; ++i) {
    const wchar_t* a = argv[i];
    bool hasValue = i + 1 < argc;
    if (lstrcmpW(a, L"--class") == 0 && hasValue) {
      args.filter.className = argv[++i];
    } else if (lstrcmpW(a, L"--title") == 0 && hasValue) {
      args.filter.title = argv[++i];
    } else if (lstrcmpW(a, L"--wait") == 0 && hasValue) {
      if (!parseSeconds(argv[++i], args.waitMs)) return usage(L"--wait needs seconds");
    } else if (!args.command) {
      args.command = a;
    } else if (args.count < 4) {
      args.positional[args.count++] = a;
    } else {
      return usage(L"too many arguments");
    }
  }
  if (!args.command) return usage(L"no command");
  return run(args);
}
