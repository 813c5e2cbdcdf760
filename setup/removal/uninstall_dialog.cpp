// The uninstall dialog 215: progress, the four step marks, the result text
// and OK, which ends the removal run.
#include <windows.h>

#include <commctrl.h>

#include "language/ids.h"
#include "setup/removal/removal.h"
#include "setup/removal/removal_steps.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr DWORD kMarkInterval = 500;

struct DialogClock {
  DWORD lastMark = 0;
  HBITMAP mark = nullptr;
};
DialogClock& clock() {
  static DialogClock c;
  return c;
}

// DWLP_USER of the dialog: set once the user has pressed OK.
bool closedByUser(HWND dialog) { return GetWindowLongPtrA(dialog, DWLP_USER) != 0; }

void onInit(HWND dialog) {
  EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  if (HICON icon = LoadIconA(runState().instance, MAKEINTRESOURCEA(1)))
    SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  formatWithName(dialog, 0);
  formatWithName(dialog, IDC_UNINSTALL_TEXT);
}

INT_PTR CALLBACK uninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      onInit(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        // Nothing stops a removal half done; only the finished one closes.
        if (IsWindowEnabled(GetDlgItem(dialog, IDOK))) {
          SetWindowLongPtrA(dialog, DWLP_USER, 1);
          // A press sent from another thread does not end GetMessage's
          // wait; a posted message does.
          PostMessageA(dialog, WM_NULL, 0, 0);
        }
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

// Static controls take the picture with STM_SETIMAGE, buttons with
// BM_SETIMAGE; the template decides which kind the mark is.
void setMarkImage(HWND control, HBITMAP picture) {
  char kind[16] = "";
  GetClassNameA(control, kind, sizeof kind);
  UINT message = lstrcmpiA(kind, "Button") == 0 ? BM_SETIMAGE : STM_SETIMAGE;
  SendMessageA(control, message, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

}  // namespace

bool createUninstallDialog() {
  RunState& s = runState();
  if (!userInterface().showsProgress()) return false;
  HWND dialog = CreateDialogParamA(s.resources, MAKEINTRESOURCEA(DLG_UNINSTALL), nullptr, uninstallDialogProc, 0);
  removalProgress().dialog = dialog;
  clock().lastMark = GetTickCount();
  if (!dialog) return false;
  s.currentDialog = dialog;
  clock().mark = static_cast<HBITMAP>(
      LoadImageA(s.resources, MAKEINTRESOURCEA(BMP_MARK), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  centerDialog(dialog, nullptr);
  // The copy in the temporary folder starts detached, after the program
  // the user answered has ended.
  SetForegroundWindow(dialog);
  UpdateWindow(dialog);
  pumpPending();
  return true;
}

void setUninstallProgress(int percent) {
  if (HWND dialog = removalProgress().dialog) SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, percent, 0);
}

void markUninstallStep(int control) {
  // The half second between marks is for the eye: no dialog, no pause.
  if (!removalProgress().dialog) return;
  DWORD elapsed = GetTickCount() - clock().lastMark;
  if (elapsed < kMarkInterval) Sleep(kMarkInterval - elapsed);
  if (HWND dialog = removalProgress().dialog) {
    if (HWND item = GetDlgItem(dialog, control)) {
      if (clock().mark) setMarkImage(item, clock().mark);
      InvalidateRect(item, nullptr, TRUE);
      UpdateWindow(item);
    }
  }
  pumpPending();
  clock().lastMark = GetTickCount();
}

void finishUninstallDialog() {
  HWND dialog = removalProgress().dialog;
  if (!dialog) return;
  HWND ok = GetDlgItem(dialog, IDOK);
  if (ok && IsWindowEnabled(ok)) return;
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 100, 0);
  int text = removalProgress().notAllRemoved ? IDC_DONE_PARTLY : IDC_DONE_OK;
  if (HWND item = GetDlgItem(dialog, text)) ShowWindow(item, SW_SHOW);
  if (ok) {
    EnableWindow(ok, TRUE);
    SetFocus(ok);
  }
}

void waitForUninstallOk() {
  HWND dialog = removalProgress().dialog;
  if (!dialog) return;
  MSG msg;
  while (!closedByUser(dialog) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DestroyWindow(dialog);
  removalProgress().dialog = nullptr;
  if (runState().currentDialog == dialog) runState().currentDialog = nullptr;
  if (clock().mark) DeleteObject(clock().mark);
  clock().mark = nullptr;
}

}  // namespace tw
