// The package dispatcher: unpacks the runtime into a fresh work folder and
// starts it without waiting; started with switches, it passes them on,
// waits for the runtime and ends with its exit code, and with /S or
// /PROGRESS it shows no window at all.
#include <windows.h>

#include <commctrl.h>

#include "common/file_checks.h"
#include "common/item_table.h"
#include "dispatcher/core/command_line.h"
#include "dispatcher/failure.h"
#include "dispatcher/package_file.h"
#include "dispatcher/private_folder.h"
#include "dispatcher/core/progress.h"
#include "dispatcher/progress_dialog.h"
#include "dispatcher/runtime_cabinet.h"
#include "dispatcher/system_library.h"
#include "dispatcher/core/text_buffer.h"
#include "dispatcher/core/work_folder.h"

namespace tw::dispatcher {
namespace {

// Another dispatcher is known by this atom, a running runtime by the class
// of its main window.
constexpr char kInstanceAtom[] = "SETUP_DLG";
constexpr char kRuntimeWindowClass[] = "Setup";
// The atom check and its addition are two steps; two packages started at
// the same moment could both pass it. The mutex decides in one.
constexpr char kInstanceMutex[] = "ZETUBODY_SETUP_DLG";

constexpr char kCabinetLibraryName[] = "CABINET.DLL";
constexpr char kCabxpdName[] = "CABXPD32.DLL";
constexpr char kRuntimeName[] = "_Setup.exe";
constexpr char kRuntimeDllName[] = "_SETUP.DLL";

// The exit codes deployment tools read: the runtime's own, or this when the
// dispatcher could not start it.
constexpr DWORD kExitFailed = 1603;

struct Dispatcher {
  HINSTANCE instance = nullptr;
  char tempPath[kPathCapacity] = {};
  char workFolder[kPathCapacity] = {};
  char packagePath[kPathCapacity] = {};
  DWORD packageError = NO_ERROR;
  // The last target of the extraction; named in the start failure's
  // clean-up.
  char lastTarget[kPathCapacity] = {};
  char commandLine[kCommandLineCapacity + kSwitchesCapacity] = {};
  // The package's own arguments, passed on to the runtime.
  const char* arguments = "";
  bool silent = false;  // no window, no message box
  bool waits = false;   // wait for the runtime and end with its exit code
  DWORD exitCode = kExitFailed;
  // The run log (/LOG) by its full path: a relative name is taken from the
  // folder the package was started in.
  char logPath[kPathCapacity] = {};
  PackageFile package;
  CabinetLibrary cabxpd;
};

// The progress bar's class lives in COMCTL32.DLL, loaded from the system
// folder; the module stays loaded for the dialog's lifetime.
void initCommonControls() {
  HMODULE comctl = loadSystemLibrary("COMCTL32.DLL");
  if (comctl == nullptr) return;
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using InitFn = void(WINAPI*)();
  auto initEx = reinterpret_cast<InitExFn>(reinterpret_cast<void*>(
      GetProcAddress(comctl, "InitCommonControlsEx")));
  if (initEx != nullptr) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    if (initEx(&icc)) return;
  }
  auto init = reinterpret_cast<InitFn>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControls")));
  if (init != nullptr) init();
}

// True when a file in the work folder could be named.
bool workFile(const Dispatcher& d, const char* name, char (&path)[kPathCapacity]) {
  path[0] = '\0';
  // Without a work folder the bare name would point into the current
  // folder, which may be the user's.
  return d.workFolder[0] != '\0' && appendText(path, sizeof path, d.workFolder) &&
         appendText(path, sizeof path, name);
}

void deleteWorkFile(const Dispatcher& d, const char* name) {
  char path[kPathCapacity];
  if (workFile(d, name, path)) DeleteFileA(path);
}

// The folder must be made by this run: a name that exists, or that
// appears between the check and the creation, is passed over. The name is
// random, so that nobody can plant files under it beforehand, and on the NT
// family only this user and the administrators may write into it.
bool createWorkFolder(Dispatcher& d) {
  const DWORD n = GetTempPathA(sizeof d.tempPath, d.tempPath);
  if (n == 0 || n >= sizeof d.tempPath) {
    d.tempPath[0] = '\0';
    return false;
  }
  for (std::uint32_t attempt = 0; attempt < kWorkFolderAttempts; ++attempt) {
    if (!formatWorkFolder(d.tempPath, randomNumber(), d.workFolder, sizeof d.workFolder)) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return false;
    }
    if (GetFileAttributesA(d.workFolder) != INVALID_FILE_ATTRIBUTES) continue;
    if (createPrivateFolder(d.workFolder)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      d.workFolder[0] = '\0';
      return false;
    }
  }
  d.workFolder[0] = '\0';
  SetLastError(ERROR_ALREADY_EXISTS);
  return false;
}

