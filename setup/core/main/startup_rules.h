// Start-up decisions of the runtime that need no system: the mode from the
// command line, the resource DLL beside the program, the component table.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/install_profile.h"
#include "common/uninstall_record.h"

namespace tw {

enum class SetupMode {
  Install,       // "ZETUFINST" package-path
  Continuation,  // "ZETUFINISH" install-directory, after a restart
  Uninstall,     // "ZETUREMOVE" [install-directory process-id]
  Maintenance,   // no arguments
  Unknown,       // any other argument list
};

struct SetupCommand {
  SetupMode mode = SetupMode::Unknown;
  int startStep = -2;
  std::string packagePath;     // install
  std::string installDir;      // continuation, continued uninstall
  uint32_t waitForProcess = 0; // continued uninstall
  bool askFirst = false;       // uninstall started from the software list
  // Everything from the first argument that starts with "/" or "-" on:
  // the switches of an unattended run, read apart from the keywords.
  std::vector<std::string> switches;
};

// Arguments as the system splits them, the program name left out; keywords
// are compared case-sensitively. The mode comes from the arguments before
// the first switch.
SetupCommand parseSetupCommand(const std::vector<std::string>& args);

// The resource DLL: the program's path with its last three characters
// replaced by "DLL".
std::string resourceDllPath(const std::string& programPath);

// The 16-bit system folder: on the NT family the system folder without its
// last two characters (...\system32 gives ...\system).
std::string sixteenBitSystemFolder(const std::string& systemFolder, bool ntFamily);

// The folder the runtime may hand to the remover when it ends: its own
// folder, and only when it is the dispatcher's work folder of this run: the
// program is the dispatcher's "_SETUP.EXE", started for an installation
// ("ZETUFINST") or its continuation after a restart ("ZETUFINISH"), in a run
// folder directly in the temporary folder (common/run_folder.h). Empty
// otherwise: an installed SETUP.EXE, a copy on the desktop, a program in
// any other folder never hands its folder over.
std::string workFolderToRemove(const SetupCommand& command, const std::string& programPath,
                               const std::string& tempFolder);

// Whether two files carry the same uninstall record: both end with a record
// of ours (trailer checked) of the same length and the same bytes. The
// continued uninstallation (a copy of the installed SETUP.EXE) takes the
// folder it is given only when that folder's SETUP.EXE carries its record.
bool sameUninstallRecord(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

constexpr uint16_t kComponentRegistry = 0x80;
constexpr uint16_t kComponentUncompressed = 0x10;
constexpr uint16_t kComponentNotSelectedAtStart = 0x20;
// Component state bit 2: installed by the earlier installation whose
// uninstall record was read.
constexpr uint16_t kStateInstalledBefore = 0x04;

struct ComponentEntry {
  uint16_t flags = 0;
  uint16_t state = 0;
  int16_t directoriesCreated = 0;
  int16_t cabinetIndex = -1;  // the cabinet is package item 4 + index
  int32_t size = 0;
  // Sums over files, each of which may pass 4 GiB: 64 bits.
  uint64_t needed = 0;
  uint16_t fileCount = 0;
  uint64_t progressBytes = 0, progressTotal = 0;
  InstalledFiles files;  // which of the component's files the run installed
};

// The component's size as the profile gives it, nothing when not above 0.
inline uint64_t componentSize(const ComponentEntry& e) { return e.size > 0 ? static_cast<uint32_t>(e.size) : 0; }

// A file found by the check pass adds what it takes over the file it
// replaces; a smaller file adds nothing (the space freed is not counted).
void addFileNeed(ComponentEntry& entry, uint64_t newSize, uint64_t replacedSize);

// The need of the listed components that `counted` marks, added in 64
// bits; numbers outside the table are passed over.
uint64_t neededBytes(const std::vector<ComponentEntry>& table, const std::vector<int>& numbers,
                     const std::vector<bool>& counted);

// Whether the need fits into the free space the system reported.
inline bool fitsInFreeSpace(uint64_t needed, uint64_t freeBytes) { return needed <= freeBytes; }

// One entry per component in id order: selected unless flag 0x20; cabinet
// indices counted over the components that have a cabinet.
std::vector<ComponentEntry> buildComponentTable(const std::vector<ComponentRecord>& components);

}  // namespace tw
