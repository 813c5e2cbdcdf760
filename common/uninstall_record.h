// The uninstall record: what the copy pass appends to the installed
// SETUP.EXE and the uninstaller reads back from the end of that file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// Which files of a component were installed: bit i set for file i.
class InstalledFiles {
 public:
  explicit InstalledFiles(uint16_t fileCount = 0) : count_(fileCount), words_((fileCount + 15) / 16, 0) {}
  uint16_t count() const { return count_; }
  void set(uint16_t i, bool installed = true);
  bool test(uint16_t i) const;
  const std::vector<uint16_t>& words() const { return words_; }
  std::vector<uint16_t>& words() { return words_; }
  bool operator==(const InstalledFiles& o) const { return count_ == o.count_ && words_ == o.words_; }

 private:
  uint16_t count_;
  std::vector<uint16_t> words_;
};

constexpr int16_t kEntryRegistryInstalled = -1;
constexpr int16_t kEntryFileSkipped = -2;
constexpr int16_t kEntryRegistrySkipped = -3;

// One entry per component of the installation type's list, in list order.
struct UninstallEntry {
  // >= 0: a file component installed with that many directory levels
  // created; otherwise one of the kEntry values above.
  int16_t value = kEntryFileSkipped;
  InstalledFiles files;  // for installed file components
  bool operator==(const UninstallEntry& o) const { return value == o.value && files == o.files; }
};

struct UninstallRecord {
  int16_t installDirLevels = 0;
  std::vector<UninstallEntry> entries;
  uint16_t shortcutFlags = 0;  // bit 0 Start-menu entry, bit 1 desktop shortcut
  std::string programFolder;
  uint16_t installType = 501;  // 501..503
  uint16_t componentCount = 0;
};

constexpr uint16_t kFirstRecordedType = 501;
constexpr uint16_t kLastRecordedType = 503;

// The whole record as appended, its last four bytes the record's length.
std::vector<uint8_t> encodeUninstallRecord(const UninstallRecord& record);

enum class UninstallRecordError {
  ok,
  tooShort,       // the file cannot hold the trailer
  foreignType,    // the installation type is not 501..503: no record of ours
  badLength,      // the length field points outside the file or below the trailer
  entryMismatch,  // the entries do not fit the installation type's list
};

// Reads the record from the end of `file` (the whole SETUP.EXE). For each
// component of the type's list the caller gives its number of files (a
// record may count fewer, where a run broke off), or -1
// for a registry component; a record that disagrees is refused.
[[nodiscard]] UninstallRecordError decodeUninstallRecord(const uint8_t* file, size_t size,
                                                         const std::vector<int>& listFileCounts,
                                                         UninstallRecord& out);

// Only the trailer: type, component count and length (for a first look
// before the profile's list is known).
[[nodiscard]] UninstallRecordError readUninstallTrailer(const uint8_t* file, size_t size, uint16_t& type,
                                                        uint16_t& componentCount, uint32_t& length);

}  // namespace tw
