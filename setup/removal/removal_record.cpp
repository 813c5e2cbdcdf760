// Reading the uninstall record back from the end of SETUP.EXE into the
// component table.
#include <windows.h>

#include "common/uninstall_record.h"
#include "setup/removal/removal.h"
#include "setup/main/runtime_state.h"
#include "setup/main/type_components.h"

namespace tw {
namespace {

constexpr size_t kTrailerSize = 8;

bool readAt(HANDLE file, DWORD offset, void* buffer, DWORD size) {
  if (SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  DWORD got = 0;
  return ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

// The record's bytes: the file's last `length` bytes, where the trailer
// says the record starts.
bool readRecordBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = false;
  DWORD size = GetFileSize(file, nullptr);
  uint8_t t[kTrailerSize];
  if (size != INVALID_FILE_SIZE && size >= kTrailerSize && readAt(file, size - kTrailerSize, t, kTrailerSize)) {
    // Only a type of ours makes the length worth reading from.
    unsigned type = t[0] | t[1] << 8;
    uint32_t length = uint32_t(t[4]) | uint32_t(t[5]) << 8 | uint32_t(t[6]) << 16 | uint32_t(t[7]) << 24;
    if (type >= kFirstRecordedType && type <= kLastRecordedType && length >= kTrailerSize && length <= size) {
      bytes.resize(length);
      ok = readAt(file, size - length, bytes.data(), length);
    }
  }
  CloseHandle(file);
  return ok;
}

}  // namespace

int readUninstallRecord(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!readRecordBytes(path, bytes)) return -1;
  uint16_t type = 0, componentCount = 0;
  uint32_t length = 0;
  if (readUninstallTrailer(bytes.data(), bytes.size(), type, componentCount, length) != UninstallRecordError::ok)
    return -1;

  RunState& s = runState();
  if (s.components.empty()) s.components = readComponents(runProfile());
  std::vector<int> list = typeComponentList(type);
  std::vector<int> fileCounts;
  for (int n : list) {
    // A list naming a component the profile or the record does not have
    // is not this installation's.
    if (n < 0 || static_cast<size_t>(n) >= s.components.size() || n >= componentCount) return -1;
    const ComponentRecord& c = s.components[n];
    fileCounts.push_back((c.flags & kComponentRegistry) ? -1 : c.fileCount);
  }
  UninstallRecord record;
  if (decodeUninstallRecord(bytes.data(), bytes.size(), fileCounts, record) != UninstallRecordError::ok) return -1;

  if (s.table.empty()) {
    s.table.assign(componentCount, ComponentEntry());
    for (size_t i = 0; i < s.table.size() && i < s.components.size(); ++i) {
      ComponentEntry& e = s.table[i];
      e.flags = static_cast<uint16_t>(s.components[i].flags);
      e.size = s.components[i].size;
      e.fileCount = s.components[i].fileCount;
      e.directoriesCreated = (e.flags & kComponentRegistry) ? kEntryRegistrySkipped : kEntryFileSkipped;
    }
    for (size_t i = 0; i < list.size(); ++i) {
      ComponentEntry& e = s.table[list[i]];
      const UninstallEntry& r = record.entries[i];
      e.directoriesCreated = r.value;
      if (r.value == kEntryFileSkipped || r.value == kEntryRegistrySkipped) continue;
      e.state = 1 | kStateInstalledBefore;
      if (r.value >= 0) {
        e.files = r.files;
        // The progress weight: the nodes of the component's record.
        e.progressTotal = static_cast<uint32_t>(s.components[list[i]].entries.size() + 1);
      }
    }
    s.selectedType = record.installType;
  } else {
    s.rememberedType = record.installType;
    for (size_t i = 0; i < list.size(); ++i) {
      int16_t v = record.entries[i].value;
      if (v != kEntryFileSkipped && v != kEntryRegistrySkipped && static_cast<size_t>(list[i]) < s.table.size())
        s.table[list[i]].state |= kStateInstalledBefore;
    }
  }
  s.quickEntry = (record.shortcutFlags & 1) != 0;
  s.desktop = (record.shortcutFlags & 2) != 0;
  s.programFolder = record.programFolder;
  return record.installDirLevels;
}

}  // namespace tw
