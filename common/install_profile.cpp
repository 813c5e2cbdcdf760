// Install profile readers and the path alias expansion.
#include "common/install_profile.h"

#include "common/res_file.h"
#include "common/string_block.h"

namespace tw {

bool ProfileCursor::u8(uint8_t& v) {
  if (remaining() < 1) return false;
  v = data_[pos_++];
  return true;
}

bool ProfileCursor::u16(uint16_t& v) {
  if (remaining() < 2) return false;
  v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return true;
}

bool ProfileCursor::u32(uint32_t& v) {
  if (remaining() < 4) return false;
  v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
      uint32_t(data_[pos_ + 3]) << 24;
  pos_ += 4;
  return true;
}

bool ProfileCursor::shortString(std::string& v) {
  uint8_t length;
  if (!u8(length) || remaining() < size_t(length) + 1) return false;
  v.assign(reinterpret_cast<const char*>(data_ + pos_), length);
  pos_ += size_t(length) + 1;
  return true;
}

bool readSettingString(const ResourceSource& profile, int id, std::string& text) {
  const uint8_t* data;
  size_t size;
  if (id < 0 || !profile.find(kResTypeString, stringBlockId(id), data, size)) return false;
  return decodeStringBlockEntry(data, size, id % kStringsPerBlock, text) && !text.empty();
}

bool readInstallationType(const ResourceSource& profile, int typeIndex, InstallationTypeRecord& out) {
  const uint8_t* data;
  size_t size;
  if (!profile.find(kProfileTypeInstallationType, static_cast<uint16_t>(typeIndex + 1), data, size))
    return false;
  ProfileCursor c(data, size);
  uint32_t count;
  uint8_t preselected;
  if (!c.u32(count) || !c.u8(preselected) || !c.shortString(out.name) ||
      !c.shortString(out.description) || count > c.remaining() / 8)
    return false;
  out.preselected = preselected != 0;
  out.nodes.clear();
  for (uint32_t i = 0; i < count; ++i) {
    ProfileTreeNode n;
    uint32_t reserved;
    c.u16(n.childCount);
    c.u16(n.component);
    c.u32(reserved);
    out.nodes.push_back(n);
  }
  return true;
}

namespace {

// Reads one entry and its subtree; `budget` bounds the total node count.
bool readEntries(ProfileCursor& c, int depth, uint16_t children, uint32_t& budget,
                 std::vector<ProfileEntry>& out) {
  for (uint16_t i = 0; i < children; ++i) {
    if (budget == 0) return false;
    --budget;
    ProfileEntry e;
    e.depth = depth;
    if (!c.u16(e.childCount) || !c.u32(e.flags) || !c.shortString(e.text)) return false;
    uint16_t grandChildren = e.childCount;
    out.push_back(std::move(e));
    if (depth > 64 || !readEntries(c, depth + 1, grandChildren, budget, out)) return false;
  }
  return true;
}

}  // namespace

bool readComponent(const ResourceSource& profile, int number, ComponentRecord& out) {
  const uint8_t* data;
  size_t size;
  if (number < 0 || !profile.find(kProfileTypeComponent, static_cast<uint16_t>(number + 1), data, size))
    return false;
  ProfileCursor c(data, size);
  uint32_t count, componentSize;
  if (!c.u32(count) || !c.shortString(out.name) || !c.shortString(out.description) ||
      !c.u32(componentSize) || !c.u16(out.fileCount) || !c.u32(out.flags) || !c.shortString(out.path))
    return false;
  out.size = static_cast<int32_t>(componentSize);
  out.entries.clear();
  uint32_t budget = count > 0 ? count - 1 : 0;
  return readEntries(c, 1, out.fileCount, budget, out.entries);
}

std::vector<ComponentRecord> readComponents(const ResourceSource& profile) {
  std::vector<ComponentRecord> out;
  for (int n = 0;; ++n) {
    ComponentRecord r;
    if (!readComponent(profile, n, r)) break;
    out.push_back(std::move(r));
  }
  return out;
}

bool readShortcutTable(const ResourceSource& profile, ShortcutTable& out) {
  const uint8_t* data;
  size_t size;
  if (!profile.find(kProfileTypeShortcuts, 1, data, size)) return false;
  ProfileCursor c(data, size);
  uint32_t count, mask;
  if (!c.u32(count) || !c.u32(mask) || count > c.remaining() / 4) return false;
  out.mask = static_cast<int32_t>(mask);
  out.entries.clear();
  for (uint32_t i = 0; i < count; ++i) {
    ShortcutRecord r;
    std::string command;
    if (!c.shortString(r.linkName) || !c.shortString(command)) return false;
    // Four zero-terminated texts, then the icon index and the path flags.
    std::string* texts[] = {&r.target, &r.arguments, &r.workDir, &r.iconFile};
    size_t pos = 0;
    for (std::string* t : texts) {
      size_t nul = command.find('\0', pos);
      if (nul == std::string::npos) return false;
      *t = command.substr(pos, nul - pos);
      pos = nul + 1;
    }
    if (command.size() >= pos + 1) r.iconIndex = static_cast<uint8_t>(command[pos]);
    if (command.size() >= pos + 2) r.appPathFlags = static_cast<uint8_t>(command[pos + 1]);
    out.entries.push_back(std::move(r));
  }
  return true;
}

namespace {

const char* const kAngleAliases[] = {
    "<CommonFilesDir>", "<FontDir>", "<InstallDir>", "<ProgramFilesDir>", "<SrcDir>",
    "<SupportDir>", "<TempDir>", "<UserName>", "<WinDir>", "<WinDisk>", "<WinSys16Dir>",
    "<WinSysDir>",
};

// Expansion state for one call: each component's target directory is
// expanded once and remembered, a component met again while its own path
// is being expanded stays unexpanded, and the text stops growing at
// kMaxExpandedLength. A profile whose components name each other in loops
// or many times over thus costs linear time, not exponential.
constexpr size_t kMaxExpandedLength = 32768;

class Expander {
 public:
  Expander(const AliasFolders& folders, const std::vector<ComponentRecord>& components)
      : folders_(folders), components_(components), cache_(components.size()),
        state_(components.size(), State::Pending) {}

