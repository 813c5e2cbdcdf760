// Kernel functions that the programs call but that the oldest systems they
// start on lack (Windows 95 before OSR2, Windows 98 and NT 4.0 for the
// builder). A static import of them
// would keep the program from loading there at all. Calls to them go
// through the import pointer the system headers declare; this file defines
// those pointers itself, so the linker takes them instead of the import
// library's. Each points at a stand-in that uses the system's own function
// when GetProcAddress finds it and does the same work with the older
// functions otherwise.
#include <windows.h>

namespace {

FARPROC kernelProc(const char* name) {
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  return kernel == nullptr ? nullptr : GetProcAddress(kernel, name);
}

// GetFileAttributesExA: Windows 98, NT 4.0.
BOOL WINAPI fileAttributesEx(LPCSTR name, GET_FILEEX_INFO_LEVELS level, LPVOID out) {
  using Fn = BOOL(WINAPI*)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);
  static Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(kernelProc("GetFileAttributesExA")));
  if (system != nullptr) return system(name, level, out);
  if (level != GetFileExInfoStandard || out == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (const char* p = name; *p != '\0'; ++p)
    if (*p == '*' || *p == '?') {
      SetLastError(ERROR_INVALID_NAME);
      return FALSE;
    }
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(out);
  const DWORD attributes = GetFileAttributesA(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
  ZeroMemory(data, sizeof *data);
  data->dwFileAttributes = attributes;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(name, &found);
  // A drive's root has attributes but no entry to find.
  if (search == INVALID_HANDLE_VALUE) return TRUE;
  FindClose(search);
  data->ftCreationTime = found.ftCreationTime;
  data->ftLastAccessTime = found.ftLastAccessTime;
  data->ftLastWriteTime = found.ftLastWriteTime;
  data->nFileSizeHigh = found.nFileSizeHigh;
  data->nFileSizeLow = found.nFileSizeLow;
  return TRUE;
}

// GetDiskFreeSpaceExA: Windows 95 OSR2, NT 4.0. Before it, a drive's
// figures come from its clusters (at most 2 GiB are reported there).
BOOL WINAPI diskFreeSpaceEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                            PULARGE_INTEGER free) {
  using Fn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  static Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(kernelProc("GetDiskFreeSpaceExA")));
  if (system != nullptr) return system(root, available, total, free);
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return FALSE;
  const ULONGLONG cluster = static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector;
  if (available != nullptr) available->QuadPart = cluster * freeClusters;
  if (total != nullptr) total->QuadPart = cluster * clusters;
  if (free != nullptr) free->QuadPart = cluster * freeClusters;
  return TRUE;
}

// GetFileSizeEx: Windows 2000 (and ME). GetFileSize with the high part.
BOOL WINAPI fileSizeEx(HANDLE file, PLARGE_INTEGER size) {
  using Fn = BOOL(WINAPI*)(HANDLE, PLARGE_INTEGER);
  static Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(kernelProc("GetFileSizeEx")));
  if (system != nullptr) return system(file, size);
  DWORD high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return FALSE;
  size->QuadPart = static_cast<LONGLONG>((static_cast<ULONGLONG>(high) << 32) | low);
  return TRUE;
}

// SetFilePointerEx: Windows 2000 (and ME). SetFilePointer with the high
// word; a low part of all ones is told apart from a failure by the error.
BOOL WINAPI filePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method) {
  using Fn = BOOL(WINAPI*)(HANDLE, LARGE_INTEGER, PLARGE_INTEGER, DWORD);
  static Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(kernelProc("SetFilePointerEx")));
  if (system != nullptr) return system(file, distance, position, method);
  LONG high = distance.HighPart;
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file, static_cast<LONG>(distance.LowPart), &high, method);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return FALSE;
  if (position != nullptr) position->QuadPart = (static_cast<LONGLONG>(high) << 32) | low;
  return TRUE;
}

// AttachConsole: Windows XP. Before it a program has no console to attach
// to, which its callers already handle.
BOOL WINAPI attachConsole(DWORD process) {
  using Fn = BOOL(WINAPI*)(DWORD);
  static Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(kernelProc("AttachConsole")));
  if (system != nullptr) return system(process);
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

}  // namespace

// The import pointers, under the names the import library gives them.
extern "C" {
extern decltype(&fileAttributesEx) const lateGetFileAttributesExA __asm__("__imp__GetFileAttributesExA@12");
decltype(&fileAttributesEx) const lateGetFileAttributesExA = &fileAttributesEx;
extern decltype(&diskFreeSpaceEx) const lateGetDiskFreeSpaceExA __asm__("__imp__GetDiskFreeSpaceExA@16");
decltype(&diskFreeSpaceEx) const lateGetDiskFreeSpaceExA = &diskFreeSpaceEx;
}
extern "C" {
extern decltype(&fileSizeEx) const lateGetFileSizeEx __asm__("__imp__GetFileSizeEx@8");
decltype(&fileSizeEx) const lateGetFileSizeEx = &fileSizeEx;
extern decltype(&filePointerEx) const lateSetFilePointerEx __asm__("__imp__SetFilePointerEx@20");
decltype(&filePointerEx) const lateSetFilePointerEx = &filePointerEx;
extern decltype(&attachConsole) const lateAttachConsole __asm__("__imp__AttachConsole@4");
decltype(&attachConsole) const lateAttachConsole = &attachConsole;
}
