// Finding the program windows a test talks to: top-level windows of any process, their controls by id, message boxes.
#pragma once
#include <windows.h>

// Narrows the top-level windows looked at; null members match any window.
struct WindowFilter {
  const wchar_t* className = nullptr;  // compared without regard to case
  const wchar_t* title = nullptr;      // the whole caption, exactly
};

struct FoundControl {
  HWND top = nullptr;      // the visible top-level window holding it
  HWND control = nullptr;  // the control itself (a descendant of top)
};

// Visible top-level windows of other processes, in the order commands try
// them: the foreground window, then its owners (a message box's page),
// then the rest from the top of the z-order down. Returns the count, at
// most capacity.
int rankedTopWindows(HWND* out, int capacity);

// One look for a control with that id; a visible control wins over a
// hidden one anywhere in the ranking.
bool findControl(int id, const WindowFilter& filter, FoundControl& found);

// Repeats findControl until it succeeds or the time is over.
bool waitForControl(int id, const WindowFilter& filter, DWORD milliseconds, FoundControl& found);

// A system message box: a "#32770" window with a text static of id 0xFFFF
// and nothing but the box's own buttons and icon. A wizard page has other
// ids (Back, fields), and the language module's own boxes carry their
// text under a page id, so neither is taken for one.
bool isMessageBox(HWND hwnd);
HWND waitForMessageBox(DWORD milliseconds);

// The box's text static, or null.
HWND messageBoxText(HWND box);

// A child of the window with this id, searched through nested child
// dialogs too; visible ones first.
HWND findDescendant(HWND top, int id);

bool classIs(HWND hwnd, const wchar_t* name);
