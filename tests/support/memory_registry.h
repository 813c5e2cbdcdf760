// An in-memory registry for host tests: keys by full path ("HKLM\\A\\B"),
// handles as indices into a list of opened paths (a leaked handle shows in
// `openCount`), and paths that refuse to be created.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/core/registration/registry_entry_tree.h"

namespace tw::test {

class MemoryRegistry final : public RegistryKeys {
 public:
  struct Value {
    uint32_t type;
    std::vector<uint8_t> data;
    bool operator==(const Value& o) const { return type == o.type && data == o.data; }
  };
  std::map<std::string, std::map<std::string, Value>> keys;
  std::set<std::string> refused;  // paths that cannot be created
  int openCount = 0;

  MemoryRegistry() {
    for (const char* r : {"HKCR", "HKCU", "HKLM"}) keys[r];
  }
  Key root(RegistryRoot r) override {
    return handle(r == RegistryRoot::ClassesRoot ? "HKCR" : r == RegistryRoot::CurrentUser ? "HKCU" : "HKLM");
  }
  bool open(Key parent, const std::string& path, bool create, Key& out) override {
    std::string full = paths_[parent] + "\\" + path;
    if (!keys.count(full)) {
      if (!create) return false;
      for (size_t at = paths_[parent].size() + 1; at <= full.size(); ++at) {
        if (at < full.size() && full[at] != '\\') continue;
        std::string level = full.substr(0, at);
        if (refused.count(level)) return false;
        keys[level];
      }
    }
    ++openCount;
    out = handle(full);
    return true;
  }
  void close(Key) override { --openCount; }
  bool setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) override {
    auto p = static_cast<const uint8_t*>(data);
    keys[paths_[key]][name] = Value{type, std::vector<uint8_t>(p, p + size)};
    return true;
  }
  void deleteValue(Key key, const std::string& name) override { keys[paths_[key]].erase(name); }
  bool deleteKey(Key parent, const std::string& path) override {
    std::string full = paths_[parent] + "\\" + path;
    if (!keys.count(full) || !children(full).empty()) return false;
    keys.erase(full);
    return true;
  }
  std::vector<std::string> subkeys(Key key) override { return children(paths_[key]); }
  bool isEmpty(Key key) override { return children(paths_[key]).empty() && keys[paths_[key]].empty(); }
  bool readValue(Key key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override {
    auto k = keys.find(paths_[key]);
    if (k == keys.end()) return false;
    auto v = k->second.find(name);
    if (v == k->second.end()) return false;
    type = v->second.type;
    data = v->second.data;
    return true;
  }

  bool has(const std::string& path) const { return keys.count(path) != 0; }
  const Value* value(const std::string& path, const std::string& name) const {
    auto k = keys.find(path);
    if (k == keys.end()) return nullptr;
    auto v = k->second.find(name);
    return v == k->second.end() ? nullptr : &v->second;
  }

  void put(const std::string& path, const std::string& name, const std::string& text) {
    for (size_t at = 0; (at = path.find('\\', at + 1)) != std::string::npos;) keys[path.substr(0, at)];
    keys[path][name] = Value{1, std::vector<uint8_t>(text.begin(), text.end())};
  }

 private:
  std::vector<std::string> paths_{""};
  Key handle(const std::string& path) {
    paths_.push_back(path);
    return paths_.size() - 1;
  }
  std::vector<std::string> children(const std::string& path) const {
    std::vector<std::string> out;
    std::string prefix = path + "\\";
    for (auto it = keys.lower_bound(prefix); it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it)
      if (it->first.find('\\', prefix.size()) == std::string::npos) out.push_back(it->first.substr(prefix.size()));
    return out;
  }
};

}  // namespace tw::test
