// The install run: the check pass that sums the space a copy needs, the
// copy pass that extracts every chosen component's cabinet into its
// target directory and installs the uninstaller with its record, and the
// network pass that takes only the update files.
#include "setup/engine/install_engine.h"

#include <windows.h>

#include <commctrl.h>
#include <fdi.h>

#include "common/uninstall_record.h"
#include "language/ids.h"
#include "setup/engine/cabinet_binding.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/engine/install_rollback.h"
#include "setup/engine/install_run.h"
#include "setup/core/wizard/destination_walk.h"
#include "setup/core/main/path_text.h"
#include "setup/engine/package_view.h"
#include "setup/registration/registration_run.h"
#include "setup/main/runtime_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/type_components.h"
#include "setup/wizard/unattended_run.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr uint32_t kCabinetRegisterAndRelease = 3;

void setBar(HWND dialog, int percent) {
  if (dialog) SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

INT_PTR CALLBACK checkProgressProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

HWND createCheckProgress() {
  RunState& s = runState();
  if (!userInterface().showsProgress()) return nullptr;
  HWND owner = s.currentDialog ? s.currentDialog : s.mainWindow;
  for (int id : {210, 220}) {
    if (!FindResourceA(s.resources, MAKEINTRESOURCEA(id), RT_DIALOG)) continue;
    HWND dialog = CreateDialogParamA(s.resources, MAKEINTRESOURCEA(id), owner, checkProgressProc, 0);
    if (!dialog) return nullptr;
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    EnableWindow(GetDlgItem(dialog, 1), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_BACK), FALSE);
    centerDialog(dialog, nullptr);
    return dialog;
  }
  return nullptr;
}

void waitPumping(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    pumpPending();
    Sleep(25);
  }
}

// The errors of a run, in a box with caption "Setup" and the warning icon.
void showFailure(const RunFailure& f) {
  switch (f.kind) {
    case RunFailure::Message:
      showMessage(f.message, MB_OK | MB_ICONWARNING, f.argument.empty() ? nullptr : f.argument.c_str());
      break;
    case RunFailure::Win32:
    case RunFailure::OutOfMemory: {
      DWORD code = f.kind == RunFailure::OutOfMemory ? ERROR_NOT_ENOUGH_MEMORY : f.code;
      char system[512] = "";
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, system,
                     sizeof system, nullptr);
      char text[700];
      wsprintfA(text, "Win32-Fehler. Code: %d.\n%s", static_cast<int>(code), system);
      RunState& s = runState();
      reportError(s.currentDialog ? s.currentDialog : s.mainWindow, text, MB_OK | MB_ICONWARNING);
      break;
    }
    default:
      break;
  }
}

bool offersUninstaller() {
  std::string text;
  return readSettingString(runProfile(), kSettingInstallSetup, text) ||
         readSettingString(runProfile(), kSettingInstallRemoval, text) ||
         profileHasType(3);
}


INT_PTR DIAMONDAPI skipEveryFile(FDINOTIFICATIONTYPE, PFDINOTIFICATION) { return 0; }

// The cabinet library checks a whole cabinet (sizes, offsets, checksums)
// before it hands out the first file; with every file skipped that check
// is all it does. The check pass runs it for components whose folder does
// not exist yet, so that a damaged package is refused before anything is
// installed.
bool cabinetSound(PackageView& package, CabinetBinding& cabinet, int cabinetIndex) {
  uint32_t size = 0;
  if (cabinetIndex < 0) return false;
  const void* image = package.mapItem(kItemFirstComponent + static_cast<uint32_t>(cabinetIndex), size);
  if (!image) return false;
  ERF error = {};
  bool ok = cabinet.createMemoryFile(image, size, kCabinetRegisterAndRelease) &&
            cabinet.decompressCab(nullptr, reinterpret_cast<void*>(skipEveryFile), nullptr, &error, nullptr);
  package.unmapItem();
  return ok;
}

// The record of an earlier installation of this application into the same
// folder, from the SETUP.EXE about to be replaced: what that installation
// created stays the removal's to take, also after this run.
bool readEarlierRecord(const std::string& path, UninstallRecord& record) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr), got = 0;
  std::vector<uint8_t> bytes;
  bool read = size != INVALID_FILE_SIZE && size < (64u << 20);
  if (read) {
    bytes.resize(size);
    read = size == 0 || (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
  }
  CloseHandle(file);
  uint16_t type = 0, count = 0;
  uint32_t length = 0;
  if (!read || readUninstallTrailer(bytes.data(), bytes.size(), type, count, length) != UninstallRecordError::ok)
    return false;
  const RunState& s = runState();
  if (count != s.components.size()) return false;
  std::vector<int> counts;
  for (int n : typeComponentList(type)) {
    if (n < 0 || static_cast<size_t>(n) >= s.components.size()) return false;
    counts.push_back((s.components[n].flags & kComponentRegistry) ? -1 : s.components[n].fileCount);
  }
  return decodeUninstallRecord(bytes.data(), bytes.size(), counts, record) == UninstallRecordError::ok;
}

