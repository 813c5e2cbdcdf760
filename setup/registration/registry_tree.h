// The registry of the system behind the entry-tree walks, and the few
// direct writes of the registration run.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "setup/core/registration/registry_entry_tree.h"

namespace tw {

class SystemRegistry final : public RegistryKeys {
 public:
  Key root(RegistryRoot root) override;
  bool open(Key parent, const std::string& path, bool create, Key& out) override;
  void close(Key key) override;
  bool setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) override;
  void deleteValue(Key key, const std::string& name) override;
  bool deleteKey(Key parent, const std::string& path) override;
  std::vector<std::string> subkeys(Key key) override;
  bool isEmpty(Key key) override;
  bool readValue(Key key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override;
};

// The system's registry with every value written and every value or key
// deleted named in the run log by its key's full path (when a log is kept),
// and a count of the writing calls that failed (the last error is set).
class LoggedRegistry final : public RegistryKeys {
 public:
  size_t failures = 0;
  Key root(RegistryRoot r) override { return system_.root(r); }
  bool open(Key parent, const std::string& path, bool create, Key& out) override;
  void close(Key key) override;
  bool setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) override;
  void deleteValue(Key key, const std::string& name) override;
  bool deleteKey(Key parent, const std::string& path) override;
  std::vector<std::string> subkeys(Key key) override { return system_.subkeys(key); }
  bool isEmpty(Key key) override { return system_.isEmpty(key); }
  bool readValue(Key key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override {
    return system_.readValue(key, name, type, data);
  }

 private:
  std::string pathOf(Key key);
  SystemRegistry system_;
  std::vector<std::pair<Key, std::string>> paths_;  // open keys' full paths, kept only for a log
};

// Creates `path` under `root` and writes one value; texts go with their
// terminating zero unless `withZero` is false.
bool writeRegistryText(HKEY root, const std::string& path, const char* name, const std::string& text,
                       bool withZero = true);
bool registryValueExists(HKEY root, const std::string& path, const char* name);
bool writeRegistryDword(HKEY root, const std::string& path, const char* name, DWORD value);

}  // namespace tw
