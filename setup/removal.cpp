// The hand-off to the folder remover at the end of every run, the start
// of an uninstallation, and the removal run itself.
#include "setup/removal.h"

#include <string>

#include "setup/core/registration_rules.h"
#include "setup/core/startup_rules.h"
#include "setup/core/wininit_text.h"
#include "setup/registration_run.h"
#include "setup/removal_steps.h"
#include "setup/runtime_messages.h"
#include "setup/runtime_state.h"
#include "setup/system_folders.h"

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

std::string ownProgramPath() {
  char path[513];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path - 1);
  path[n < sizeof path ? n : sizeof path - 1] = '\0';
  return path;
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
      std::string edited = withRenameDeletions(text, paths);
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
    addWininitDeletions(paths);
    return;
  }
  for (const std::string& p : paths) MoveFileExA(p.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool startRemover(const std::string& remover, const std::string& folder, const std::string& temp) {
  std::string command = "\"" + remover + "\" ZETUREMOVE \"" + folder + "\" " + std::to_string(GetCurrentProcessId());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  // Handles are inherited for the removal lock (the only inheritable one).
  if (!CreateProcessA(remover.c_str(), &command[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      temp.empty() ? nullptr : temp.c_str(), &startup, &process)) {
    showSystemError(nullptr, 0);
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void deleteUninstallEntry() {
  const RunState& s = runState();
  std::string version = s.versionText;
  if (!version.empty() && version[0] == ' ') version.erase(0, 1);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, uninstallKeyPath(s.applicationName, version).c_str());
}

std::string withoutBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

RemovalProgress& removalProgress() {
  static RemovalProgress progress;
  return progress;
}

int removalHandOff(bool uninstall) {
  RunState& s = runState();
  std::string temp = systemTempFolder();
  std::string remover = temp + kRemoverName;
  if (!uninstall) {
    // The dispatcher's remover takes the work folder once we have ended.
    startRemover(remover, s.supportFolder, temp);
    deleteAtRestart({remover});
    return 0;
  }

  int kind = readInstallRecord(false) & 3;
  if (kind != kKindRegistryOnly) deleteUninstallEntry();
  if (kind != kKindFull) return kind;

  // A copy of this program in the temporary folder removes the
  // installation directory, this program's own folder, once we have ended.
  std::string self = ownProgramPath();
  std::string removerDll = temp + kRemoverDllName;
  if (!CopyFileA(self.c_str(), remover.c_str(), FALSE) ||
      !CopyFileA(resourceDllPath(self).c_str(), removerDll.c_str(), FALSE)) {
    // Never start whatever ZETURFD.EXE an earlier run left there: the
    // removal goes on here instead.
    showSystemError(nullptr, 0);
    return kModeInPlace;
  }
  std::string folder = withoutBackslash(s.installDir.empty() ? s.supportFolder : s.installDir);
  bool started = startRemover(remover, folder, temp);
  deleteAtRestart({remover, removerDll});
  return started ? kKindFull : kModeInPlace;
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
