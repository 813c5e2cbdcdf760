// The entry-tree walks' registry over advapi32.
#include "setup/registration/registry_tree.h"

#include "setup/main/user_interface.h"

namespace tw {
namespace {

HKEY handle(RegistryKeys::Key key) { return reinterpret_cast<HKEY>(key); }

std::string valueName(const std::string& name) { return name.empty() ? std::string("(Standard)") : name; }

}  // namespace

RegistryKeys::Key SystemRegistry::root(RegistryRoot root) {
  static const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                HKEY_USERS,        HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
  return reinterpret_cast<Key>(kRoots[static_cast<int>(root) - 1]);
}

bool SystemRegistry::open(Key parent, const std::string& path, bool create, Key& out) {
  HKEY key;
  LONG rc = create ? RegCreateKeyExA(handle(parent), path.c_str(), 0, nullptr, 0,
                                     KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &key, nullptr)
                   : RegOpenKeyExA(handle(parent), path.c_str(), 0, KEY_READ | KEY_SET_VALUE, &key);
  if (rc != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(rc));
    return false;
  }
  out = reinterpret_cast<Key>(key);
  return true;
}

void SystemRegistry::close(Key key) { RegCloseKey(handle(key)); }

bool SystemRegistry::setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) {
  LONG rc = RegSetValueExA(handle(key), name.empty() ? nullptr : name.c_str(), 0, type,
                           static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  if (rc != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(rc));
  return rc == ERROR_SUCCESS;
}

void SystemRegistry::deleteValue(Key key, const std::string& name) {
  RegDeleteValueA(handle(key), name.empty() ? nullptr : name.c_str());
}

bool SystemRegistry::deleteKey(Key parent, const std::string& path) {
  return RegDeleteKeyA(handle(parent), path.c_str()) == ERROR_SUCCESS;
}

bool LoggedRegistry::open(Key parent, const std::string& path, bool create, Key& out) {
  bool ok = system_.open(parent, path, create, out);
  if (!ok && create) ++failures;
  if (ok && runLog().active()) paths_.push_back({out, pathOf(parent) + "\\" + path});
  return ok;
}

void LoggedRegistry::close(Key key) {
  for (size_t i = paths_.size(); i-- > 0;)
    if (paths_[i].first == key) {
      paths_.erase(paths_.begin() + static_cast<long>(i));
      break;
    }
  system_.close(key);
}

bool LoggedRegistry::setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) {
  bool ok = system_.setValue(key, name, type, data, size);
  if (!ok) ++failures;
  if (ok) logEvent(LogKind::Registry, pathOf(key) + " : " + valueName(name));
  return ok;
}

void LoggedRegistry::deleteValue(Key key, const std::string& name) {
  uint32_t type = 0;
  std::vector<uint8_t> data;
  bool present = runLog().active() && system_.readValue(key, name, type, data);
  system_.deleteValue(key, name);
  if (present && !system_.readValue(key, name, type, data))
    logEvent(LogKind::Remove, pathOf(key) + " : " + valueName(name));
}

bool LoggedRegistry::deleteKey(Key parent, const std::string& path) {
  bool ok = system_.deleteKey(parent, path);
  if (ok) logEvent(LogKind::Remove, pathOf(parent) + "\\" + path + "\\");
  return ok;
}

std::string LoggedRegistry::pathOf(Key key) {
  for (size_t i = paths_.size(); i-- > 0;)
    if (paths_[i].first == key) return paths_[i].second;
  static const char* const kNames[] = {"", "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                       "HKEY_USERS"};
  for (RegistryRoot r : {RegistryRoot::ClassesRoot, RegistryRoot::CurrentUser, RegistryRoot::LocalMachine,
                         RegistryRoot::Users})
    if (system_.root(r) == key) return kNames[static_cast<int>(r)];
  return "?";
}

std::vector<std::string> SystemRegistry::subkeys(Key key) {
  // Collected first: deleting while enumerating shifts the indices.
  std::vector<std::string> names;
  char name[MAX_PATH + 4];
  for (DWORD i = 0;; ++i) {
    DWORD size = MAX_PATH;
    if (RegEnumKeyExA(handle(key), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

bool SystemRegistry::isEmpty(Key key) {
  RegFlushKey(handle(key));
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyA(handle(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

bool SystemRegistry::readValue(Key key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) {
  const char* n = name.empty() ? nullptr : name.c_str();
  DWORD kind = 0, size = 0;
  if (RegQueryValueExA(handle(key), n, nullptr, &kind, nullptr, &size) != ERROR_SUCCESS) return false;
  data.assign(size, 0);
  if (size && RegQueryValueExA(handle(key), n, nullptr, &kind, data.data(), &size) != ERROR_SUCCESS) return false;
  data.resize(size);
  type = kind;
  return true;
}

bool writeRegistryText(HKEY root, const std::string& path, const char* name, const std::string& text, bool withZero) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + (withZero ? 1 : 0)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool registryValueExists(HKEY root, const std::string& path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

bool writeRegistryDword(HKEY root, const std::string& path, const char* name, DWORD value) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

}  // namespace tw
