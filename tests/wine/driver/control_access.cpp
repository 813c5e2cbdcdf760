// What the UI driver does to another program's controls, through the messages a user's input would cause.
#include "control_access.h"

#include "window_search.h"

namespace {

constexpr DWORD kSendLimitMs = 5000;
constexpr int kMaxThreadWindows = 128;

struct ThreadWindows {
  HWND windows[kMaxThreadWindows];
  int count = 0;
};

BOOL CALLBACK collectThreadWindow(HWND hwnd, LPARAM param) {
  ThreadWindows* list = reinterpret_cast<ThreadWindows*>(param);
  if (IsWindowVisible(hwnd) && list->count < kMaxThreadWindows) list->windows[list->count++] = hwnd;
  return TRUE;
}

void visibleWindowsOf(DWORD thread, ThreadWindows& list) {
  list.count = 0;
  EnumThreadWindows(thread, collectThreadWindow, reinterpret_cast<LPARAM>(&list));
}

bool openedNewWindow(DWORD thread, const ThreadWindows& before) {
  ThreadWindows now;
  visibleWindowsOf(thread, now);
  for (int i = 0; i < now.count; ++i) {
    bool known = false;
    for (int j = 0; j < before.count && !known; ++j) known = before.windows[j] == now.windows[i];
    if (!known) return true;
  }
  return false;
}

struct ClickCall {
  HWND button;
  bool delivered;
};

DWORD WINAPI sendClick(void* param) {
  ClickCall* call = static_cast<ClickCall*>(param);
  DWORD_PTR result = 0;
  // No limit that matters: the thread only reports when the handler is back.
  SetLastError(0);
  LRESULT ok = SendMessageTimeoutW(call->button, BM_CLICK, 0, 0, SMTO_NORMAL, 600000, &result);
  call->delivered = ok != 0 || GetLastError() == ERROR_TIMEOUT;
  return 0;
}

LONG buttonType(HWND control) {
  if (!classIs(control, L"Button")) return -1;
  return GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
}

}  // namespace

bool sendWithLimit(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendLimitMs,
                             result ? result : &ignored) != 0;
}

wchar_t* controlText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!sendWithLimit(hwnd, WM_GETTEXTLENGTH, 0, 0, &length)) return nullptr;
  // The length may be counted in bytes of a multi-byte text; one spare
  // character per unit is always enough.
  SIZE_T size = (length + 2) * sizeof(wchar_t);
  wchar_t* text = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (!text) return nullptr;
  DWORD_PTR copied = 0;
  if (!sendWithLimit(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text), &copied)) {
    HeapFree(GetProcessHeap(), 0, text);
    return nullptr;
  }
  text[copied <= length ? copied : length] = 0;
  return text;
}

void freeText(wchar_t* text) {
  if (text) HeapFree(GetProcessHeap(), 0, text);
}

ClickResult clickButton(HWND button, HWND top, DWORD settleMs) {
  DWORD thread = GetWindowThreadProcessId(button, nullptr);
  ThreadWindows before;
  visibleWindowsOf(thread, before);
  // A click activates the window first; a button in an inactive dialog may
  // ignore BM_CLICK on Windows.
  if (GetForegroundWindow() != top) SetForegroundWindow(top);

  // On the heap: a worker still inside the handler outlives this frame.
  ClickCall* call = static_cast<ClickCall*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ClickCall)));
  if (!call) return ClickResult::kLost;
  call->button = button;
  HANDLE worker = CreateThread(nullptr, 0, sendClick, call, 0, nullptr);
  if (!worker) return ClickResult::kLost;
  DWORD start = GetTickCount();
  ClickResult result = ClickResult::kStillRunning;
  for (;;) {
    if (WaitForSingleObject(worker, 20) == WAIT_OBJECT_0) {
      result = call->delivered ? ClickResult::kDone : ClickResult::kLost;
      HeapFree(GetProcessHeap(), 0, call);
      break;
    }
    if (openedNewWindow(thread, before)) {
      result = ClickResult::kOpenedWindow;
      break;
    }
    if (GetTickCount() - start >= settleMs) break;
  }
  // A worker still waiting for the handler is left behind with its call;
  // the process ends with it, and the message is delivered all the same.
  CloseHandle(worker);
  return result;
}

const wchar_t* whyNotUsable(HWND control, HWND top) {
  if (!IsWindowVisible(control)) return L"is hidden";
  if (!IsWindowEnabled(control)) return L"is disabled";
  for (HWND w = GetParent(control); w && w != GetDesktopWindow(); w = GetParent(w)) {
    if (!IsWindowEnabled(w)) return L"is in a disabled window (a modal window in front of it?)";
    if (w == top) break;
  }
  return nullptr;
}

int checkState(HWND control) {
  if (!isCheckable(control)) return -1;
  DWORD_PTR state = 0;
  if (!sendWithLimit(control, BM_GETCHECK, 0, 0, &state)) return -1;
  return static_cast<int>(state);
}

bool isRadio(HWND control) {
  LONG type = buttonType(control);
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool isCheckable(HWND control) {
  LONG type = buttonType(control);
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
         type == BS_AUTO3STATE || isRadio(control);
}

bool isClickable(HWND control) {
  LONG type = buttonType(control);
  return type >= 0 && type != BS_GROUPBOX;
}

void notifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  WORD id = static_cast<WORD>(GetDlgCtrlID(control));
  sendWithLimit(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control), nullptr);
}