// Folds an earlier record into this run's: the larger count of created
// directory levels and every file either run installed.
void mergeEarlierRecord(UninstallRecord& record, const UninstallRecord& earlier) {
  if (earlier.installDirLevels > record.installDirLevels) record.installDirLevels = earlier.installDirLevels;
  std::vector<int> now = typeComponentList(record.installType), before = typeComponentList(earlier.installType);
  for (size_t i = 0; i < now.size() && i < record.entries.size(); ++i) {
    for (size_t j = 0; j < before.size() && j < earlier.entries.size(); ++j) {
      if (before[j] != now[i]) continue;
      UninstallEntry& e = record.entries[i];
      const UninstallEntry& old = earlier.entries[j];
      if (old.value < 0) break;
      if (e.value < 0) {
        // Installed before, not by this run: the earlier entry stands.
        if (e.value == kEntryFileSkipped) e = old;
        break;
      }
      if (old.value > e.value) e.value = old.value;
      if (e.files.count() == old.files.count())
        for (uint16_t k = 0; k < e.files.count(); ++k)
          if (old.files.test(k)) e.files.set(k);
      break;
    }
  }
}

class FileEngine final : public InstallEngine {
 public:
  bool installRun(unsigned modeBits) override;
  bool registrationRun(RegistrationDirection direction, int mode) override {
    return runRegistration(direction, mode);
  }
  void endRun(bool succeeded) override { endRunJournal(succeeded, cancelled_); }

 private:
  bool cancelled_ = false;
  bool processComponents(InstallRun& run, PackageView& package, CabinetBinding& cabinet, UninstallRecord* record);
  bool extract(InstallRun& run, PackageView& package, CabinetBinding& cabinet, int cabinetIndex);
};

bool FileEngine::extract(InstallRun& run, PackageView& package, CabinetBinding& cabinet, int cabinetIndex) {
  uint32_t size = 0;
  const void* image = package.mapItem(kItemFirstComponent + static_cast<uint32_t>(cabinetIndex), size);
  if (!image) {
    run.fail(GetLastError() == ERROR_FILE_CORRUPT ? RunFailure::Message : RunFailure::Win32, STR_MSG_DAMAGED);
    return false;
  }
  ERF error = {};
  bool ok = cabinet.createMemoryFile(image, size, kCabinetRegisterAndRelease) &&
            cabinet.decompressCab(nullptr, notifyCallback(), progressCallback(), &error, &run);
  package.unmapItem();
  if (run.failure.kind != RunFailure::None) return false;
  if (ok) return true;
  switch (error.erfOper) {
    case FDIERROR_ALLOC_FAIL:
      run.fail(RunFailure::OutOfMemory);
      return false;
    case FDIERROR_TARGET_FILE:
      run.fail(RunFailure::Win32);
      return false;
    case FDIERROR_USER_ABORT:
      run.fail(RunFailure::Abort);
      return false;
    default:
      // Whatever else stops the library means the cabinet is not what the
      // build wrote: a damaged package, never a silent success.
      run.fail(RunFailure::Message, STR_MSG_DAMAGED);
      return false;
  }
}

