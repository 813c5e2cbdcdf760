// The window classes that the language modules' templates name, registered the way Setup registers them.
#include "window_classes.h"

namespace {

WNDPROC systemListBoxProc = nullptr;

// Two pixels high whatever the template says: a sunken line, shadow on top
// and highlight below.
LRESULT CALLBACK bevelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowPos(hwnd, nullptr, 0, 0, create->cx, 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The owner tells a click from keyboard selection by the user data, which
// is 1 only while the list box handles a left-button release.
LRESULT CALLBACK zetuListBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONUP) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1);
    LRESULT result = CallWindowProcW(systemListBoxProc, hwnd, message, wParam, lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return result;
  }
  return CallWindowProcW(systemListBoxProc, hwnd, message, wParam, lParam);
}

}  // namespace

bool registerTemplateClasses(HINSTANCE instance) {
  WNDCLASSW bevel = {};
  bevel.style = CS_GLOBALCLASS | CS_PARENTDC;
  bevel.lpfnWndProc = bevelProc;
  bevel.hInstance = instance;
  bevel.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  bevel.lpszClassName = L"BEVEL";
  if (!RegisterClassW(&bevel)) return false;

  WNDCLASSW list = {};
  if (!GetClassInfoW(nullptr, L"LISTBOX", &list)) return false;
  systemListBoxProc = list.lpfnWndProc;
  list.style |= CS_GLOBALCLASS;
  list.lpfnWndProc = zetuListBoxProc;
  list.hInstance = instance;
  list.lpszClassName = L"ZETU_LISTBOX";
  if (!RegisterClassW(&list)) return false;

  // Global here because the templates live in another module than the
  // class; the dispatcher has both in one module.
  WNDCLASSW box = {};
  box.style = CS_GLOBALCLASS | CS_PARENTDC;
  box.lpfnWndProc = DefDlgProcW;
  box.cbWndExtra = DLGWINDOWEXTRA;
  box.hInstance = instance;
  box.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  box.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  box.lpszClassName = L"SETUP_DLG";
  return RegisterClassW(&box) != 0;
}
