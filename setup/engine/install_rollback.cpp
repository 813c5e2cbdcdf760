// The install run's journal over Win32: the file services of an undo, the
// noted registry, and the end of a run.
#include "setup/engine/install_rollback.h"

#include <vector>

#include "language/ids.h"
#include "setup/core/wizard/destination_walk.h"
#include "setup/registration/registry_tree.h"
#include "setup/main/runtime_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenames[] = "PendingFileRenameOperations";
constexpr char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr DWORD kWininitLimit = 1u << 20;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool readWhole(const std::string& path, std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr), got = 0;
  bool ok = size != INVALID_FILE_SIZE && size <= kWininitLimit;
  if (ok) {
    text.assign(size, '\0');
    ok = size == 0 || (ReadFile(file, &text[0], size, &got, nullptr) && got == size);
  }
  CloseHandle(file);
  return ok;
}

bool writeWhole(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = text.empty() || (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                             written == text.size());
  CloseHandle(file);
  return ok;
}

class SystemJournalFiles final : public JournalFiles {
 public:
  bool deleteFile(const std::string& path) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) || !exists(path);
  }
  bool moveFile(const std::string& from, const std::string& to) override {
    bool moved = MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    // The 9x family has no replacing rename.
    if (!moved && (!exists(to) || deleteFile(to))) moved = MoveFileA(from.c_str(), to.c_str()) != 0;
    if (moved && forgetHidden(from)) {
      DWORD a = GetFileAttributesA(to.c_str());
      if (a != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(to.c_str(), a & ~FILE_ATTRIBUTE_HIDDEN);
    }
    return moved;
  }
  bool removeDirectory(const std::string& path) override {
    return RemoveDirectoryA(path.c_str()) || !exists(path);
  }
  bool cancelRestartReplacement(const std::string& target, const std::string& temporary) override {
    if (windows9xFamily()) {
      std::string ini = runState().windowsFolder + "\\WININIT.INI", text;
      if (!readWhole(ini, text)) return false;
      std::string edited = withoutRenameLine(text, target, temporary);
      return edited == text || writeWhole(ini, edited);
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
      return false;
    DWORD type = 0, size = 0;
    bool ok = false;
    if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::vector<uint8_t> value(size), edited;
      if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, value.data(), &size) == ERROR_SUCCESS) {
        value.resize(size);
        if (withoutPendingRename(value, temporary, edited)) {
          ok = edited.size() <= 1 ? RegDeleteValueA(key, kPendingRenames) == ERROR_SUCCESS
                                  : RegSetValueExA(key, kPendingRenames, 0, REG_MULTI_SZ, edited.data(),
                                                   static_cast<DWORD>(edited.size())) == ERROR_SUCCESS;
        }
      }
    }
    RegCloseKey(key);
    return ok;
  }
  bool exists(const std::string& path) override { return tw::exists(path); }
  bool renameAside(const std::string& from, const std::string& to) override {
    DWORD a = GetFileAttributesA(from.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (!MoveFileA(from.c_str(), to.c_str())) return false;
    if (!(a & FILE_ATTRIBUTE_HIDDEN)) {
      SetFileAttributesA(to.c_str(), a | FILE_ATTRIBUTE_HIDDEN);
      hidden_.push_back(to);
    }
    return true;
  }

 private:
  bool forgetHidden(const std::string& path) {
    for (size_t i = 0; i < hidden_.size(); ++i)
      if (hidden_[i] == path) {
        hidden_.erase(hidden_.begin() + static_cast<long>(i));
        return true;
      }
    return false;
  }
  std::vector<std::string> hidden_;  // kept originals that were hidden by the run
};

struct RunJournal {
  bool active = false;
  InstallJournal journal;
  SystemJournalFiles files;
  LoggedRegistry system;
  JournalingRegistry noting{system, journal};
};

RunJournal& runJournal() {
  static RunJournal journal;
  return journal;
}

RegistryRoot rootOf(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return RegistryRoot::ClassesRoot;
  if (root == HKEY_CURRENT_USER) return RegistryRoot::CurrentUser;
  if (root == HKEY_USERS) return RegistryRoot::Users;
  return RegistryRoot::LocalMachine;
}

bool writeValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
  RegistryKeys& registry = runRegistry();
  RegistryKeys::Key key;
  if (!registry.open(registry.root(rootOf(root)), path, true, key)) return false;
  bool ok = registry.setValue(key, name ? name : "", type, data, size);
  registry.close(key);
  return ok;
}