// The check the builder bound for name into this package; false with
// ERROR_FILE_CORRUPT when the package has none.
bool boundCheck(const Dispatcher& d, const char* name, FileCheck* check) {
  HRSRC info = FindResourceA(d.instance, MAKEINTRESOURCEA(kFileChecksResourceId),
                             MAKEINTRESOURCEA(kResTypeRcData));
  HGLOBAL handle = info != nullptr ? LoadResource(d.instance, info) : nullptr;
  const void* data = handle != nullptr ? LockResource(handle) : nullptr;
  if (data == nullptr || !findFileCheck(data, SizeofResource(d.instance, info), name, check)) {
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  return true;
}

// The file in the work folder, opened so that nobody can change, replace or
// delete it while it stays open, and compared with its bound check. On
// success *held is the open handle, to be closed once the file is loaded.
bool holdCheckedFile(const Dispatcher& d, const char* name, HANDLE* held) {
  *held = INVALID_HANDLE_VALUE;
  FileCheck check;
  if (!boundCheck(d, name, &check)) return false;
  char path[kPathCapacity];
  if (!workFile(d, name, path)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  Sha256 hash;
  std::uint8_t buffer[2048];
  std::uint32_t total = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      const DWORD code = GetLastError();
      CloseHandle(file);
      SetLastError(code);
      return false;
    }
    if (got == 0) break;
    hash.update(buffer, got);
    total += got;
  }
  std::uint8_t digest[kSha256Size];
  hash.finish(digest);
  if (total != check.size || !sameDigest(digest, check.digest)) {
    CloseHandle(file);
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  *held = file;
  return true;
}

// Shows the failure and takes back what this run put into the work folder.
// An extraction that broke off leaves the runtime's files, whole or cut;
// they go too, so the folder itself can go. subject is the file a message
// may name.
void generalFailure(Dispatcher& d, const char* subject) {
  logFailure(d.logPath, GetLastError());
  if (!d.silent) showGeneralFailure(subject);
  d.cabxpd.release();
  deleteWorkFile(d, kCabinetLibraryName);
  deleteWorkFile(d, kCabxpdName);
  deleteWorkFile(d, kRuntimeName);
  deleteWorkFile(d, kRuntimeDllName);
  SetCurrentDirectoryA(d.tempPath);
  RemoveDirectoryA(d.workFolder);
}

// Writes item straight from its view into the work folder, after its size
// and digest were found to be those the builder bound for it.
bool writeItem(Dispatcher& d, std::uint32_t item, const char* name) {
  FileCheck check;
  if (!boundCheck(d, name, &check)) return false;
  char path[kPathCapacity];
  if (!workFile(d, name, path)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  ItemMapping view;
  if (!d.package.mapItem(item, &view)) return false;
  if (!matchesFileCheck(check, view.data(), view.size())) {
    view.release();
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    view.release();
    SetLastError(code);
    return false;
  }
  DWORD written = 0;
  bool ok = WriteFile(file, view.data(), view.size(), &written, nullptr) != 0;
  if (ok && written != view.size()) {
    SetLastError(ERROR_HANDLE_DISK_FULL);
    ok = false;
  }
  const DWORD code = GetLastError();
  CloseHandle(file);
  view.release();
  SetLastError(code);
  return ok;
}

// The package's own path, or an empty one and the reason in
// packageError when it cannot be had or does not fit (a cut path would name
// another file; older systems do not even terminate it).
void findPackage(Dispatcher& d) {
  const DWORD n = GetModuleFileNameA(nullptr, d.packagePath, sizeof d.packagePath);
  if (n != 0 && n < sizeof d.packagePath) return;
  d.packageError = n == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  d.packagePath[0] = '\0';
}

bool unpack(Dispatcher& d) {
  if (d.packagePath[0] == '\0') {
    SetLastError(d.packageError);
    return false;
  }
  if (!d.package.open(d.packagePath)) return false;
  catchUp();
  setStageLimit(kStageItem1);

  if (!writeItem(d, kItemCabinetLibrary, kCabinetLibraryName)) return false;
  catchUp();
  setStageLimit(kStageItem2);
  if (!writeItem(d, kItemCabxpd, kCabxpdName)) return false;
  catchUp();
  setStageLimit(kStageRuntime);

  // Both libraries are compared again right before CABXPD32.DLL (which
  // imports CABINET.DLL from its folder) is loaded, and held open against
  // any change until the loader has them.
  HANDLE cabinetHeld = INVALID_HANDLE_VALUE;
  HANDLE cabxpdHeld = INVALID_HANDLE_VALUE;
  bool loaded = holdCheckedFile(d, kCabinetLibraryName, &cabinetHeld) &&
                holdCheckedFile(d, kCabxpdName, &cabxpdHeld) && d.cabxpd.load(d.workFolder);
  const DWORD loadError = GetLastError();
  if (cabinetHeld != INVALID_HANDLE_VALUE) CloseHandle(cabinetHeld);
  if (cabxpdHeld != INVALID_HANDLE_VALUE) CloseHandle(cabxpdHeld);
  SetLastError(loadError);
  if (!loaded) return false;
  ItemMapping runtime;
  if (!d.package.mapItem(kItemRuntimeCabinet, &runtime)) return false;
  if (!d.cabxpd.extract(runtime.data(), runtime.size(), d.workFolder,
                        d.lastTarget))
    return false;
  d.cabxpd.release();
  runtime.release();
  d.package.close();
  return true;
}

// The log named by /LOG, made absolute from the folder the package was
// started in; the runtime, which starts in the work folder, is told that
// folder, so that it appends to the same file.
void findLog(Dispatcher& d) {
  char requested[kPathCapacity];
  char caller[kPathCapacity];
  const DWORD n = GetCurrentDirectoryA(sizeof caller, caller);
  if (n == 0 || n >= sizeof caller) caller[0] = '\0';
  if (caller[0] != '\0') SetEnvironmentVariableA(kCallerFolderVariable, caller);
  if (!logRequested(d.arguments, requested, sizeof requested)) return;
  if (!relativePath(requested)) {
    lstrcpynA(d.logPath, requested, sizeof d.logPath);
    return;
  }
  d.logPath[0] = '\0';
  if (caller[0] == '\0' || !appendText(d.logPath, sizeof d.logPath, caller) ||
      (caller[n - 1] != '\\' && !appendText(d.logPath, sizeof d.logPath, "\\")) ||
      !appendText(d.logPath, sizeof d.logPath, requested))
    d.logPath[0] = '\0';
}

bool startRuntime(Dispatcher& d, HWND dialog) {
  if (!buildRuntimeCommandLine(d.workFolder, d.packagePath, d.arguments, d.commandLine,
                               sizeof d.commandLine)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, d.commandLine, nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  if (d.waits) {
    // The window goes, and the work folder is left, so that the runtime's
    // remover can take it once the runtime has ended.
    if (dialog != nullptr) DestroyWindow(dialog);
    SetCurrentDirectoryA(d.tempPath);
    DWORD code = kExitFailed;
    if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code))
      d.exitCode = code;
  } else {
    d.exitCode = 0;
  }
  CloseHandle(process.hProcess);
  return true;
}

void dispatch(Dispatcher& d) {
  if (!createWorkFolder(d)) {
    logFailure(d.logPath, GetLastError());
    if (!d.silent) showWorkFolderFailure(d.instance, d.tempPath);
    return;
  }
  SetCurrentDirectoryA(d.workFolder);
  // Known early so that every failure box can name the package.
  findPackage(d);
  HWND dialog = nullptr;
  if (!d.silent) {
    if (!registerDialogClass(d.instance)) return generalFailure(d, d.packagePath);
    dialog = createProgressDialog(d.instance);
    if (dialog == nullptr) return generalFailure(d, d.packagePath);
    startAnimation();
  }
  // Without a window the stages are not paced: that pacing is for the eye.
  if (!unpack(d)) return generalFailure(d, d.packagePath);
  if (!d.silent) {
    stopAnimation();
    catchUp();
  }
  if (startRuntime(d, dialog)) return;
  // The runtime's own files go with the general failure; the remover in the
  // temporary path is the last file extracted.
  const DWORD code = GetLastError();
  if (d.lastTarget[0] != '\0') DeleteFileA(d.lastTarget);
  char runtime[kPathCapacity];
  if (!workFile(d, kRuntimeName, runtime)) runtime[0] = '\0';
  SetLastError(code);
  generalFailure(d, runtime);
}

}  // namespace

