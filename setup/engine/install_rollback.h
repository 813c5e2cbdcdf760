// The install run's journal on Win32: the copy pass and the registration
// run make their changes through these functions, which note them; the
// run's end commits them or takes them all back.
#pragma once
#include <windows.h>

#include <string>

#include "setup/core/engine/install_journal.h"

namespace tw {

// From the first change of a copy pass on, every change is noted.
void beginRunJournal();
bool runJournalActive();

// The registry every write of an install run goes through: noting while
// the journal is active, the system's registry otherwise. `failures`
// counts keys that could not be created and values that could not be
// written since the journal began.
RegistryKeys& runRegistry();
size_t runRegistryFailures();

// Before the run writes the file at `path`: an existing file is renamed
// aside until the run's end. False when it cannot be moved (in use); the
// caller then leaves it alone.
bool prepareRunFile(const std::string& path);
// Creates `path` with its missing parents, noting each folder it made.
// Returns the levels created, -1 when a level cannot be created, -2 when
// a file is in the way (its path in `blocker`).
int createRunFolders(const std::string& path, std::string& blocker);
// A file the run makes by other means than writing it (the system's
// schedule of renames, for instance), when it is not there yet.
void noteRunFileCreated(const std::string& path);
// A file replaced at the next restart by the run's `temporary`.
void noteRestartReplacement(const std::string& target, const std::string& temporary);

// Registry writes of the run; false (with the last error set) on failure.
bool runWriteText(HKEY root, const std::string& path, const char* name, const std::string& text,
                  bool withZero = true);
bool runWriteDword(HKEY root, const std::string& path, const char* name, DWORD value);
// Adds one to the shared-file count of `path`.
bool raiseRunSharedCount(const std::string& path);

// Puts `replacement` in the place of `path` so that one of the two files
// is always there: a replacing rename where the system has one, else the
// original renamed aside first and removed only once the new file is in
// place (and brought back when it cannot be).
bool replaceFileSafely(const std::string& replacement, const std::string& path);

// The run's end. Success removes the kept originals; otherwise everything
// noted is taken back and the user is told ("cancelled" picks the text).
void endRunJournal(bool succeeded, bool cancelled);

}  // namespace tw