// A message box that is shown even with a quit message waiting: the box's
// own loop would end at once on it.
void showWithPendingQuit(const std::string& text, UINT style) {
  MSG quit;
  bool pending = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  RunState& s = runState();
  HWND owner = s.progressDialog ? s.progressDialog : s.currentDialog ? s.currentDialog : s.mainWindow;
  Prompt p;
  p.owner = owner;
  p.text = text;
  p.style = style;
  askUser(p);
  if (pending) PostQuitMessage(static_cast<int>(quit.wParam));
}

}  // namespace

void beginRunJournal() {
  RunJournal& r = runJournal();
  r.journal.clear();
  r.system.failures = 0;
  r.active = true;
}

bool runJournalActive() { return runJournal().active; }

RegistryKeys& runRegistry() {
  RunJournal& r = runJournal();
  return r.active ? static_cast<RegistryKeys&>(r.noting) : static_cast<RegistryKeys&>(r.system);
}

size_t runRegistryFailures() { return runJournal().system.failures; }

bool prepareRunFile(const std::string& path) {
  RunJournal& r = runJournal();
  if (!r.active) return true;
  return prepareFileWrite(r.journal, r.files, path);
}

int createRunFolders(const std::string& path, std::string& blocker) {
  RuntimeFileSystem files;
  AncestorWalk walk = walkToExisting(files, path, kMaxFolderPath, true);
  if (!walk.found()) return -1;
  if (!walk.existingInfo.directory) {
    blocker = walk.existing;
    return -2;
  }
  RunJournal& r = runJournal();
  int created = 0;
  for (size_t i = walk.missing.size(); i-- > 0;) {
    if (!CreateDirectoryA(walk.missing[i].c_str(), nullptr)) return -1;
    logEvent(LogKind::Folder, walk.missing[i]);
    if (r.active) r.journal.directoryCreated(walk.missing[i]);
    ++created;
  }
  return created;
}

void noteRunFileCreated(const std::string& path) {
  RunJournal& r = runJournal();
  if (r.active && !exists(path)) r.journal.fileCreated(path);
}

void noteRestartReplacement(const std::string& target, const std::string& temporary) {
  RunJournal& r = runJournal();
  if (r.active) r.journal.restartReplacement(target, temporary);
}

bool runWriteText(HKEY root, const std::string& path, const char* name, const std::string& text, bool withZero) {
  return writeValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + (withZero ? 1 : 0)));
}

bool runWriteDword(HKEY root, const std::string& path, const char* name, DWORD value) {
  return writeValue(root, path, name, REG_DWORD, &value, sizeof value);
}

bool raiseRunSharedCount(const std::string& path) {
  RegistryKeys& registry = runRegistry();
  RegistryKeys::Key key;
  if (!registry.open(registry.root(RegistryRoot::LocalMachine), kSharedDlls, true, key)) return false;
  uint32_t type = 0;
  std::vector<uint8_t> data;
  DWORD count = 0;
  if (registry.readValue(key, path, type, data) && type == REG_DWORD && data.size() == sizeof count)
    count = DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
  ++count;
  bool ok = registry.setValue(key, path, REG_DWORD, &count, sizeof count);
  registry.close(key);
  return ok;
}

bool replaceFileSafely(const std::string& replacement, const std::string& path) {
  if (MoveFileExA(replacement.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // Without a replacing rename: the original steps aside, the new file
  // takes its place, and only then does the original go.
  DWORD error = GetLastError();
  SystemJournalFiles files;
  std::string aside;
  for (unsigned attempt = 0x800; attempt < 0x900 && aside.empty(); ++attempt) {
    std::string name = keepAsideName(path, attempt);
    if (!exists(name)) aside = name;
  }
  if (aside.empty() || !MoveFileA(path.c_str(), aside.c_str())) {
    SetLastError(error);
    return false;
  }
  if (!MoveFileA(replacement.c_str(), path.c_str())) {
    error = GetLastError();
    MoveFileA(aside.c_str(), path.c_str());
    SetLastError(error);
    return false;
  }
  files.deleteFile(aside);
  return true;
}

void endRunJournal(bool succeeded, bool cancelled) {
  RunJournal& r = runJournal();
  if (!r.active) return;
  r.active = false;
  if (succeeded) {
    r.journal.commit(r.files);
    return;
  }
  UndoResult result = r.journal.undo(r.files, r.system);
  runState().restartNeeded = false;
  std::string text;
  if (result.complete()) {
    text = languageString(cancelled ? STR_RUN_CANCELLED : STR_RUN_FAILED);
  } else {
    text = languageString(STR_RUN_NOT_UNDONE);
    size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, result.left.front());
  }
  if (!text.empty()) showWithPendingQuit(text, MB_OK | (result.complete() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

}  // namespace tw
