/* werkzeug.dll: a resource-only DLL with a version resource, so that the
   demo project has a file installed in mode "Hoehere Version". */
#include <windows.h>

BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
