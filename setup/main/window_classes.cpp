// "BEVEL" and "ZETU_LISTBOX".
#include "setup/main/window_classes.h"

namespace tw {
namespace {

WNDPROC gSystemListBox = nullptr;

LRESULT CALLBACK bevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      RECT r;
      GetWindowRect(hwnd, &r);
      // The separator is two pixels high whatever the template says.
      SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM);  // shadow on top, highlight below
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK componentListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONUP) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 1);
    LRESULT r = CallWindowProcA(gSystemListBox, hwnd, msg, wp, lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return r;
  }
  return CallWindowProcA(gSystemListBox, hwnd, msg, wp, lp);
}

}  // namespace

bool registerBevelClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_GLOBALCLASS | CS_PARENTDC;
  wc.lpfnWndProc = bevelProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "BEVEL";
  return RegisterClassA(&wc) != 0;
}

bool registerComponentListClass(HINSTANCE instance) {
  WNDCLASSA wc;
  if (!GetClassInfoA(nullptr, "LISTBOX", &wc)) return false;
  gSystemListBox = wc.lpfnWndProc;
  wc.style |= CS_GLOBALCLASS;
  wc.lpfnWndProc = componentListProc;
  wc.hInstance = instance;
  wc.lpszClassName = "ZETU_LISTBOX";
  return RegisterClassA(&wc) != 0;
}

}  // namespace tw
