// A registry component's entry tree written into and removed from the
// registry, over a small key-handle interface that tests replace.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/install_profile.h"
#include "common/registry.h"

namespace tw {

constexpr uint32_t kRegString = 1;        // REG_SZ
constexpr uint32_t kRegExpandString = 2;  // REG_EXPAND_SZ
constexpr uint32_t kRegBinary = 3;        // REG_BINARY
constexpr uint32_t kRegDword = 4;         // REG_DWORD

// The registry as the entry-tree walks see it. Keys are handles; the roots
// are never closed.
class RegistryKeys {
 public:
  using Key = uintptr_t;
  virtual ~RegistryKeys() = default;
  virtual Key root(RegistryRoot root) = 0;
  // Opens subkey `path` of `parent` (a path of one or more levels). With
  // `create` missing levels are made and the key may be written to.
  virtual bool open(Key parent, const std::string& path, bool create, Key& out) = 0;
  virtual void close(Key key) = 0;
  virtual bool setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) = 0;
  // A missing value is no failure.
  virtual void deleteValue(Key key, const std::string& name) = 0;
  // Deletes subkey `path` of `parent`; fails while it has subkeys.
  virtual bool deleteKey(Key parent, const std::string& path) = 0;
  virtual std::vector<std::string> subkeys(Key key) = 0;
  // No subkeys and no values, after the key is flushed.
  virtual bool isEmpty(Key key) = 0;
  // Reads a value; false when it is missing or cannot be read.
  virtual bool readValue(Key, const std::string&, uint32_t&, std::vector<uint8_t>&) { return false; }
};

using PathExpander = std::string (*)(const std::string& text);

// The root of a registry component (flag bits 16-23); false for codes
// outside 1..6, which the registration run leaves alone.
bool registryComponentRoot(uint32_t componentFlags, RegistryRoot& root);

// Creates the component's key and writes its tree below it. A key that
// cannot be created skips its subtree; a value that cannot be written is
// skipped.
void writeComponentTree(RegistryKeys& registry, RegistryRoot root, const ComponentRecord& component,
                        PathExpander expand);

// Removes what the tree names under the key rules: rule 1 deletes a key
// with every subkey, also those nobody installed; rules 2 and 3 delete a
// key only when nothing is left in it; rule 0 keeps it.
void removeComponentTree(RegistryKeys& registry, RegistryRoot root, const ComponentRecord& component,
                         PathExpander expand);

// Deletes subkey `path` of `parent` with everything below it, depth first.
bool deleteKeyTree(RegistryKeys& registry, RegistryKeys::Key parent, const std::string& path);

// Deletes key `path` (values and all, but not while it has subkeys) and
// then its parents while they are empty, at most `maxKeys` levels in all;
// returns how many keys it deleted.
int deleteKeyAndEmptyParents(RegistryKeys& registry, RegistryRoot root, const std::string& path, int maxKeys);

}  // namespace tw
