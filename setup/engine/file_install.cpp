// Installing one file: the overwrite decision, the shared count, the
// read-only question, files in use replaced at the next restart, the
// space reservation, times and the INI rewrite.
#include <windows.h>

#include <commctrl.h>

#include "language/ids.h"
#include "setup/core/main/path_text.h"
#include "setup/engine/file_version_reader.h"
#include "setup/engine/install_rollback.h"
#include "setup/engine/install_run.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/engine/shared_dll_counter.h"
#include "setup/main/system_folders.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr DWORD kAttributeMask =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool quitRequested() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// Only a plain file name may come from a cabinet: nothing that climbs out
// of the target directory or names a device path.
bool plainName(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return false;
  return name != "." && name != "..";
}

// The 8.3 name of an existing file: the 9x family carries out WININIT.INI
// before long names are available, so a long name there names nothing.
bool shortPath(const std::string& path, std::string& result) {
  char buffer[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) {
    if (n) SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  result.assign(buffer, n);
  return true;
}

// Registered once the temporary file is closed: the system may look at it.
// Both files exist by then (the target is the file in use), so both have
// short names.
bool registerReplacement(const std::string& target, const std::string& temporary) {
  runState().restartNeeded = true;
  bool registered;
  if (windows9xFamily()) {
    std::string ini = runState().windowsFolder + "\\WININIT.INI";
    // A WININIT.INI the run brings into being goes again with it.
    noteRunFileCreated(ini);
    std::string shortTarget, shortTemporary;
    registered = shortPath(target, shortTarget) && shortPath(temporary, shortTemporary) &&
                 WritePrivateProfileStringA("Rename", shortTarget.c_str(), shortTemporary.c_str(), ini.c_str());
  } else {
    // Replacing is the point: without it the move at restart fails, as
    // the file it replaces is there.
    registered =
        MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
  }
  if (registered) noteRestartReplacement(target, temporary);
  return registered;
}

// The paths in an installed INI file expanded. The original stays in place
// until the rewritten file replaces it.
bool rewriteIni(const std::string& path) {
  HANDLE in = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(in, nullptr), got = 0;
  std::string text(size == INVALID_FILE_SIZE ? 0 : size, '\0');
  bool read = size != INVALID_FILE_SIZE && (size == 0 || (ReadFile(in, &text[0], size, &got, nullptr) && got == size));
  CloseHandle(in);
  if (!read) return false;
  std::string folder = path.substr(0, path.find_last_of('\\'));
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.c_str(), "ZEI", 0, temporary)) return false;
  std::string out;
  out.reserve(text.size() + 256);
  for (const TextLine& line : textLines(text)) {
    out += iniLineKeptVerbatim(line.text) ? line.text : expandRunPath(line.text);
    out += line.ending;
  }
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  bool ok = file != INVALID_HANDLE_VALUE &&
            WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr) && written == out.size();
  DWORD error = GetLastError();
  if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && ok) {
    ok = false;
    error = GetLastError();
  }
  if (ok && replaceFileSafely(temporary, path)) return true;
  if (ok) error = GetLastError();
  DeleteFileA(temporary);
  SetLastError(error);
  return false;
}

