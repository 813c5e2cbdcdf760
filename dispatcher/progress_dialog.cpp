// The dispatcher's progress dialog and its multimedia-timer animation.
#include "dispatcher/progress_dialog.h"

#include <commctrl.h>
#include <mmsystem.h>

#include "dispatcher/core/dialog_text.h"
#include "dispatcher/core/progress.h"
#include "dispatcher/system_library.h"
#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {
namespace {

constexpr UINT kTimerPeriod = 800;
constexpr DWORD kCatchUpPause = 150;

using TimeBeginPeriodFn = MMRESULT(WINAPI*)(UINT);
using TimeSetEventFn = MMRESULT(WINAPI*)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR,
                                         UINT);
using TimeKillEventFn = MMRESULT(WINAPI*)(UINT);

// The multimedia timers live in WINMM.DLL, which is not always taken from
// the system folder: it is loaded from there by path at run time.
struct Timers {
  HMODULE winmm = nullptr;
  TimeBeginPeriodFn beginPeriod = nullptr;
  TimeBeginPeriodFn endPeriod = nullptr;
  TimeSetEventFn setEvent = nullptr;
  TimeKillEventFn killEvent = nullptr;
  MMRESULT timer = 0;
  bool periodSet = false;
};

Progress gProgress;
Timers gTimers;
HWND gBar = nullptr;

// The bar belongs to the main thread; the timer thread posts to it rather
// than sending, so it never blocks while the main thread sits in the
// extraction.
class BarWindow final : public ProgressBar {
 public:
  explicit BarWindow(HWND hwnd) : hwnd_(hwnd) {}
  void showPosition(std::uint16_t position) override {
    if (hwnd_ != nullptr) PostMessageA(hwnd_, PBM_SETPOS, position, 0);
  }

 private:
  HWND hwnd_;
};

template <typename Fn>
Fn procAddress(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void CALLBACK onTimerTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  BarWindow bar(reinterpret_cast<HWND>(user));
  gProgress.step(kTimerStep, bar);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    RECT rect;
    GetWindowRect(hwnd, &rect);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - (rect.right - rect.left) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - (rect.bottom - rect.top) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  return 0;
}

void setDialogText(HINSTANCE instance, HWND text) {
  // Template in the first half, the application name behind it, the
  // formatted result in the second half.
  char buffer[1024];
  const int length = GetWindowTextA(text, buffer, 512);
  char* name = buffer + length + 1;
  name[0] = '\0';
  const int room = 510 - length;
  if (room > 0) LoadStringA(instance, 0, name, room);
  const char* format = dialogTextFormat(buffer, name);
  // The template comes from a language module: whatever insert number it
  // uses (up to the platform's %99) finds the name, never stack garbage.
  DWORD_PTR args[99];
  for (DWORD_PTR& arg : args) arg = reinterpret_cast<DWORD_PTR>(name);
  char* result = buffer + 512;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, format, 0, 0,
      result, 512, reinterpret_cast<va_list*>(args));
  if (n != 0) SetWindowTextA(text, result);
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

namespace {
bool gDialogShown = false;
}  // namespace

bool registerDialogClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_PARENTDC;
  wc.lpfnWndProc = DefDlgProcA;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "SETUP_DLG";
  return RegisterClassA(&wc) != 0;
}

HWND createProgressDialog(HINSTANCE instance) {
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(kDialogProgress),
                                   nullptr, dialogProc, 0);
  if (dialog == nullptr) return nullptr;
  SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(LoadIconA(
                                           instance, MAKEINTRESOURCEA(kIconClass))));
  HWND text = GetDlgItem(dialog, kControlText);
  if (text != nullptr) setDialogText(instance, text);
  gBar = GetDlgItem(dialog, kControlBar);
  gDialogShown = true;
  // A template without WS_VISIBLE would otherwise keep the dialog hidden
  // for the whole run.
  ShowWindow(dialog, SW_SHOWNORMAL);
  UpdateWindow(dialog);
  EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  if (gBar != nullptr) SendMessageA(gBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  return dialog;
}

void startAnimation() {
  gProgress.setLimit(kStageTable);
  Timers& t = gTimers;
  t.winmm = loadSystemLibrary("WINMM.DLL");
  if (t.winmm == nullptr) return;
  t.beginPeriod = procAddress<TimeBeginPeriodFn>(t.winmm, "timeBeginPeriod");
  t.endPeriod = procAddress<TimeBeginPeriodFn>(t.winmm, "timeEndPeriod");
  t.setEvent = procAddress<TimeSetEventFn>(t.winmm, "timeSetEvent");
  t.killEvent = procAddress<TimeKillEventFn>(t.winmm, "timeKillEvent");
  if (!t.beginPeriod || !t.endPeriod || !t.setEvent || !t.killEvent) return;
  t.periodSet = t.beginPeriod(kTimerPeriod) == TIMERR_NOERROR;
  if (gBar != nullptr)
    t.timer = t.setEvent(kTimerPeriod, kTimerPeriod, onTimerTick,
                         reinterpret_cast<DWORD_PTR>(gBar), TIME_PERIODIC);
}

void stopAnimation() {
  Timers& t = gTimers;
  if (t.timer != 0) t.killEvent(t.timer);
  if (t.periodSet) t.endPeriod(kTimerPeriod);
  t.timer = 0;
  t.periodSet = false;
}

void catchUp() {
  // Without the dialog (a silent run) nothing is paced: the pauses are
  // there for the eye only.
  if (!gDialogShown) return;
  BarWindow bar(gBar);
  while (gProgress.step(kCatchUpStep, bar)) {
    Sleep(kCatchUpPause);
    pumpMessages();
  }
  pumpMessages();
}

void setStageLimit(std::uint16_t limit) { gProgress.setLimit(limit); }

}  // namespace tw::dispatcher
