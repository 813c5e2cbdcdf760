// The hand-off to the folder remover at the end of every run, the start
// of an uninstallation, and the removal run itself.
#include "setup/removal/removal.h"

#include <string>

#include "setup/core/registration/registration_rules.h"
#include "setup/core/main/path_text.h"
#include "setup/core/main/startup_rules.h"
#include "setup/core/removal/wininit_text.h"
#include "setup/registration/registration_run.h"
#include "setup/main/runtime_files.h"
#include "setup/removal/removal_steps.h"
#include "setup/main/run_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/wizard/unattended_run.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr char kRemoverName[] = "ZETURFD.EXE";
constexpr char kRemoverDllName[] = "ZETURFD.DLL";
constexpr int kKindRegistryOnly = 1;
constexpr int kKindFull = 3;
// The in-place removal that stands in when the copy cannot be made or
// started: everything but the uninstaller itself and its folder.
constexpr int kModeInPlace = 0;
// WININIT.INI is small; a larger file is not edited.
constexpr DWORD kWininitSizeLimit = 1u << 20;

std::string systemTempFolder() {
  const RunState& s = runState();
  if (!s.tempFolder.empty()) return s.tempFolder;
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string windowsFolder() {
  const RunState& s = runState();
  if (!s.windowsFolder.empty()) return s.windowsFolder;
  char buffer[MAX_PATH];
  UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

void addWininitDeletions(const std::vector<std::string>& paths) {
  std::string ini = windowsFolder();
  if (ini.empty()) return;
  if (ini.back() != '\\') ini += '\\';
  ini += "WININIT.INI";
  HANDLE file = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD size = GetFileSize(file, nullptr);
  std::string text;
  DWORD got = 0;
  if (size != INVALID_FILE_SIZE && size <= kWininitSizeLimit) {
    text.assign(size, '\0');
    if (size == 0 || (ReadFile(file, &text[0], size, &got, nullptr) && got == size)) {
      // The 9x family carries the lines out before long names exist: the
      // files go by their short names (they exist now, so they have one).
      std::vector<std::string> shortPaths;
      for (const std::string& p : paths) {
        char buffer[MAX_PATH];
        DWORD n = GetShortPathNameA(p.c_str(), buffer, sizeof buffer);
        shortPaths.push_back(n > 0 && n < sizeof buffer ? std::string(buffer, n) : p);
      }
      std::string edited = withRenameDeletions(text, shortPaths);
      DWORD written = 0;
      if (edited != text && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0)
        WriteFile(file, edited.data(), static_cast<DWORD>(edited.size()), &written, nullptr);
    }
  }
  CloseHandle(file);
}

// The remover (and in uninstallation its DLL) goes at the next restart.
void deleteAtRestart(const std::vector<std::string>& paths) {
  if (windows9xFamily()) {
    // WININIT.INI deletes files only.
    std::vector<std::string> files;
    for (const std::string& p : paths)
      if (!isDirectory(p)) files.push_back(p);
    addWininitDeletions(files);
    return;
  }
  for (const std::string& p : paths) MoveFileExA(p.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// Starts the remover (already compared and held unchangeable by the
// caller) with the folder it is to take.
bool startRemover(const std::string& remover, const std::string& folder, const std::string& workingFolder,
                  bool uninstall) {
  // An unattended removal stays unattended in the copy, with the same log.
  std::string command = "\"" + remover + "\" ZETUREMOVE \"" + folder + "\" " + std::to_string(GetCurrentProcessId()) +
                        (uninstall ? switchesForCopy() : std::string());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  // Handles are inherited for the removal lock (the only inheritable one).
  if (!CreateProcessA(remover.c_str(), &command[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process)) {
    showSystemError(nullptr, 0);
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// Reads a whole file (at most 64 MB); false with the last error set.
bool readWhole(const std::string& path, std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  bool ok = size != INVALID_FILE_SIZE && size <= (64u << 20);
  DWORD got = 0;
  if (ok) {
    bytes.assign(size, 0);
    ok = size == 0 || (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
  }
  DWORD code = ok ? NO_ERROR : GetLastError();
  CloseHandle(file);
  if (!ok) SetLastError(code == NO_ERROR ? ERROR_READ_FAULT : code);
  return ok;
}

// The end of an installation: the dispatcher's remover, compared with the
// check the builder bound for it, is written into a fresh run folder and
// started from there to take the work folder once this process has ended.
void handOffWorkFolder(const std::string& workFolder, const std::string& temp) {
  const std::string source = temp + kRemoverName;
  std::vector<uint8_t> remover;
  if (!readCheckedFile(source, kRemoverName, remover)) {
    // Changed since the dispatcher wrote it, or gone: never started.
    showRefusedFile(source);
    return;
  }
  std::string runFolder = createRunFolder(temp);
  if (runFolder.empty()) {
    showSystemError(nullptr, 0);
    return;
  }
  const std::string path = runFolder + "\\" + kRemoverName;
  HeldFile held;
  if (!writeNewFile(path, remover) || !holdCheckedFile(path, kRemoverName, held)) {
    if (GetLastError() == ERROR_FILE_CORRUPT) showRefusedFile(path);
    else showSystemError(nullptr, 0);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(runFolder.c_str());
    return;
  }
  // The dispatcher's copy is no longer needed.
  DeleteFileA(source.c_str());
  startRemover(path, workFolder, runFolder, false);
  deleteAtRestart({path, runFolder});
}

// An uninstallation: this program and its resource DLL, as read now, are
// written into a fresh run folder as the remover and its DLL, compared
// again right before the start, and held unchangeable while this process
// lives. False when the copy could not be made or started.
bool handOffUninstall(const std::string& folder, const std::string& temp) {
  std::string self = ownProgramPath();
  std::vector<uint8_t> program, dll;
  if (!readWhole(self, program) || !readWhole(resourceDllPath(self), dll)) {
    showSystemError(nullptr, 0);
    return false;
  }
  std::string runFolder = createRunFolder(temp);
  if (runFolder.empty()) {
    showSystemError(nullptr, 0);
    return false;
  }
  const std::string remover = runFolder + "\\" + kRemoverName;
  const std::string removerDll = runFolder + "\\" + kRemoverDllName;
  uint8_t programDigest[kSha256Size], dllDigest[kSha256Size];
  sha256(program.data(), program.size(), programDigest);
  sha256(dll.data(), dll.size(), dllDigest);
  static HeldFile heldProgram, heldDll;
  bool ok = writeNewFile(remover, program) && writeNewFile(removerDll, dll) && heldProgram.open(remover) &&
            heldDll.open(removerDll);
  if (!ok) {
    showSystemError(nullptr, 0);
  } else if (heldProgram.size != program.size() || !sameDigest(heldProgram.digest, programDigest) ||
             heldDll.size != dll.size() || !sameDigest(heldDll.digest, dllDigest)) {
    showRefusedFile(remover);
    ok = false;
  }
  ok = ok && startRemover(remover, folder, runFolder, true);
  if (!ok) {
    heldProgram.close();
    heldDll.close();
    DeleteFileA(remover.c_str());
    DeleteFileA(removerDll.c_str());
    RemoveDirectoryA(runFolder.c_str());
    return false;
  }
  // The copy loads its DLL while this process still holds both files.
  deleteAtRestart({remover, removerDll, runFolder});
  return true;
}

void deleteUninstallEntry() {
  const RunState& s = runState();
  std::string version = s.versionText;
  if (!version.empty() && version[0] == ' ') version.erase(0, 1);
  std::string key = uninstallKeyPath(s.applicationName, version);
  if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()) == ERROR_SUCCESS)
    logEvent(LogKind::Remove, "HKEY_LOCAL_MACHINE\\" + key + "\\");
}

}  // namespace

RemovalProgress& removalProgress() {
  static RemovalProgress progress;
  return progress;
}

int removalHandOff(bool uninstall) {
  RunState& s = runState();
  std::string temp = systemTempFolder();
  if (!temp.empty() && temp.back() != '\\') temp += '\\';
  if (!uninstall) {
    // Only the dispatcher's work folder of this run is ever taken; any other
    // folder this program runs from (an installation, the desktop) stays.
    std::string workFolder = workFolderToRemove(s.command, ownProgramPath(), temp);
    if (!workFolder.empty() && pathExists(workFolder + "\\_SETUP.DLL")) handOffWorkFolder(workFolder, temp);
    return 0;
  }

  int kind = readInstallRecord(false) & 3;
  if (kind != kKindRegistryOnly) deleteUninstallEntry();
  if (kind != kKindFull) return kind;

  // A copy of this program in a fresh run folder removes the installation
  // directory, this program's own folder, once we have ended. When the copy
  // cannot be made or started the removal goes on here instead.
  std::string folder = withoutBackslash(s.installDir.empty() ? s.supportFolder : s.installDir);
  return handOffUninstall(folder, temp) ? kKindFull : kModeInPlace;
}

bool continuedUninstallTargetIsOurs(const std::string& installDir) {
  std::vector<uint8_t> own, target;
  std::string setup = withoutBackslash(installDir) + "\\SETUP.EXE";
  if (readWhole(ownProgramPath(), own) && readWhole(setup, target) && sameUninstallRecord(own, target)) return true;
  SetLastError(ERROR_ACCESS_DENIED);
  showSystemError(nullptr, 0);
  return false;
}

void uninstallRun(int mode) {
  RunState& s = runState();
  RemovalProgress& progress = removalProgress();
  if (s.installDir.empty()) s.installDir = s.supportFolder;
  createUninstallDialog();
  // The removal acts on what the record says was installed, nothing else.
  s.table.clear();
  std::string recordFile = mode == 2 ? withoutBackslash(s.installDir) + "\\SETUP.EXE" : ownProgramPath();
  int levels = readUninstallRecord(recordFile);
  if (levels < 0) {
    // Nothing is touched without a record of ours.
    progress.notAllRemoved = true;
  } else {
    if (mode != kKindRegistryOnly) {
      removeFileObjects(mode);
      removeInstalledFiles(mode, levels);
    }
    runRegistration(RegistrationDirection::Remove, mode);
  }
  finishUninstallDialog();
  waitForUninstallOk();
}

}  // namespace tw
