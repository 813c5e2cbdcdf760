// CABXPD32.DLL: extracts a cabinet from a file or from a registered memory
// image through the platform's FDI, serving FDI's file callbacks.
#include <windows.h>
#include <fdi.h>

#include "cabxpd32/core/cabinet_path.h"
#include "cabxpd32/core/memory_file.h"
#include "cabxpd32/core/open_flags.h"

namespace {

using tw::cabxpd::MemoryFileTable;
using tw::cabxpd::isMemoryHandle;

// One image per process, as both callers use the library: one extraction
// at a time from their main thread.
MemoryFileTable memoryFiles;

HANDLE realHandle(INT_PTR handle) { return reinterpret_cast<HANDLE>(handle); }

FNALLOC(fdiAlloc) { return HeapAlloc(GetProcessHeap(), 0, cb); }

FNFREE(fdiFree) {
  if (pv != nullptr) HeapFree(GetProcessHeap(), 0, pv);
}

FNOPEN(fdiOpen) {
  if (tw::cabxpd::isMemoryFileName(pszFile)) return memoryFiles.open();

  const tw::cabxpd::RealFileOpen how = tw::cabxpd::realFileOpen(oflag);
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  if (how.access == tw::cabxpd::FileAccess::read) access = GENERIC_READ;
  if (how.access == tw::cabxpd::FileAccess::write) access = GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  if (how.disposition == tw::cabxpd::FileDisposition::createAlways) {
    disposition = CREATE_ALWAYS;
  } else if (how.disposition == tw::cabxpd::FileDisposition::createNew) {
    disposition = CREATE_NEW;
  }
  HANDLE file = CreateFileA(pszFile, access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  // INVALID_HANDLE_VALUE is -1, FDI's own failure value.
  return reinterpret_cast<INT_PTR>(file);
}

// A failed ReadFile or WriteFile reports -1: a short count from a failed
// call must not look like the end of a file.
FNREAD(fdiRead) {
  if (isMemoryHandle(hf)) return memoryFiles.read(hf, pv, cb);
  DWORD done = 0;
  if (!ReadFile(realHandle(hf), pv, cb, &done, nullptr)) {
    return tw::cabxpd::kTransferFailed;
  }
  return done;
}

FNWRITE(fdiWrite) {
  if (isMemoryHandle(hf)) return memoryFiles.write(hf, pv, cb);
  DWORD done = 0;
  if (!WriteFile(realHandle(hf), pv, cb, &done, nullptr)) {
    return tw::cabxpd::kTransferFailed;
  }
  return done;
}

FNCLOSE(fdiClose) {
  if (isMemoryHandle(hf)) return memoryFiles.close(hf);
  return CloseHandle(realHandle(hf)) ? 0 : tw::cabxpd::kCloseFailed;
}

FNSEEK(fdiSeek) {
  if (isMemoryHandle(hf)) return memoryFiles.seek(hf, dist, seektype);
  return static_cast<LONG>(SetFilePointer(realHandle(hf), dist, nullptr,
                                          static_cast<DWORD>(seektype)));
}

}  // namespace

extern "C" {

// flags bit 0: register the image (refused with 0 while a memory handle is
// open); bit 1: forget it when the last memory handle closes. Bit 0 clear
// unregisters. 1 on success.
int WINAPI CreateMemoryFile(const void* image, DWORD size, DWORD flags) {
  return memoryFiles.create(image, size, flags);
}

// Extracts the cabinet at cabinetPath, or the registered memory image when
// it is null. notify, decrypt and user go to FDICopy unchanged; FDI fills
// the error record on failure. 1 on success, 0 on failure.
int WINAPI DecompressCab(const char* cabinetPath, PFNFDINOTIFY notify,
                         PFNFDIDECRYPT decrypt, PERF error, void* user) {
  // FDI writes into the error record on failure; without one from the
  // caller it writes into ours.
  ERF ownError = {};
  if (error == nullptr) error = &ownError;

  HFDI fdi = FDICreate(fdiAlloc, fdiFree, fdiOpen, fdiRead, fdiWrite,
                       fdiClose, fdiSeek, cpuUNKNOWN, error);
  if (fdi == nullptr) return 0;

  char name[tw::cabxpd::kCabinetPathBuffer];
  char folder[tw::cabxpd::kCabinetPathBuffer];
  if (!tw::cabxpd::splitCabinetPath(cabinetPath, name, folder)) {
    // A path too long for FDI's buffers names no cabinet it could open.
    error->erfOper = FDIERROR_CABINET_NOT_FOUND;
    error->erfType = ERROR_FILENAME_EXCED_RANGE;
    error->fError = TRUE;
    FDIDestroy(fdi);
    return 0;
  }

  const BOOL copied = FDICopy(fdi, name, folder, 0, notify, decrypt, user);
  // FDI is done with its files once FDICopy returns; a memory handle it
  // left open would block every later registration.
  memoryFiles.closeAll();
  if (!copied) {
    FDIDestroy(fdi);
    return 0;
  }
  return FDIDestroy(fdi) ? 1 : 0;
}

}  // extern "C"