bool FileEngine::processComponents(InstallRun& run, PackageView& package, CabinetBinding& cabinet,
                                   UninstallRecord* record) {
  RunState& s = runState();
  for (int number : typeComponentList(s.selectedType)) {
    if (number < 0 || static_cast<size_t>(number) >= s.table.size() ||
        static_cast<size_t>(number) >= s.components.size()) {
      run.fail(RunFailure::Message, STR_MSG_DAMAGED);
      return false;
    }
    ComponentEntry& entry = s.table[number];
    const ComponentRecord& component = s.components[number];
    bool registry = (entry.flags & kComponentRegistry) != 0;
    bool processed = run.check || componentProcessed(number);
    UninstallEntry recorded;
    recorded.value = registry ? (processed ? kEntryRegistryInstalled : kEntryRegistrySkipped)
                              : (processed ? 0 : kEntryFileSkipped);
    if (registry || !processed) {
      if (record) record->entries.push_back(recorded);
      continue;
    }
    entry.files = InstalledFiles(entry.fileCount);
    bool haveTarget = false;
    run.targetDir.clear();
    if (entry.size > 0 || !run.check) {
      run.targetDir = withoutBackslash(expandRunPath(component.path));
      if (run.check) {
        haveTarget = isDirectory(run.targetDir);
      } else {
        std::string blocker;
        int created = createRunFolders(run.targetDir, blocker);
        entry.directoriesCreated = static_cast<int16_t>(created);
        if (created == -2) {
          run.fail(RunFailure::Message, STR_MSG_FILE_IN_THE_WAY, blocker);
          return false;
        }
        if (created == -1) {
          run.fail(RunFailure::Message, STR_MSG_CANNOT_CREATE, run.targetDir);
          return false;
        }
        haveTarget = true;
      }
    }
    if (run.check) entry.needed = 0;
    if (entry.size <= 0) {
      for (uint16_t i = 0; i < entry.fileCount; ++i) entry.files.set(i);
    } else if (!haveTarget) {
      entry.needed = componentSize(entry);
      if (!(entry.flags & kComponentUncompressed) && !cabinetSound(package, cabinet, entry.cabinetIndex)) {
        run.fail(RunFailure::Message, STR_MSG_DAMAGED);
        return false;
      }
    } else {
      run.record = &component;
      run.entry = &entry;
      run.fileEntries.clear();
      for (size_t i = 0; i < component.entries.size(); ++i)
        if (component.entries[i].depth == 1) run.fileEntries.push_back(i);
      run.current = 0;
      run.index = 0;
      run.versionFromName = true;
      run.newVersion = {};
      entry.progressBytes = 0;
      bool uncompressed = (entry.flags & kComponentUncompressed) != 0;
      entry.progressTotal = uncompressed ? componentSize(entry)
                                         : package.itemSize(kItemFirstComponent + entry.cabinetIndex);
      if (uncompressed) {
        int error = copyFromSource(run, s.sourceFolder);
        if (run.failure.kind != RunFailure::None) return false;
        if (error == FDIERROR_TARGET_FILE) run.fail(RunFailure::Win32);
        if (error == FDIERROR_USER_ABORT) run.fail(RunFailure::Abort);
        if (error) return false;
      } else if (entry.cabinetIndex < 0 || !extract(run, package, cabinet, entry.cabinetIndex)) {
        run.fail(RunFailure::Message, STR_MSG_DAMAGED);
        return false;
      }
      if (run.index == 0 && entry.fileCount > 0) {
        run.fail(RunFailure::Message, STR_MSG_NO_SPACE);
        return false;
      }
      // Placeholders after the last file of the cabinet.
      for (uint16_t i = run.index; i < entry.fileCount; ++i) entry.files.set(i);
    }
    recorded.value = entry.directoriesCreated;
    recorded.files = entry.files;
    if (record) record->entries.push_back(recorded);
  }
  return true;
}