UINT run() {
  Dispatcher d;
  d.arguments = argumentsAfterProgram(GetCommandLineA());
  d.silent = silentRequested(d.arguments);
  d.waits = d.arguments[0] != '\0';
  findLog(d);
  // Without switches the dispatcher ends with 0 whatever happened, as it
  // always has; a script that passes switches is told.
  const UINT busy = d.waits ? kExitFailed : 0;
  if (!d.silent) initCommonControls();
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);
  if ((mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) ||
      FindWindowA(kRuntimeWindowClass, nullptr) != nullptr || GlobalFindAtomA(kInstanceAtom) != 0) {
    // Another installation runs.
    logFailure(d.logPath, ERROR_ALREADY_EXISTS);
    return busy;
  }
  const ATOM atom = GlobalAddAtomA(kInstanceAtom);
  d.instance = GetModuleHandleA(nullptr);
  dispatch(d);
  if (atom != 0) GlobalDeleteAtom(atom);
  return d.waits ? d.exitCode : 0;
}

}  // namespace tw::dispatcher

// The dispatcher has no C runtime: this is its entry. The DLL search is
// restricted before anything else.
extern "C" void WinMainCRTStartup() {
  tw::win32::restrictDllSearch();
  ExitProcess(tw::dispatcher::run());
}
