// Reading and writing the per-user installation record.
#include "setup/registration/install_record.h"

#include <windows.h>

#include "setup/core/registration/registration_rules.h"
#include "setup/engine/install_rollback.h"
#include "setup/registration/registration_run.h"
#include "setup/registration/registry_tree.h"
#include "setup/main/runtime_state.h"

namespace tw {
namespace {

constexpr DWORD kFolderBytes = 100;

std::string recordPath() {
  ApplicationIdentity id = applicationIdentity();
  return installRecordKeyPath(id.company, id.application, id.version);
}

bool readText(HKEY key, const char* name, DWORD maxBytes, std::string& out) {
  std::string buffer(maxBytes + 1, '\0');
  DWORD size = maxBytes, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  out = buffer.c_str();
  return true;
}

}  // namespace

ApplicationIdentity applicationIdentity() {
  ApplicationIdentity id;
  readSettingString(runProfile(), kSettingCompany, id.company);
  readSettingString(runProfile(), kSettingApplication, id.application);
  readSettingString(runProfile(), kSettingVersion, id.version);
  return id;
}

int readInstallRecord(bool loadChoices) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, recordPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
  std::string type;
  readText(key, "TYPE", 32, type);
  int result = static_cast<int>(installKindFromText(type)) | kRecordFound;
  if (loadChoices) {
    RunState& s = runState();
    // A longer name than the record holds is left alone rather than cut.
    std::string folder;
    if (readText(key, "SMFOLDER", kFolderBytes, folder)) s.programFolder = folder;
    DWORD links = 0, size = sizeof links, valueType = 0;
    if (RegQueryValueExA(key, "SMFILELINK", nullptr, &valueType, reinterpret_cast<BYTE*>(&links), &size) ==
            ERROR_SUCCESS &&
        valueType == REG_DWORD) {
      s.quickEntry = (links & 1) != 0;
      s.desktop = (links & 2) != 0;
    }
  }
  RegCloseKey(key);
  return result;
}

bool writeInstallRecord(int kind, const std::string& programFolder, unsigned linkBits) {
  int stored = readInstallRecord(false) & 3;
  InstallKind broader = broaderKind(static_cast<InstallKind>(stored), static_cast<InstallKind>(kind));
  std::string path = recordPath();
  return runWriteText(HKEY_CURRENT_USER, path, "TYPE", installKindText(broader)) &&
         runWriteText(HKEY_CURRENT_USER, path, "SMFOLDER", programFolder) &&
         runWriteDword(HKEY_CURRENT_USER, path, "SMFILELINK", linkBits);
}

}  // namespace tw
