// The file-object lists of an uninstallation: files and folders named in
// the profile, and the removal list keys whose folders an installed
// application describes with FILELIST*.DAT files.
#include <windows.h>

#include "setup/core/main/path_text.h"
#include "setup/core/removal/filelist_text.h"
#include "setup/core/registration/registration_rules.h"
#include "setup/core/removal/removal_paths.h"
#include "setup/removal/removal.h"
#include "setup/main/runtime_files.h"
#include "setup/removal/removal_steps.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/type_components.h"

namespace tw {
namespace {

constexpr uint32_t kRootRemovalList = 7;
constexpr uint32_t kValueTypeNumber = 4;
constexpr uint32_t kRemovalListKey = 0xFFFFFFFFu;
constexpr DWORD kValueNameLimit = 100;
constexpr DWORD kValueDataLimit = 512;
// Far more than any list of relative paths; a larger file is not one.
constexpr DWORD kFileListSizeLimit = 1u << 20;

// The whole list file, read before any of its lines is acted on: a list
// may name itself.
bool readListFile(const std::string& path, std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  bool ok = size != INVALID_FILE_SIZE && size <= kFileListSizeLimit;
  if (ok) {
    text.assign(size, '\0');
    DWORD got = 0;
    ok = size == 0 || (ReadFile(file, &text[0], size, &got, nullptr) && got == size);
  }
  CloseHandle(file);
  return ok;
}

// A folder of the removal list: what its lists name, then its empty tree.
void clearListedFolder(std::string folder) {
  folder = withoutBackslash(folder);
  if (isLink(folder)) {
    // A link in the list goes as a link: its lists and its target are not
    // the application's.
    removeLink(folder);
    return;
  }
  folder += '\\';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "FILELIST*.DAT").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    std::vector<std::string> lists;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) lists.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& name : lists) {
      std::string text;
      if (!readListFile(folder + name, text)) continue;
      for (const std::string& entry : fileListEntries(text)) {
        std::string path = folder + entry;
        while (path.size() > folder.size() && path.back() == '\\') path.pop_back();
        // Never through a link: a line "link\\file" would reach outside.
        if (throughLink(folder, path)) continue;
        if (isLink(path)) removeLink(path);
        else if (isDirectory(path)) removeDirectoryTree(path);
        else if (pathExists(path)) deleteRemovedFile(path, false);
      }
    }
  }
  removeDirectoryTree(folder);
}

void clearRemovalListKey(const std::string& keyName) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  std::vector<std::string> paths;
  for (DWORD index = 0;; ++index) {
    char name[kValueNameLimit + 1];
    char data[kValueDataLimit + 1];
    DWORD nameSize = sizeof name, dataSize = kValueDataLimit, type = 0;
    LONG r = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || nameSize == 0 || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
    data[dataSize < sizeof data ? dataSize : kValueDataLimit] = '\0';
    if (data[0]) paths.push_back(data);
  }
  RegCloseKey(key);
  const RunState& s = runState();
  // A list naming a drive or a folder of the system would otherwise strip
  // the whole drive of its empty folders.
  const std::vector<std::string> system = {s.windowsFolder, s.systemFolder, s.programFilesFolder,
                                           s.commonFilesFolder, s.tempFolder};
  for (const std::string& path : paths) {
    if (isDirectory(path)) {
      if (removableListFolder(path, system)) clearListedFolder(path);
      else removalProgress().notAllRemoved = true;
    } else if (pathExists(path)) {
      deleteRemovedFile(path, false);
    }
  }
}

void removeOrder(const std::string& name, uint32_t levels) {
  std::string path = expandRunPath(name);
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  // A folder link goes as the link itself: removing a directory never
  // follows it, and the levels above are the profile's.
  if (isDirectory(path)) {
    bool failed = false;
    removeDirectoryLevels(path, static_cast<int>(levels > 0x7FFF ? 0x7FFF : levels), failed);
    if (failed) removalProgress().notAllRemoved = true;
  } else if (pathExists(path)) {
    deleteRemovedFile(path, false);
  }
}

}  // namespace

void removeFileObjects(int mode) {
  RunState& s = runState();
  for (int n : typeComponentList(s.selectedType)) {
    if (static_cast<size_t>(n) >= s.components.size() || !componentProcessed(n)) continue;
    const ComponentRecord& component = s.components[n];
    if (!(component.flags & kComponentRegistry) || ((component.flags >> 16) & 0xFF) != kRootRemovalList) continue;
    for (const ProfileEntry& entry : component.entries) {
      if (entry.depth != 1 || !(entry.flags & kEntryFile) || (entry.flags & 7) != kValueTypeNumber) continue;
      size_t zero = entry.text.find('\0');
      if (zero == std::string::npos) continue;
      std::optional<uint32_t> order = dwordFromHex(entry.text.substr(zero + 1));
      if (!order) continue;  // not a number: no order to act on
      std::string name = entry.text.substr(0, zero);
      if (*order == kRemovalListKey) {
        if (mode == 3) clearRemovalListKey(name);
      } else {
        removeOrder(name, *order);
      }
    }
  }
  setUninstallProgress(10);
}

}  // namespace tw
