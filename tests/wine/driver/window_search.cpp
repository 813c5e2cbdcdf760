// Finding the program windows a test talks to: top-level windows of any process, their controls by id, message boxes.
#include "window_search.h"

namespace {

constexpr int kMaxTop = 256;
constexpr DWORD kPollMs = 50;

// Dialog templates store ids as 16-bit words, extended templates as 32 bits,
// so -1 arrives as 0xFFFF or 0xFFFFFFFF; the low word decides.
bool sameId(HWND child, int id) {
  return (static_cast<unsigned>(GetDlgCtrlID(child)) & 0xFFFF) == (static_cast<unsigned>(id) & 0xFFFF);
}

struct TopList {
  HWND windows[kMaxTop];
  int count = 0;
  DWORD ownPid = 0;
};

BOOL CALLBACK collectTop(HWND hwnd, LPARAM param) {
  TopList* list = reinterpret_cast<TopList*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == list->ownPid) return TRUE;
  if (list->count < kMaxTop) list->windows[list->count++] = hwnd;
  return TRUE;
}

bool contains(const HWND* list, int count, HWND hwnd) {
  for (int i = 0; i < count; ++i)
    if (list[i] == hwnd) return true;
  return false;
}

bool matches(HWND top, const WindowFilter& filter) {
  if (filter.className && !classIs(top, filter.className)) return false;
  if (filter.title) {
    wchar_t title[512];
    // The caption is kept by the system, so no message to the (maybe busy)
    // owner thread is needed.
    InternalGetWindowText(top, title, 512);
    if (lstrcmpW(title, filter.title) != 0) return false;
  }
  return true;
}

struct DescendantSearch {
  int id;
  bool visibleOnly;
  HWND found = nullptr;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM param) {
  DescendantSearch* search = reinterpret_cast<DescendantSearch*>(param);
  if (!sameId(hwnd, search->id)) return TRUE;
  if (search->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND findDescendantIn(HWND top, int id, bool visibleOnly) {
  // A direct child first: a page's own button wins over one of the same id
  // inside a child dialog it hosts.
  HWND direct = GetDlgItem(top, id);
  if (direct && (!visibleOnly || IsWindowVisible(direct))) return direct;
  DescendantSearch search{id, visibleOnly};
  EnumChildWindows(top, findChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct BoxCheck {
  bool hasText = false;
  bool hasButton = false;
  bool foreign = false;
};

BOOL CALLBACK inspectBoxChild(HWND hwnd, LPARAM param) {
  BoxCheck* check = reinterpret_cast<BoxCheck*>(param);
  unsigned id = static_cast<unsigned>(GetDlgCtrlID(hwnd)) & 0xFFFF;
  if (id == 0xFFFF) {
    LONG type = GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK;
    if (!classIs(hwnd, L"Static")) {
      check->foreign = true;
    } else if (type != SS_ICON && type != SS_BITMAP) {
      check->hasText = true;
    }
  } else if ((id >= IDOK && id <= 11) && classIs(hwnd, L"Button")) {
    // IDOK to IDCONTINUE and IDHELP (9); hidden ones count too, the box
    // keeps the buttons it does not show.
    check->hasButton = true;
  } else if (id == 20 || id == 0x440) {
    // The icon: 20 on Windows, 0x440 in Wine.
  } else {
    check->foreign = true;
  }
  return TRUE;
}

}  // namespace

bool classIs(HWND hwnd, const wchar_t* name) {
  wchar_t cls[128];
  if (!GetClassNameW(hwnd, cls, 128)) return false;
  return lstrcmpiW(cls, name) == 0;
}

int rankedTopWindows(HWND* out, int capacity) {
  TopList list;
  list.ownPid = GetCurrentProcessId();
  EnumWindows(collectTop, reinterpret_cast<LPARAM>(&list));
  int n = 0;
  // The foreground window and its owner chain: the page a user looks at,
  // even when a box it opened is in front.
  for (HWND w = GetForegroundWindow(); w && n < capacity; w = GetWindow(w, GW_OWNER)) {
    if (contains(list.windows, list.count, w) && !contains(out, n, w)) out[n++] = w;
  }
  for (int i = 0; i < list.count && n < capacity; ++i) {
    if (!contains(out, n, list.windows[i])) out[n++] = list.windows[i];
  }
  return n;
}

HWND findDescendant(HWND top, int id) {
  HWND found = findDescendantIn(top, id, true);
  return found ? found : findDescendantIn(top, id, false);
}

bool findControl(int id, const WindowFilter& filter, FoundControl& found) {
  HWND tops[kMaxTop];
  int n = rankedTopWindows(tops, kMaxTop);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < n; ++i) {
      if (!matches(tops[i], filter)) continue;
      HWND control = findDescendantIn(tops[i], id, pass == 0);
      if (control) {
        found.top = tops[i];
        found.control = control;
        return true;
      }
    }
  }
  return false;
}

bool waitForControl(int id, const WindowFilter& filter, DWORD milliseconds, FoundControl& found) {
  DWORD start = GetTickCount();
  for (;;) {
    if (findControl(id, filter, found)) return true;
    if (GetTickCount() - start >= milliseconds) return false;
    Sleep(kPollMs);
  }
}

bool isMessageBox(HWND hwnd) {
  if (!classIs(hwnd, L"#32770")) return false;
  BoxCheck check;
  EnumChildWindows(hwnd, inspectBoxChild, reinterpret_cast<LPARAM>(&check));
  return check.hasText && check.hasButton && !check.foreign;
}

HWND messageBoxText(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((static_cast<unsigned>(GetDlgCtrlID(child)) & 0xFFFF) != 0xFFFF) continue;
    LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
    if (type != SS_ICON && type != SS_BITMAP) return child;
  }
  return nullptr;
}

HWND waitForMessageBox(DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND tops[kMaxTop];
    int n = rankedTopWindows(tops, kMaxTop);
    for (int i = 0; i < n; ++i)
      if (isMessageBox(tops[i])) return tops[i];
    if (GetTickCount() - start >= milliseconds) return nullptr;
    Sleep(kPollMs);
  }
}
