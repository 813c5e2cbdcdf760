// Unpacking the runtime cabinet from its view through CABXPD32.DLL.
#include "dispatcher/runtime_cabinet.h"

#include <fdi.h>

#include "dispatcher/core/extract_target.h"
#include "dispatcher/system_library.h"
#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {
namespace {

// Register the image and forget it after the extraction's last close.
constexpr DWORD kMemoryFileRegisterAndRelease = 3;
// Attribute bits a cabinet entry may hand to CreateFile; the others
// (executable, UTF-8 name) are cabinet flags, not file attributes.
constexpr USHORT kFileAttributeMask = FILE_ATTRIBUTE_READONLY |
                                      FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE;

struct ExtractContext {
  const char* workFolder;
  char* lastTarget;
};

INT_PTR onCopyFile(FDINOTIFICATION* note) {
  auto* context = static_cast<ExtractContext*>(note->pv);
  if (!composeExtractTarget(context->workFolder, note->psz1,
                            context->lastTarget, kPathCapacity)) {
    SetLastError(ERROR_INVALID_NAME);
    return -1;
  }
  DWORD attributes = note->attribs & kFileAttributeMask;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  HANDLE file = CreateFileA(context->lastTarget, GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, attributes, nullptr);
  return reinterpret_cast<INT_PTR>(file);
}

INT_PTR onCloseFile(FDINOTIFICATION* note) {
  HANDLE file = reinterpret_cast<HANDLE>(note->hf);
  FILETIME local;
  // The cabinet's DOS time is used as it stands, without a zone shift.
  if (DosDateTimeToFileTime(note->date, note->time, &local))
    SetFileTime(file, &local, &local, &local);
  CloseHandle(file);
  return 1;
}

INT_PTR DIAMONDAPI onNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION note) {
  switch (type) {
    case fdintCOPY_FILE:
      return onCopyFile(note);
    case fdintCLOSE_FILE_INFO:
      return onCloseFile(note);
    default:
      return 0;
  }
}

template <typename Fn>
Fn procAddress(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool CabinetLibrary::load(const char* workFolder) {
  char path[kPathCapacity];
  path[0] = '\0';
  if (!appendText(path, sizeof path, workFolder) ||
      !appendText(path, sizeof path, "CABXPD32.DLL")) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  module_ = loadLibraryFromPath(path);
  if (module_ == nullptr) return false;
  createMemoryFile_ = procAddress<CreateMemoryFileFn>(module_, "CreateMemoryFile");
  decompressCab_ = procAddress<DecompressCabFn>(module_, "DecompressCab");
  if (createMemoryFile_ == nullptr || decompressCab_ == nullptr) {
    release();
    SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
  }
  return true;
}

void CabinetLibrary::release() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  createMemoryFile_ = nullptr;
  decompressCab_ = nullptr;
}

bool CabinetLibrary::extract(const void* image, DWORD size,
                             const char* workFolder,
                             char (&lastTarget)[kPathCapacity]) {
  lastTarget[0] = '\0';
  if (!appendText(lastTarget, kPathCapacity, workFolder)) return false;
  if (!createMemoryFile_(image, size, kMemoryFileRegisterAndRelease)) {
    SetLastError(ERROR_BUSY);
    return false;
  }
  ERF error = {};
  ExtractContext context = {workFolder, lastTarget};
  SetLastError(NO_ERROR);
  if (decompressCab_(nullptr, reinterpret_cast<void*>(onNotify), nullptr,
                     &error, &context))
    return true;
  // A damaged cabinet leaves no platform code behind; name the damage
  // rather than report success in a failure box.
  const int oper = error.erfOper;
  if (oper != FDIERROR_USER_ABORT || GetLastError() == NO_ERROR)
    SetLastError(ERROR_FILE_CORRUPT);
  return false;
}

}  // namespace tw::dispatcher
