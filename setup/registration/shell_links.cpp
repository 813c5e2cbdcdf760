// Shell folders, shell links and their removal.
#include "setup/registration/shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "setup/core/main/path_text.h"

namespace tw {
namespace {

constexpr char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr DWORD kFolderChars = 256;

// The classes and interfaces by value: the runtime links no uuid library.
const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool readFolderValue(const char* keyName, const char* name, std::string& out) {
  HKEY key;
  std::string path = std::string(kExplorer) + keyName;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  char raw[kFolderChars + 1] = {};
  DWORD size = kFolderChars, type = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(raw), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || raw[0] == 0) return false;
  if (type == REG_EXPAND_SZ) {
    char expanded[kFolderChars + 1];
    DWORD n = ExpandEnvironmentStringsA(raw, expanded, kFolderChars);
    if (n == 0 || n > kFolderChars) return false;
    out = expanded;
  } else {
    out = raw;
  }
  out = withoutBackslash(out);
  return true;
}

std::wstring wide(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
  return out;
}

}  // namespace

std::string shellFolderPath(const char* name, bool fallback) {
  std::string folder;
  if (readFolderValue("User Shell Folders", name, folder)) return folder;
  if (fallback && readFolderValue("Shell Folders", name, folder)) return folder;
  return std::string();
}

bool createShellLink(const LinkFields& link, const std::string& linkPath) {
  IShellLinkA* shellLink = nullptr;
  if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA,
                              reinterpret_cast<void**>(&shellLink))))
    return false;
  shellLink->SetPath(link.target.c_str());
  shellLink->SetArguments(link.arguments.c_str());
  shellLink->SetDescription(link.description.c_str());
  shellLink->SetWorkingDirectory(link.workDir.c_str());
  // An icon index without an icon file means the target's icon.
  if (!link.iconFile.empty() || link.iconIndex > 0)
    shellLink->SetIconLocation(link.iconFile.empty() ? link.target.c_str() : link.iconFile.c_str(), link.iconIndex);
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(kPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(wide(linkPath).c_str(), TRUE));
    file->Release();
  }
  shellLink->Release();
  return saved;
}

void deleteShellLink(const std::string& linkPath, const std::string& base) {
  if (GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
    std::string from = linkPath + '\0';  // the list ends with a second zero
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&op);
  }
  for (std::string folder = parentPath(linkPath); folder.size() > base.size() && folder.compare(0, base.size(), base) == 0;
       folder = parentPath(folder))
    if (!RemoveDirectoryA(folder.c_str())) break;
}

}  // namespace tw
