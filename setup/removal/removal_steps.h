// The steps of the removal run, shared by its files: the uninstall
// dialog, file objects, files and directories.
#pragma once
#include <string>

namespace tw {

// The uninstall dialog 215, modeless and without owner; the clock of the
// step marks starts with it.
bool createUninstallDialog();
void setUninstallProgress(int percent);
// Shows 701 or 702 and enables OK unless the registration run did.
void finishUninstallDialog();
// Runs messages until the user has pressed OK, then destroys the dialog.
void waitForUninstallOk();

// The removal orders of the type's file-object lists; mode 3 also
// clears the removal list keys.
void removeFileObjects(int mode);
// The recorded files of the type's components, in reverse list order,
// with their created directory levels; mode 3 ends with SETUP.EXE,
// SETUP.DLL and the installation directory's `installDirLevels`.
void removeInstalledFiles(int mode, int installDirLevels);

// Removes `path` and then up to count - 1 parents while they are empty;
// returns how many went. `failed` is set when a level that still exists
// could not be removed.
int removeDirectoryLevels(std::string path, int count, bool& failed);
// Empty folders of the tree below `folder` and the folder itself; what
// cannot go is put on the pending list. Files are left alone.
void removeDirectoryTree(const std::string& folder);
// Deletes a file (normal attributes first when asked); a file that is
// still there afterwards marks the removal as incomplete.
void deleteRemovedFile(const std::string& path, bool clearReadOnly);

// A junction, symbolic link or mount point (a reparse point).
bool isLink(const std::string& path);
// True when a folder between base (a folder path ending in a backslash) and
// the last part of path, which lies below it, is a link.
bool throughLink(const std::string& base, const std::string& path);
// Removes the link itself, never what it points to; a link that stays
// marks the removal as incomplete.
void removeLink(const std::string& path);
bool pathExists(const std::string& path);

}  // namespace tw
