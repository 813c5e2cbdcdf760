// The installation folder's removal lock.
#include "setup/removal/removal_lock.h"

#include <windows.h>

#include "language/ids.h"
#include "setup/core/removal/folder_lock.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {


std::string fullPath(const std::string& folder) {
  char buffer[MAX_PATH * 2];
  char* name = nullptr;
  DWORD n = GetFullPathNameA(folder.c_str(), sizeof buffer, buffer, &name);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : folder;
}

}  // namespace

bool lockRemoval(const std::string& folder) {
  // Inheritable: the continuation started from the temporary folder holds
  // the lock from its first instant, before this process has ended.
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE lock = CreateMutexA(&inherit, FALSE, folderLockName(fullPath(folder)).c_str());
  if (lock && GetLastError() != ERROR_ALREADY_EXISTS) return true;  // held until the process ends
  if (lock) CloseHandle(lock);
  std::string text = formatName(languageString(STR_REMOVAL_RUNNING), runState().applicationName);
  reportError(nullptr, text, MB_OK | MB_ICONINFORMATION);
  return false;
}

}  // namespace tw
