// Reading the install profile: the resources of the resource DLL that
// describe one application. Readers walk the resource bytes in place and
// check every length against the resource's size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

constexpr uint16_t kProfileTypeInstallationType = 100;
constexpr uint16_t kProfileTypeComponent = 101;
constexpr uint16_t kProfileTypeShortcuts = 102;
constexpr uint16_t kProfileTypeTextFile = 110;

// Flags of a component's entries (ProfileEntry::flags), as the builder
// writes them and the install run, the registration and the removal read them.
constexpr uint32_t kEntryModeMask = 0x03;  // how a file is copied
constexpr uint32_t kEntryUpdate = 0x04;
constexpr uint32_t kEntryShared = 0x08;
constexpr uint32_t kEntryIni = 0x10;
constexpr uint32_t kEntryReadOnly = 0x20;
constexpr uint32_t kEntryFile = 0x40;      // file, dummy and value entries
constexpr uint32_t kEntryRegistry = 0x80;  // registry keys and values
constexpr uint32_t kEntryPlaceholder = 0x100;

// Where profile resources come from: the resource DLL in the runtime, a
// list of .RES entries in tests and in the builder.
class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  virtual bool find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const = 0;
};

// Bounds-checked cursor over one resource.
class ProfileCursor {
 public:
  ProfileCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool u8(uint8_t& v);
  bool u16(uint16_t& v);
  bool u32(uint32_t& v);
  // A short string: length byte, characters, zero byte.
  bool shortString(std::string& v);
  size_t position() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }
  const uint8_t* here() const { return data_ + pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The settings strings: string block 1 of the profile holds 0 to 15, the
// first string of block 2 is 16. Flags are "#" when set, empty otherwise.
constexpr int kSettingApplication = 0;
constexpr int kSettingVersion = 1;
constexpr int kSettingCompany = 2;
constexpr int kSettingReadMe = 3;   // offered at the end
constexpr int kSettingProgram = 4;  // offered at the end, after the read-me
constexpr int kSettingProgramFolder = 5;
constexpr int kSettingInstallDir = 6;
constexpr int kSettingLayout = 7;
constexpr int kSettingColourScheme = 8;
constexpr int kSettingTitle = 9;
constexpr int kSettingLogo = 10;
constexpr int kSettingLongNames = 11;        // long file names required
constexpr int kSettingInstallSetup = 12;     // Setup stays installed
constexpr int kSettingInstallRemoval = 13;   // the uninstaller is installed
constexpr int kSettingWindowStyle = 15;
constexpr int kSettingRestart = 16;          // restart at the end

// Settings string `id` (0..16), or false when the profile lacks it.
bool readSettingString(const ResourceSource& profile, int id, std::string& text);

struct ProfileTreeNode {
  uint16_t childCount = 0;
  uint16_t component = 0;  // 0xFFFF for the type's own node
};

struct InstallationTypeRecord {
  bool preselected = false;
  std::string name;
  std::string description;
  std::vector<ProfileTreeNode> nodes;  // pre-order, the type's own node first
};
bool readInstallationType(const ResourceSource& profile, int typeIndex, InstallationTypeRecord& out);

struct ProfileEntry {
  int depth = 0;  // 1 for the component node's children
  uint16_t childCount = 0;
  uint32_t flags = 0;
  std::string text;  // may hold zero bytes (registry values)
};

struct ComponentRecord {
  std::string name;
  std::string description;
  int32_t size = 0;
  uint16_t fileCount = 0;  // direct children of the component node
  uint32_t flags = 0;
  std::string path;
  std::vector<ProfileEntry> entries;  // pre-order below the component node
};
// Component `number` (resource id number + 1).
bool readComponent(const ResourceSource& profile, int number, ComponentRecord& out);
// All components, from id 1 to the first missing id.
std::vector<ComponentRecord> readComponents(const ResourceSource& profile);

struct ShortcutRecord {
  std::string linkName;
  std::string target;
  std::string arguments;
  std::string workDir;
  std::string iconFile;
  uint8_t iconIndex = 0;
  uint8_t appPathFlags = 0;
};
struct ShortcutTable {
  int32_t mask = 0;
  std::vector<ShortcutRecord> entries;
};
bool readShortcutTable(const ResourceSource& profile, ShortcutTable& out);

// Folder values for the path aliases; empty where a value is unknown.
class AliasFolders {
 public:
  virtual ~AliasFolders() = default;
  virtual std::string value(const std::string& alias) const = 0;  // e.g. "<WinDir>"
};

// Replaces the aliases of a profile path by folder names. Component aliases
// "[Name]" take the component's target directory, itself expanded.
std::string expandAliases(const std::string& text, const AliasFolders& folders,
                          const std::vector<ComponentRecord>& components);

}  // namespace tw
