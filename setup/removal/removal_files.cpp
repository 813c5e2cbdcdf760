// Removing the recorded files, shared files and directory levels, trees of
// empty folders, and the list of directories still to go.
#include <windows.h>

#include "language/ids.h"
#include "setup/core/main/path_text.h"
#include "setup/core/removal/component_files.h"
#include "setup/removal/removal.h"
#include "setup/main/runtime_files.h"
#include "setup/removal/removal_steps.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/engine/shared_dll_counter.h"
#include "setup/main/system_folders.h"
#include "setup/main/type_components.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

// A tree deeper than this is not one a program made; stopping keeps a
// pathological folder from exhausting the stack.
constexpr int kTreeDepthLimit = 64;

std::vector<std::string>::iterator findPending(const std::string& path) {
  std::vector<std::string>& list = removalProgress().pendingDirectories;
  std::string key = withoutAnyBackslash(path);
  for (auto it = list.begin(); it != list.end(); ++it)
    if (lstrcmpiA(it->c_str(), key.c_str()) == 0) return it;
  return list.end();
}

void addPending(const std::string& path) {
  std::vector<std::string>& list = removalProgress().pendingDirectories;
  if (findPending(path) != list.end()) return;
  if (list.size() == list.capacity()) list.reserve(list.size() + 8);
  list.push_back(withoutAnyBackslash(path));
}

void dropPending(const std::string& path) {
  auto it = findPending(path);
  if (it != removalProgress().pendingDirectories.end()) removalProgress().pendingDirectories.erase(it);
}

bool isDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void removeTree(const std::string& folder, int depth) {
  if (depth < kTreeDepthLimit) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        // Every folder but the entries for itself and its parent, also
        // those whose names start with a dot (".cache").
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || isDotEntry(found.cFileName)) continue;
        std::string child = folder + found.cFileName;
        // A junction, folder link or mount point goes as a link; what it
        // points at is not ours and is never entered.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) removeLink(child);
        else removeTree(child + "\\", depth + 1);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }
  if (RemoveDirectoryA(folder.c_str())) {
    dropPending(folder);
    logEvent(LogKind::Remove, folder);
  } else {
    addPending(folder);
  }
}

class RegistrySharedCounts final : public SharedCounts {
 public:
  long release(const std::string& path) override { return adjustSharedCount(path, -1); }
};

// One component's files: shared counts first, then the bitmap decides.
void removeComponentFiles(int mode, const ComponentRecord& component, const ComponentEntry& entry,
                          const std::string& target) {
  RegistrySharedCounts shared;
  for (const FileToRemove& file : componentFilesToRemove(component, entry.files, target, mode == 2, shared))
    if (!isDirectory(file.path)) deleteRemovedFile(file.path, file.readOnly);
}

}  // namespace

bool isLink(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool throughLink(const std::string& base, const std::string& path) {
  if (path.size() <= base.size()) return false;
  for (size_t sep = path.find('\\', base.size() + 1); sep != std::string::npos; sep = path.find('\\', sep + 1))
    if (isLink(path.substr(0, sep))) return true;
  return false;
}

void removeLink(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  if (a & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
  bool gone = (a & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
  if (!gone && pathExists(path)) removalProgress().notAllRemoved = true;
}

bool pathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void deleteRemovedFile(const std::string& path, bool clearReadOnly) {
  if (clearReadOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileA(path.c_str())) {
    logEvent(LogKind::Remove, path);
  } else if (pathExists(path)) {
    logEvent(LogKind::Keep, path + " (" + systemErrorText(GetLastError()) + ")");
    removalProgress().notAllRemoved = true;
  }
}

int removeDirectoryLevels(std::string path, int count, bool& failed) {
  path = withoutAnyBackslash(path);
  int removed = 0;
  while (removed < count && !path.empty()) {
    if (!RemoveDirectoryA(path.c_str())) {
      if (pathExists(path)) {
        failed = true;
        logEvent(LogKind::Keep, path + "\\ (" + systemErrorText(GetLastError()) + ")");
      }
      break;
    }
    logEvent(LogKind::Remove, path + "\\");
    dropPending(path);
    ++removed;
    path = parentBelowRoot(path);
  }
  return removed;
}

void removeDirectoryTree(const std::string& folder) {
  std::string path = folder;
  if (path.empty()) return;
  if (path.back() != '\\') path += '\\';
  removeTree(path, 0);
}

void retryPendingDirectories() {
  std::vector<std::string> list = removalProgress().pendingDirectories;
  for (const std::string& dir : list) {
    if (RemoveDirectoryA(dir.c_str()) || !pathExists(dir)) dropPending(dir);
    else removalProgress().notAllRemoved = true;
  }
}

void removeInstalledFiles(int mode, int installDirLevels) {
  RunState& s = runState();
  RemovalProgress& progress = removalProgress();
  std::vector<int> list = typeComponentList(s.selectedType);
  uint64_t total = 0, done = 0;
  for (int n : list)
    if (static_cast<size_t>(n) < s.table.size() && s.table[n].directoriesCreated >= 0 &&
        !(s.table[n].flags & kComponentRegistry))
      total += s.table[n].progressTotal;
  bool firstMarked = false;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    int n = *it;
    if (static_cast<size_t>(n) >= s.table.size() || static_cast<size_t>(n) >= s.components.size()) continue;
    const ComponentEntry& entry = s.table[n];
    const ComponentRecord& component = s.components[n];
    if ((entry.flags & kComponentRegistry) || entry.directoriesCreated < 0 || !componentProcessed(n)) continue;
    std::string target = withoutAnyBackslash(expandRunPath(component.path));
    // A component folder (or a folder between the installation directory
    // and it) that has become a link since the installation is not walked
    // through: the files there are not the ones installed.
    std::string installDir = withoutAnyBackslash(s.installDir) + "\\";
    bool linked = isLink(target) ||
                  (target.size() > installDir.size() && lstrcmpiA(target.substr(0, installDir.size()).c_str(),
                                                                  installDir.c_str()) == 0 &&
                   throughLink(installDir, target + "\\"));
    if (linked) progress.notAllRemoved = true;
    else removeComponentFiles(mode, component, entry, target);
    bool failed = false;
    removeDirectoryLevels(target, entry.directoriesCreated, failed);
    // A network installation's folders hold the files it left alone.
    if (failed && mode != 2) progress.notAllRemoved = true;
    done += entry.progressTotal;
    int percent = total ? static_cast<int>(10 + 80ull * done / total) : 90;
    setUninstallProgress(percent);
    if (mode == 3 && percent >= 70 && !firstMarked) {
      markUninstallStep(IDC_MARK1);
      firstMarked = true;
    }
    pumpPending();
  }
  setUninstallProgress(90);
  if (mode != 3) return;
  if (!firstMarked) markUninstallStep(IDC_MARK1);
  deleteRemovedFile(joinPath(s.installDir, "SETUP.EXE"), false);
  deleteRemovedFile(joinPath(s.installDir, "SETUP.DLL"), false);
  bool failed = false;
  int removed = removeDirectoryLevels(s.installDir, installDirLevels, failed);
  if (failed && removed == 0) progress.notAllRemoved = true;
  markUninstallStep(IDC_MARK2);
}

}  // namespace tw
