// The rules of the file engine that need no system: cabinet names of
// version-checked files, the overwrite decision, DOS times, the name of a
// replacement for a file in use, and which INI lines get aliases expanded.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

struct FileVersionPair {
  uint32_t ms = 0;  // major.minor
  uint32_t ls = 0;  // release.build
};

// "0000000100020000name.dll": the least significant half, then the most
// significant one, then the real name. Nothing when the name does not start
// with 16 hex digits.
std::optional<FileVersionPair> versionFromCabinetName(const std::string& name);
// The target name: without the 16 digits where they are present.
std::string targetNameFromCabinetName(const std::string& name, bool versionChecked);

// True when the new version is lower than the existing one: most
// significant halves first, unsigned.
bool isLowerVersion(FileVersionPair candidate, FileVersionPair existing);

// 100-ns units since 1601 of a DOS date and time taken as they stand
// (no time-zone conversion), as the system's conversion gives them.
uint64_t dosDateTimeToFileTime(uint16_t date, uint16_t time);

enum class OverwriteMode { Always = 0, IfNewer = 1, IfHigherVersion = 2, Never = 3 };

struct ExistingFile {
  uint64_t creationTime = 0;               // as the file search reports it
  std::optional<FileVersionPair> version;  // none: no version information
};

// Whether a file that already exists is replaced.
bool replacesExisting(OverwriteMode mode, const ExistingFile& existing, uint16_t dosDate, uint16_t dosTime,
                      FileVersionPair newVersion);

// The path a file in use is written to until the next restart: its last
// character replaced, "_" by "~" and anything else by "_".
std::string inUseReplacementPath(const std::string& path);

// INI rewrite: lines that stay as they are (empty, blank, a section header,
// or a single non-blank character at the end).
bool iniLineKeptVerbatim(const std::string& line);

// The copy pass measures its progress in bytes of the component cabinets,
// whose sizes in the item table make the total: the cabinet library reports
// each cabinet's header, each folder's entry, each file's entry (16 bytes,
// the name and its zero) and each data block (8 bytes and the data; a block
// split over two cabinets counts once, with its second half).
constexpr uint64_t kProgressCabinetHeader = 53;
constexpr uint64_t kProgressFolderEntry = 8;
uint64_t progressFileEntry(size_t nameLength);
uint64_t progressDataBlock(bool split, uint32_t partialBytes, uint32_t dataBytes);
// The bar's position for `done` of `total` bytes (done counted no further
// than total), between base and base + span; base when total is 0.
int progressPosition(uint64_t done, uint64_t total, int base, int span);

}  // namespace tw
