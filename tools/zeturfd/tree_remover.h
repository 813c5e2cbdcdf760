// Deletes a folder with everything below it, read-only files included.
#pragma once

// folder: absolute, without trailing backslash, shorter than MAX_PATH.
// Returns true when the folder is gone. Links to other folders are removed
// as links; what they point to is never touched.
bool removeTree(const char* folder);
