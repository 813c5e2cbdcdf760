// ZETURFD.EXE ZETUREMOVE "FOLDER" PID: waits for process PID to end, then
// deletes FOLDER with everything below it. Started detached by the runtime
// at the end of its run to remove its own work folder; shows nothing. It
// takes nothing but a run folder of the dispatcher's naming directly in the
// temporary folder (common/run_folder.h): any other folder is refused.
// Exit codes: 0 removed (or already gone), 1 some of it stayed, 2 refused.
#include "common/run_folder.h"
#include "tools/zeturfd/remove_request.h"
#include "tools/zeturfd/tree_remover.h"

#include <windows.h>

#include "win32/dll_search.h"

namespace {

constexpr UINT kExitRemoved = 0;
constexpr UINT kExitIncomplete = 1;
constexpr UINT kExitRefused = 2;

// Files of the ended process may stay locked for a moment (a scanner, the
// loader); the remover retries before it gives up.
constexpr int kRemoveAttempts = 20;
constexpr DWORD kRetryDelayMs = 500;

void stripBackslash(char* path) {
  int n = lstrlenA(path);
  while (n > 0 && path[n - 1] == '\\') path[--n] = '\0';
}

// The short form, so that a long and a short spelling of one folder compare
// equal; the path as given when it has none.
void shortForm(const char* path, char* out) {
  DWORD n = GetShortPathNameA(path, out, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) lstrcpynA(out, path, MAX_PATH);
  stripBackslash(out);
}

// True when removing folder would take the Windows folder, the system folder,
// the temporary folder or the remover's own folder, or one of their parents.
bool isProtected(const char* folder) {
  char shortFolder[MAX_PATH];
  shortForm(folder, shortFolder);
  char path[MAX_PATH];
  char shortPath[MAX_PATH];
  for (int which = 0; which < 4; ++which) {
    DWORD n = 0;
    switch (which) {
      case 0: n = GetWindowsDirectoryA(path, MAX_PATH); break;
      case 1: n = GetSystemDirectoryA(path, MAX_PATH); break;
      case 2: n = GetTempPathA(MAX_PATH, path); break;
      default: {
        n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (n >= MAX_PATH) n = 0;
        while (n > 0 && path[n - 1] != '\\') --n;
        path[n] = '\0';
      }
    }
    // A folder the system cannot name is no reason to refuse.
    if (n == 0 || n >= MAX_PATH) continue;
    stripBackslash(path);
    shortForm(path, shortPath);
    if (isSameOrBelow(folder, path) || isSameOrBelow(shortFolder, shortPath)) return true;
  }
  return false;
}

// True when folder is a run folder directly in the temporary folder: as
// given, or with its parent and the temporary folder in their short forms.
bool isWorkFolder(const char* folder) {
  char temp[MAX_PATH];
  const DWORD n = GetTempPathA(MAX_PATH, temp);
  if (n == 0 || n >= MAX_PATH) return false;
  if (tw::isRunFolderIn(folder, temp)) return true;
  int cut = lstrlenA(folder);
  while (cut > 0 && folder[cut - 1] != '\\') --cut;
  if (cut <= 1 || !tw::isRunFolderName(folder + cut, size_t(lstrlenA(folder + cut)))) return false;
  char parent[MAX_PATH];
  lstrcpynA(parent, folder, cut);  // without the backslash before the name
  char shortParent[MAX_PATH];
  char shortTemp[MAX_PATH];
  shortForm(parent, shortParent);
  shortForm(temp, shortTemp);
  return lstrcmpiA(shortParent, shortTemp) == 0;
}

// Waits for the process to end; false when it lives on out of our reach.
bool waitForProcess(uint32_t processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) {
    // Gone already (or never there): nothing to wait for. Denied access
    // means it still runs, and its folder must stay.
    return GetLastError() != ERROR_ACCESS_DENIED;
  }
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  return true;
}

UINT run() {
  static RemoveRequest request;
  if (parseRemoveRequest(GetCommandLineA(), request) != RequestFault::kOk)
    return kExitRefused;
  if (request.processId == GetCurrentProcessId() || isProtected(request.folder) ||
      !isWorkFolder(request.folder))
    return kExitRefused;
  if (!waitForProcess(request.processId)) return kExitRefused;
  const DWORD attributes = GetFileAttributesA(request.folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) return kExitRemoved;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return kExitRefused;
  // Our own current folder must not be the one that holds the removal up.
  char windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
  if (n != 0 && n < MAX_PATH) SetCurrentDirectoryA(windows);
  for (int attempt = 1;; ++attempt) {
    if (removeTree(request.folder)) return kExitRemoved;
    if (attempt == kRemoveAttempts) return kExitIncomplete;
    Sleep(kRetryDelayMs);
  }
}

}  // namespace

// Entry point in place of the C runtime's: nothing here needs one.
extern "C" void removerEntry() {
  tw::win32::restrictDllSearch();
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ExitProcess(run());
}
