// One install run's working state, shared by the component loop and the
// cabinet library's callbacks (the run is their user value).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/install_profile.h"
#include "setup/core/engine/file_rules.h"
#include "setup/core/main/startup_rules.h"

namespace tw {

// Why a run stopped; shown once by the component loop. Shown: a failure
// whose message the user has seen already; Abort: the user cancelled.
struct RunFailure {
  enum Kind { None, Message, Win32, OutOfMemory, Abort, Shown } kind = None;
  int message = 0;
  std::string argument;
  DWORD code = 0;
};

struct InstallRun {
  bool check = false, network = false;
  bool askReadOnly = false;
  HWND progress = nullptr;
  uint64_t done = 0, total = 0;
  std::string copyHeading;  // string 524

  // The component being processed.
  const ComponentRecord* record = nullptr;
  ComponentEntry* entry = nullptr;
  std::vector<size_t> fileEntries;  // indices of its direct entries
  size_t current = 0;               // the entry the next file belongs to
  uint16_t index = 0;               // the running index into its bitmap
  std::string targetDir;
  std::string currentTarget;     // the file being written, for the log
  std::string replaceAtRestart;  // the file the open temporary replaces
  std::string temporaryPath;
  FileVersionPair newVersion{};
  bool versionFromName = true;
  // Not every cabinet library reports its data blocks; then the files'
  // sizes move the bar.
  bool blocksReported = false;
  uint64_t fileSize = 0;     // of the file being written
  DWORD lastShown = 0;       // tick count of the last progress repaint
  DWORD lastPumped = 0;      // and of the last message dispatch
  RunFailure failure;

  const ProfileEntry* currentEntry() const {
    return current < fileEntries.size() ? &record->entries[fileEntries[current]] : nullptr;
  }
  void fail(RunFailure::Kind kind, int message = 0, const std::string& argument = {}) {
    if (failure.kind != RunFailure::None) return;
    failure.kind = kind;
    failure.message = message;
    failure.argument = argument;
    failure.code = GetLastError();
  }
};

// What the cabinet library tells about one file, or what the source copy
// of an uncompressed component fills in itself.
struct FileNote {
  const char* name;
  uint64_t size;  // a source folder's file may pass 4 GiB
  uint16_t date, time, attributes;
};

// The copy-file decision: a handle to write to, 0 to skip, -1 to abort.
INT_PTR beginFile(InstallRun& run, const FileNote& note);
// Sets the file's times, closes it, rewrites an INI file and registers a
// replacement at restart; false (the user told, the run failed) when any
// of that fails.
bool endFile(InstallRun& run, HANDLE file, const FileNote& note);
// Counts bytes for the progress bar and moves it (copy pass only).
void countProgress(InstallRun& run, uint64_t bytes, int base, int span);

// The cabinet library's callbacks; the run is their user value.
void* notifyCallback();
void* progressCallback();

// Copies the files of an uncompressed component from the source folder;
// returns an FDI error number (0 on success).
int copyFromSource(InstallRun& run, const std::string& sourceDir);

}  // namespace tw
