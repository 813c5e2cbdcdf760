// Folder values from the system and the registry.
#include "setup/main/system_folders.h"

#include "setup/core/main/startup_rules.h"

namespace tw {
namespace {

std::string registryString(HKEY root, const char* key, const char* name) {
  HKEY k;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return {};
  char buffer[261] = "";
  DWORD size = sizeof buffer - 1, type = 0;
  LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
  return buffer;
}

std::string systemText(UINT (WINAPI* get)(LPSTR, UINT)) {
  char buffer[MAX_PATH];
  UINT n = get(buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

}  // namespace

void readSystemFolders(RunState& s) {
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  s.tempFolder = n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
  s.systemFolder = systemText(GetSystemDirectoryA);
  s.windowsFolder = systemText(GetWindowsDirectoryA);
  bool nt = !windows9xFamily();
  s.system16Folder = sixteenBitSystemFolder(s.systemFolder, nt);
  DWORD size = sizeof buffer;
  s.userName = GetUserNameA(buffer, &size) && buffer[0] ? buffer : "User";
  const char kVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
  const char kShell[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  s.commonFilesFolder = registryString(HKEY_LOCAL_MACHINE, kVersion, "CommonFilesDir");
  s.programFilesFolder = registryString(HKEY_LOCAL_MACHINE, kVersion, "ProgramFilesDir");
  s.fontsFolder = registryString(HKEY_CURRENT_USER, kShell, "Fonts");
  s.desktopFolder = registryString(HKEY_CURRENT_USER, kShell, "Desktop");
  s.programsFolder = registryString(HKEY_CURRENT_USER, kShell, "Programs");
}

std::string RunFolders::value(const std::string& alias) const {
  const RunState& s = state_;
  if (alias == "<CommonFilesDir>") return s.commonFilesFolder;
  if (alias == "<FontDir>") return s.fontsFolder;
  if (alias == "<InstallDir>") return s.installDir;
  if (alias == "<ProgramFilesDir>") return s.programFilesFolder;
  if (alias == "<SrcDir>") return s.sourceFolder;
  if (alias == "<SupportDir>") return s.supportFolder;
  if (alias == "<TempDir>") return s.tempFolder;
  if (alias == "<UserName>") return s.userName;
  if (alias == "<WinDir>") return s.windowsFolder;
  if (alias == "<WinDisk>") return s.windowsFolder.substr(0, 3);
  if (alias == "<WinSys16Dir>") return s.systemFolder;
  if (alias == "<WinSysDir>") return s.system16Folder;
  return {};
}

std::string expandRunPath(const std::string& text) {
  const RunState& s = runState();
  return expandAliases(text, RunFolders(s), s.components);
}

LONG WINAPI expandForHook(char* buffer, LONG size) {
  if (!buffer || size <= 0) return 0;
  std::string expanded = expandRunPath(buffer);
  lstrcpynA(buffer, expanded.c_str(), size);
  return static_cast<LONG>(expanded.size());
}

bool windows9xFamily() { return (GetVersion() & 0x80000000) != 0; }

bool driveFreeBytes(const std::string& path, unsigned long long& bytes) {
  std::string root = path.size() >= 3 && path[1] == ':' ? path.substr(0, 3) : path;
  if (root.size() == 3) root[2] = '\\';
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) return false;
  bytes = available.QuadPart;
  return true;
}

}  // namespace tw
