// Shared-file reference counts in the registry.
#include "setup/engine/shared_dll_counter.h"

#include <windows.h>

namespace tw {

long adjustSharedCount(const std::string& path, long delta) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 1;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    value = 0;
  long count = static_cast<long>(value) + delta;
  if (count <= 0) {
    RegDeleteValueA(key, path.c_str());
  } else {
    DWORD data = static_cast<DWORD>(count);
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  }
  RegCloseKey(key);
  return count;
}

}  // namespace tw