// Moves the write position to `offset`, 64 bits wide.
bool seekTo(HANDLE file, uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

void advanceEntry(InstallRun& run) { ++run.current; }

// A file another program holds refuses to be opened for writing. Some
// systems would still let it be renamed; it is replaced at the restart
// all the same, never moved away under its user.
bool inUse(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

void countProgress(InstallRun& run, uint64_t bytes, int base, int span) {
  if (run.progress && run.total) {
    SendDlgItemMessageA(run.progress, IDC_PROGRESS, PBM_SETPOS,
                        static_cast<WPARAM>(progressPosition(run.done, run.total, base, span)), 0);
  }
  run.done += bytes;
}

INT_PTR beginFile(InstallRun& run, const FileNote& note) {
  RunState& s = runState();
  while (const ProfileEntry* e = run.currentEntry()) {
    if ((e->flags & (kEntryFile | kEntryPlaceholder)) != (kEntryFile | kEntryPlaceholder)) break;
    run.entry->files.set(run.index++);
    advanceEntry(run);
  }
  const ProfileEntry* e = run.currentEntry();
  std::string name = note.name ? note.name : "";
  if (!e || !(e->flags & kEntryFile)) {
    // More files in the cabinet than its component lists.
    run.fail(RunFailure::Message, STR_MSG_DAMAGED);
    return -1;
  }
  uint32_t flags = e->flags;
  auto mode = static_cast<OverwriteMode>(flags & kEntryModeMask);
  if (mode == OverwriteMode::IfHigherVersion && run.versionFromName) {
    if (auto v = versionFromCabinetName(name)) run.newVersion = *v;
    name = targetNameFromCabinetName(name, true);
  }
  if (!plainName(name)) {
    run.fail(RunFailure::Message, STR_MSG_DAMAGED);
    return -1;
  }
  std::string target = run.targetDir + "\\" + name;

  if (run.check) {
    countProgress(run, note.size, 20, 80);
  } else {
    // The name is repainted at most every 40 ms: with many small files the
    // painting, not the copying, would set the pace.
    DWORD now = GetTickCount();
    if (run.progress && (!run.network || (flags & kEntryUpdate)) && now - run.lastShown >= 40) {
      SetDlgItemTextA(run.progress, IDC_CURRENT_FILE, (run.copyHeading + name).c_str());
      run.lastShown = now;
    }
    run.done += progressFileEntry(name.size());
  }
  // Messages are dispatched between files, often enough for the pages to
  // stay responsive but not for every one of many small files.
  DWORD tick = GetTickCount();
  if (tick - run.lastPumped >= 40) {
    run.lastPumped = tick;
    pumpPending();
    if (!run.check && quitRequested()) {
      run.fail(RunFailure::Abort);
      return -1;
    }
  }

  bool skip = false;
  if (run.network && !(flags & kEntryUpdate)) {
    skip = true;
  }
  WIN32_FIND_DATAA found;
  HANDLE search = skip ? INVALID_HANDLE_VALUE : FindFirstFileA(target.c_str(), &found);
  bool exists = search != INVALID_HANDLE_VALUE;
  if (exists) FindClose(search);
  if (exists && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    run.fail(RunFailure::Win32);
    return -1;
  }
  uint64_t existingSize = exists ? (uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow) : 0;
  if (exists) {
    ExistingFile existing;
    existing.creationTime = uint64_t{found.ftCreationTime.dwHighDateTime} << 32 | found.ftCreationTime.dwLowDateTime;
    if (mode == OverwriteMode::IfHigherVersion) existing.version = readFileVersion(target);
    skip = !replacesExisting(mode, existing, note.date, note.time, run.newVersion);
  }
  if ((flags & kEntryShared) && !run.check && !s.earlierInstallation && !(run.network && !(flags & kEntryUpdate)))
    if (!(runJournalActive() ? raiseRunSharedCount(target) : adjustSharedCount(target, +1) > 0)) {
      run.fail(RunFailure::Win32);
      return -1;
    }

  if (skip) {
    if (!run.check) {
      const char* why = run.network && !(flags & kEntryUpdate) ? "kein Teil der Netzwerkinstallation"
                        : mode == OverwriteMode::IfNewer        ? "vorhandene Datei ist neuer"
                        : mode == OverwriteMode::IfHigherVersion ? "vorhandene Datei hat eine h\xF6here Version"
                                                                 : "wird nie ersetzt";
      logEvent(LogKind::Skip, target + " (" + why + ")");
    }
    run.entry->files.set(run.index++, false);
    advanceEntry(run);
    return 0;
  }
  run.entry->files.set(run.index);
  if (run.check) {
    addFileNeed(*run.entry, note.size, existingSize);
    ++run.index;
    advanceEntry(run);
    return 0;
  }

  if (exists && (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
    if (run.askReadOnly && !(flags & kEntryReadOnly)) {
      bool askAgain = true;
      bool overwrite = userInterface().overwriteReadOnly(s.progressDialog, target, askAgain);
      logEvent(LogKind::Question, target + " ist schreibgesch\xFCtzt: \xFC" "berschreiben -> " +
                                      (overwrite ? "Ja" : "Nein") + (userInterface().asks() ? "" : " (ohne Frage)"));
      if (!askAgain) run.askReadOnly = false;
      if (!overwrite) {
        logEvent(LogKind::Skip, target + " (schreibgesch\xFCtzt)");
        ++run.index;
        advanceEntry(run);
        return 0;
      }
    }
  }
  DWORD attributes = note.attributes & kAttributeMask;
  if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;
  attributes |= FILE_FLAG_SEQUENTIAL_SCAN;
  // The file it replaces waits aside until the run ends; one that cannot
  // be moved is in use and is replaced at the restart.
  bool prepared = !(exists && !(found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && inUse(target)) &&
                  prepareRunFile(target);
  HANDLE file = INVALID_HANDLE_VALUE;
  if (prepared) {
    if (exists && (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && !runJournalActive())
      SetFileAttributesA(target.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = prepared ? GetLastError() : ERROR_SHARING_VIOLATION;
    // A file in use refuses with access denied or, on the NT family, with
    // a sharing violation: its data goes beside it until the restart.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
      std::string temporary = inUseReplacementPath(target);
      if (prepareRunFile(temporary))
        file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        run.replaceAtRestart = target;
        run.temporaryPath = temporary;
      }
    }
    if (file == INVALID_HANDLE_VALUE) {
      run.fail(RunFailure::Shown);
      showSystemError(s.progressDialog, 0);
      return -1;
    }
  }
  if (note.size > 4) {
    for (;;) {
      DWORD written = 0;
      static const char kReserve[4] = {};
      if (seekTo(file, uint64_t{note.size} - 4) && WriteFile(file, kReserve, 4, &written, nullptr) && written == 4)
        break;
      // Unattended: a full drive fails the run.
      if (showMessage(STR_MSG_NO_SPACE, MB_RETRYCANCEL | MB_ICONSTOP, nullptr, IDCANCEL) != IDRETRY) {
        CloseHandle(file);
        run.fail(RunFailure::Abort);
        return -1;
      }
    }
    seekTo(file, 0);
  }
  ++run.index;
  run.fileSize = note.size;
  run.currentTarget = target;
  return reinterpret_cast<INT_PTR>(file);
}

bool endFile(InstallRun& run, HANDLE file, const FileNote& note) {
  FILETIME stamp;
  // The cabinet's DOS time is used as it stands, without a zone shift.
  if (DosDateTimeToFileTime(note.date, note.time, &stamp)) SetFileTime(file, &stamp, &stamp, &stamp);
  // Data the system could not write shows at the latest when the file closes.
  bool ok = CloseHandle(file) != 0;
  const ProfileEntry* e = run.currentEntry();
  if (ok && e && (e->flags & kEntryIni)) {
    std::string name = targetNameFromCabinetName(note.name, (e->flags & kEntryModeMask) == 2 && run.versionFromName);
    ok = rewriteIni(run.replaceAtRestart.empty() ? run.targetDir + "\\" + name : run.temporaryPath);
  }
  if (ok && !run.replaceAtRestart.empty()) ok = registerReplacement(run.replaceAtRestart, run.temporaryPath);
  if (ok && !run.replaceAtRestart.empty())
    logEvent(LogKind::Restart, run.replaceAtRestart + " (in Gebrauch, wird beim Neustart ersetzt)");
  else if (ok)
    logEvent(LogKind::File, run.currentTarget);
  run.replaceAtRestart.clear();
  advanceEntry(run);
  if (!ok) run.fail(RunFailure::Win32);
  return ok;
}

namespace {
struct ReadOnlyQuestion {
  std::string path;
  bool askAgain = true;
};

INT_PTR CALLBACK readOnlyProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  auto* question = reinterpret_cast<ReadOnlyQuestion*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lp);
    question = reinterpret_cast<ReadOnlyQuestion*>(lp);
    formatWithName(dialog, IDC_QUESTION, question->path.c_str());
    centerDialog(dialog, nullptr);
    return TRUE;
  }
  if (msg == WM_COMMAND && (LOWORD(wp) == IDYES || LOWORD(wp) == IDNO || LOWORD(wp) == IDCANCEL)) {
    if (question) question->askAgain = IsDlgButtonChecked(dialog, IDC_ASK_AGAIN) != BST_CHECKED;
    EndDialog(dialog, LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool readOnlyDialog(HWND owner, const std::string& path, bool& askAgain) {
  ReadOnlyQuestion question{path};
  INT_PTR answer = DialogBoxParamA(runState().resources, MAKEINTRESOURCEA(DLG_READ_ONLY), owner, readOnlyProc,
                                   reinterpret_cast<LPARAM>(&question));
  askAgain = question.askAgain;
  return answer == IDYES;
}

}  // namespace tw
