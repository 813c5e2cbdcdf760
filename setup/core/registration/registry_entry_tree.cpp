// Writing and removing a registry component's entry tree.
#include "setup/core/registration/registry_entry_tree.h"

#include "setup/core/main/path_text.h"
#include "setup/core/registration/registration_rules.h"

namespace tw {
namespace {

using Key = RegistryKeys::Key;
using Entries = std::vector<ProfileEntry>;

// The entries after `at` that lie below it end where the depth falls back.
size_t subtreeEnd(const Entries& entries, size_t at, size_t end) {
  size_t next = at + 1;
  while (next < end && entries[next].depth > entries[at].depth) ++next;
  return next;
}

struct ValueEntry {
  std::string name;  // empty for the unnamed value
  std::string data;
  uint32_t kind;
};

ValueEntry splitValue(const ProfileEntry& entry, PathExpander expand) {
  ValueEntry v;
  v.kind = entry.flags & 7;
  size_t zero = entry.text.find('\0');
  std::string name = entry.text.substr(0, zero);
  if (zero != std::string::npos) v.data = entry.text.substr(zero + 1);
  if (v.kind != 0) v.name = expand(name);
  return v;
}

void writeValue(RegistryKeys& registry, Key key, const ProfileEntry& entry, PathExpander expand) {
  ValueEntry v = splitValue(entry, expand);
  switch (v.kind) {
    case 0:
    case 1:
    case 2: {
      // Texts are written without their terminating zero.
      std::string text = expand(v.data);
      registry.setValue(key, v.name, v.kind == 2 ? kRegExpandString : kRegString, text.data(), text.size());
      break;
    }
    case 3:
      registry.setValue(key, v.name, kRegBinary, v.data.data(), v.data.size());
      break;
    case 4: {
      auto number = dwordFromHex(v.data);
      uint8_t bytes[4] = {0, 0, 0, 0};
      if (number)
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(*number >> (8 * i));
      registry.setValue(key, v.name, kRegDword, bytes, number ? 4 : 0);
      break;
    }
    default:
      break;
  }
}

void writeChildren(RegistryKeys& registry, Key key, const Entries& entries, size_t begin, size_t end,
                   PathExpander expand) {
  for (size_t at = begin; at < end;) {
    size_t next = subtreeEnd(entries, at, end);
    const ProfileEntry& entry = entries[at];
    if (entry.flags & kEntryFile) {
      writeValue(registry, key, entry, expand);
    } else if (entry.text.empty()) {
      // An unnamed key entry stands for its parent.
      writeChildren(registry, key, entries, at + 1, next, expand);
    } else {
      Key child;
      if (registry.open(key, entry.text, true, child)) {
        writeChildren(registry, child, entries, at + 1, next, expand);
        registry.close(child);
      }
    }
    at = next;
  }
}

void removeChildren(RegistryKeys& registry, Key key, const Entries& entries, size_t begin, size_t end,
                    PathExpander expand);

// One key under its removal rule; `name` empty means `parent` itself,
// which this walk cannot delete and only clears.
void removeKey(RegistryKeys& registry, Key parent, const std::string& name, uint32_t flags, const Entries& entries,
               size_t begin, size_t end, PathExpander expand) {
  Key key = parent;
  if (!name.empty() && !registry.open(parent, name, false, key)) return;
  unsigned rule = flags & 3;
  bool remove = false;
  if (rule == 1) {
    for (const std::string& sub : registry.subkeys(key)) deleteKeyTree(registry, key, sub);
    remove = true;
  } else {
    removeChildren(registry, key, entries, begin, end, expand);
    remove = rule != 0 && registry.isEmpty(key);
  }
  if (name.empty()) return;
  registry.close(key);
  if (remove) registry.deleteKey(parent, name);
}

void removeChildren(RegistryKeys& registry, Key key, const Entries& entries, size_t begin, size_t end,
                    PathExpander expand) {
  for (size_t at = begin; at < end;) {
    size_t next = subtreeEnd(entries, at, end);
    const ProfileEntry& entry = entries[at];
    if (entry.flags & kEntryFile) {
      registry.deleteValue(key, splitValue(entry, expand).name);
    } else {
      removeKey(registry, key, entry.text, entry.flags, entries, at + 1, next, expand);
    }
    at = next;
  }
}

}  // namespace

bool registryComponentRoot(uint32_t componentFlags, RegistryRoot& root) {
  uint32_t code = componentFlags >> 16 & 0xFF;
  if (code < 1 || code > 6) return false;
  root = static_cast<RegistryRoot>(code);
  return true;
}

void writeComponentTree(RegistryKeys& registry, RegistryRoot root, const ComponentRecord& component,
                        PathExpander expand) {
  Key base = registry.root(root);
  if (component.path.empty()) {
    writeChildren(registry, base, component.entries, 0, component.entries.size(), expand);
    return;
  }
  Key key;
  if (!registry.open(base, component.path, true, key)) return;
  writeChildren(registry, key, component.entries, 0, component.entries.size(), expand);
  registry.close(key);
}

void removeComponentTree(RegistryKeys& registry, RegistryRoot root, const ComponentRecord& component,
                         PathExpander expand) {
  // The component's own key follows the removal rule of its flags, but a
  // root is never deleted.
  uint32_t flags = component.path.empty() ? 0 : component.flags;
  removeKey(registry, registry.root(root), component.path, flags, component.entries, 0, component.entries.size(),
            expand);
}

bool deleteKeyTree(RegistryKeys& registry, Key parent, const std::string& path) {
  Key key;
  if (!registry.open(parent, path, false, key)) return false;
  for (const std::string& sub : registry.subkeys(key)) deleteKeyTree(registry, key, sub);
  registry.close(key);
  return registry.deleteKey(parent, path);
}

int deleteKeyAndEmptyParents(RegistryKeys& registry, RegistryRoot root, const std::string& path, int maxKeys) {
  // A key already missing counts as gone, so that parents it would have
  // left empty go too and a removal can be repeated.
  Key base = registry.root(root);
  int deleted = 0;
  std::string key = path;
  for (int level = 0; level < maxKeys && !key.empty(); ++level, key = parentPath(key)) {
    Key handle;
    if (registry.open(base, key, false, handle)) {
      bool empty = registry.isEmpty(handle);
      registry.close(handle);
      if (level > 0 && !empty) break;
      if (!registry.deleteKey(base, key)) break;
      ++deleted;
    }
  }
  return deleted;
}

}  // namespace tw