  std::string expand(const std::string& s) {
    std::string text = s;
    size_t i = 0;
    // An alias needs at least three more characters after its opening one.
    while (i + 3 < text.size() && text.size() <= kMaxExpandedLength) {
      std::string replacement;
      size_t closing = std::string::npos;
      if (text[i] == '<') {
        for (const char* alias : kAngleAliases) {
          std::string a = alias;
          if (text.compare(i, a.size(), a) == 0) {
            replacement = folders_.value(a);
            closing = i + a.size() - 1;
            break;
          }
        }
      } else if (text[i] == '[') {
        size_t end = text.find(']', i + 1);
        if (end != std::string::npos) {
          std::string name = text.substr(i + 1, end - i - 1);
          for (size_t c = 0; c < components_.size(); ++c)
            if (components_[c].name == name) {
              replacement = componentPath(c);
              closing = end;
              break;
            }
        }
      }
      if (closing == std::string::npos || replacement.empty()) {
        ++i;
        continue;
      }
      text.replace(i, closing - i + 1, replacement);
      i += replacement.size();
    }
    return text;
  }

 private:
  enum class State { Pending, Expanding, Done };

  std::string componentPath(size_t c) {
    if (state_[c] == State::Done) return cache_[c];
    if (state_[c] == State::Expanding) return {};  // a loop: leave the alias as it is
    state_[c] = State::Expanding;
    cache_[c] = expand(components_[c].path);
    state_[c] = State::Done;
    return cache_[c];
  }

  const AliasFolders& folders_;
  const std::vector<ComponentRecord>& components_;
  std::vector<std::string> cache_;
  std::vector<State> state_;
};

}  // namespace

std::string expandAliases(const std::string& text, const AliasFolders& folders,
                          const std::vector<ComponentRecord>& components) {
  return Expander(folders, components).expand(text);
}

}  // namespace tw
