// The window classes that the language modules' templates name: the runtime's own, and the dispatcher's box class.
#include "window_classes.h"

#include "setup/main/window_classes.h"

bool registerTemplateClasses(HINSTANCE instance) {
  // The runtime's own classes, as Setup registers them.
  if (!tw::registerBevelClass(instance) || !tw::registerComponentListClass(instance)) return false;

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
