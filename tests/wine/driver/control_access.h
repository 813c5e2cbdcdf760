// What the UI driver does to another program's controls, through the messages a user's input would cause.
#pragma once
#include <windows.h>

// Exit codes of the driver, shared by every command.
enum ExitCode : int {
  kExitOk = 0,
  kExitNo = 1,        // enabled / visible: the answer is no
  kExitUsage = 2,
  kExitNotFound = 3,  // no such window or control in time
  kExitRefused = 4,   // a user could not do it: disabled, hidden, wrong kind
  kExitFailed = 5,    // done, but the control does not show the result
};

// A sent message with a limit, so a hung program never hangs the driver.
bool sendWithLimit(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result);

// The control's text through WM_GETTEXT, which the system carries across
// processes (GetWindowText would read only the caption the system keeps,
// not an edit's contents). The caller frees it with freeText.
wchar_t* controlText(HWND hwnd);
void freeText(wchar_t* text);

enum class ClickResult {
  kDone,          // the button and whatever its click started have returned
  kOpenedWindow,  // the click's handler opened a window and is still inside it
  kStillRunning,  // delivered, the handler has not returned within the limit
  kLost,          // the message could not be delivered
};

// BM_CLICK, sent from a helper thread: a click that opens a message box
// stays inside its handler until the box is answered, and the driver must
// not wait for that.
ClickResult clickButton(HWND button, HWND top, DWORD settleMs);

// Why a user could not operate this control, or null when they could:
// hidden, disabled, or in a window that is itself disabled (a modal
// window in front of it).
const wchar_t* whyNotUsable(HWND control, HWND top);

// BST_CHECKED and so on, or -1 when the control has no check state.
int checkState(HWND control);
bool isRadio(HWND control);
bool isCheckable(HWND control);
bool isClickable(HWND control);  // a button that is not a group box

// Sends the parent the notification a user's action would cause.
void notifyParent(HWND control, WORD code);