bool FileEngine::installRun(unsigned modeBits) {
  RunState& s = runState();
  InstallRun run;
  run.check = (modeBits & kRunCheckPass) != 0;
  run.network = (modeBits & kRunNetworkPass) != 0;

  if (!run.check) {
    cancelled_ = false;
    beginRunJournal();
  }
  CabinetBinding cabinet;
  PackageView package;
  if (!cabinet.load(s.supportFolder) || !package.open(s.command.packagePath)) {
    run.fail(RunFailure::Win32);
    showFailure(run.failure);
    return false;
  }
  HWND checkDialog = nullptr;
  if (run.check) {
    checkDialog = createCheckProgress();
    run.progress = checkDialog;
    // The pauses let the eye follow the bar; without the dialog there is
    // nothing to follow.
    if (checkDialog) {
      setBar(checkDialog, 10);
      waitPumping(250);
      setBar(checkDialog, 20);
      waitPumping(250);
    }
  } else {
    run.progress = s.progressDialog;
    run.askReadOnly = true;
    run.copyHeading = languageString(STR_COPYING);
    if (run.progress) {
      ShowWindow(GetDlgItem(run.progress, IDC_COPY_HEADING), SW_SHOW);
      ShowWindow(GetDlgItem(run.progress, IDC_CHECK_HEADING), SW_HIDE);
      ShowWindow(GetDlgItem(run.progress, IDC_CURRENT_FILE), SW_SHOW);
    }
  }

  // The uninstaller and its record; the record is written at the end of a
  // successful run only: a failed one takes everything back.
  bool withUninstaller = !run.check && !run.network && offersUninstaller();
  UninstallRecord record, earlier;
  bool haveEarlier = false;
  std::string uninstaller;
  if (withUninstaller) {
    std::string blocker;
    int levels = createRunFolders(s.installDir, blocker);
    if (levels < 0) {
      run.fail(RunFailure::Message, levels == -2 ? STR_MSG_FILE_IN_THE_WAY : STR_MSG_CANNOT_CREATE,
               levels == -2 ? blocker : s.installDir);
    } else {
      record.installDirLevels = static_cast<int16_t>(levels);
      uninstaller = s.installDir + "\\SETUP.EXE";
      std::string dll = s.installDir + "\\SETUP.DLL";
      haveEarlier = readEarlierRecord(uninstaller, earlier);
      // The earlier uninstaller and its module wait aside until the run ends.
      if (!prepareRunFile(uninstaller) || !prepareRunFile(dll) ||
          !CopyFileA((s.supportFolder + "\\_SETUP.EXE").c_str(), uninstaller.c_str(), FALSE) ||
          !CopyFileA((s.supportFolder + "\\_SETUP.DLL").c_str(), dll.c_str(), FALSE)) {
        run.fail(RunFailure::Win32);
        uninstaller.clear();
      }
    }
  }

  bool ok = false;
  for (;;) {
    if (run.failure.kind != RunFailure::None) break;
    run.done = 0;
    run.total = 0;
    for (int number : typeComponentList(s.selectedType)) {
      if (number < 0 || static_cast<size_t>(number) >= s.table.size()) continue;
      const ComponentEntry& e = s.table[number];
      if ((e.flags & kComponentRegistry) || e.size <= 0 || (!run.check && !componentProcessed(number))) continue;
      run.total += run.check || (e.flags & kComponentUncompressed)
                       ? static_cast<uint64_t>(e.size)
                       : package.itemSize(kItemFirstComponent + e.cabinetIndex);
    }
    record.entries.clear();
    ok = processComponents(run, package, cabinet, uninstaller.empty() ? nullptr : &record);
    if (!ok || !run.check) break;
    std::vector<int> list = typeComponentList(s.selectedType);
    std::vector<bool> counted(s.table.size());
    for (int number : list)
      if (number >= 0 && static_cast<size_t>(number) < s.table.size()) counted[number] = componentProcessed(number);
    uint64_t needed = neededBytes(s.table, list, counted);
    // A drive whose free space the system cannot tell is not held against the copy.
    unsigned long long free = 0;
    if (!driveFreeBytes(s.installDir, free) || fitsInFreeSpace(needed, free)) break;
    // Unattended: a full drive fails the run.
    int answer = showMessage(STR_MSG_NO_SPACE, MB_ABORTRETRYIGNORE | MB_ICONQUESTION, nullptr, IDABORT);
    if (answer == IDRETRY) continue;
    // Ignore goes on: the copy itself still finds a full drive, file by
    // file, before it writes a file's data.
    if (answer == IDIGNORE) break;
    // Abort: back to the page to choose another drive; where no page shows
    // the destination, the user is asked whether Setup ends.
    if (modeBits & kRunAskBeforeGivingUp) {
      if (!confirmCancel(checkDialog ? checkDialog : s.currentDialog)) continue;
      noteRunCancelled();
      PostQuitMessage(1);
    }
    ok = false;
    break;
  }
  if (!ok) showFailure(run.failure);
  if (!run.check && run.failure.kind == RunFailure::Abort) cancelled_ = true;
  package.close();
  cabinet.release();

  if (ok && !uninstaller.empty()) {
    // Components the run did not come to count as not installed.
    std::vector<int> list = typeComponentList(s.selectedType);
    for (size_t i = record.entries.size(); i < list.size(); ++i) {
      UninstallEntry missing;
      bool registry = list[i] >= 0 && static_cast<size_t>(list[i]) < s.table.size() &&
                      (s.table[list[i]].flags & kComponentRegistry);
      missing.value = registry ? kEntryRegistrySkipped : kEntryFileSkipped;
      record.entries.push_back(missing);
    }
    record.shortcutFlags = static_cast<uint16_t>((s.quickEntry ? 1 : 0) |
                                                 (s.desktop && !s.programFolder.empty() ? 2 : 0));
    record.programFolder = s.programFolder;
    record.installType = static_cast<uint16_t>(s.selectedType);
    record.componentCount = static_cast<uint16_t>(s.components.size());
    if (haveEarlier) mergeEarlierRecord(record, earlier);
    std::vector<uint8_t> bytes = encodeUninstallRecord(record);
    // Without its record the uninstaller could remove nothing: a record
    // that cannot be written fails the run.
    HANDLE file = CreateFileA(uninstaller.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    bool recorded = file != INVALID_HANDLE_VALUE &&
                    SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && recorded) {
      recorded = false;
      error = GetLastError();
    }
    if (!recorded) {
      run.fail(RunFailure::Win32);
      run.failure.code = error ? error : ERROR_WRITE_FAULT;
      showFailure(run.failure);
      ok = false;
    }
  }
  if (checkDialog) DestroyWindow(checkDialog);
  if (run.progress && !run.check) SetDlgItemTextA(run.progress, IDC_CURRENT_FILE, "");
  if (ok && !run.check) setBar(run.progress, 90);
  return ok;
}

}  // namespace

InstallEngine& installEngine() {
  static FileEngine engine;
  return engine;
}

}  // namespace tw
