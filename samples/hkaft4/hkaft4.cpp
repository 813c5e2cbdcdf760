// HKAFT4.DLL: the sample after-install extension. On Windows 95-class
// systems it puts msvcrt.dll into the system folder when it is missing and
// offers to install the font-smoothing package from the installation source.
#include <windows.h>

namespace {

// The runtime's alias expansion: expands the buffer in place, keeps at most
// size - 1 characters and returns the length of the whole expanded text.
typedef LONG(WINAPI* ExpandAliasesProc)(char* buffer, LONG size);

constexpr int kPathBuffer = 256;
constexpr UINT kGetWindowsExtension = 92;  // SPI_GETWINDOWSEXTENSION
constexpr DWORD kTempPathLimit = 200;

const char kCaption[] = "Fehlende Anforderung";
const char kQuestion[] =
    "F\xFCr die Darstellung der Stra\xDF" "ennamen in den Luftbildern mu\xDF Schriftengl\xE4ttung\n"
    "installiert sein. Soll Schriftengl\xE4ttung jetzt installiert werden?(Empfohlen)";

// Expands `alias` into buffer and appends `tail`; false when it does not fit.
bool expandedPath(ExpandAliasesProc expand, const char* alias, const char* tail, char* buffer, int size) {
  lstrcpynA(buffer, alias, size);
  LONG length = expand(buffer, size);
  if (length < 0 || length >= size || lstrlenA(buffer) + lstrlenA(tail) >= size) return false;
  lstrcatA(buffer, tail);
  return true;
}

bool isOldWindows9x() {
  DWORD version = GetVersion();
  return (version & 0x80000000) != 0 && LOBYTE(LOWORD(version)) <= 4;
}

// Lets the thread's windows repaint while the installer runs; a quit
// message that arrives meanwhile is put back for the caller's loop.
void dispatchPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

extern "C" LONG WINAPI ZETUAfterInstallProc(HWND owner, ExpandAliasesProc expand) {
  if (!expand || !isOldWindows9x()) return 0;

  char system[kPathBuffer];
  if (!expandedPath(expand, "<WinSysDir>", "\\msvcrt.dll", system, kPathBuffer)) return 0;
  if (GetFileAttributesA(system) == INVALID_FILE_ATTRIBUTES) {
    char source[kPathBuffer];
    if (expandedPath(expand, "<SrcDir>", "\\MSGRAY95\\msvcrt.dll", source, kPathBuffer) &&
        CopyFileA(source, system, TRUE))
      SetFileAttributesA(system, FILE_ATTRIBUTE_NORMAL);
  }

  if (SystemParametersInfoA(kGetWindowsExtension, 1, nullptr, 0)) return 0;
  if (MessageBoxA(owner, kQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;

  char command[kPathBuffer + kTempPathLimit + 1];
  if (!expandedPath(expand, "<SrcDir>", "\\MSGRAY95\\W95GRAY.EXE /Q /T:", command, kPathBuffer)) return 0;
  char temp[kTempPathLimit + 1];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n > kTempPathLimit) return 0;
  lstrcatA(command, temp);

  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 0;
  SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
  dispatchPendingMessages();
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1;
}

extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }
