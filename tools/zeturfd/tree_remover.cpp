// Deletes a folder with everything below it, read-only files included.
#include "tools/zeturfd/tree_remover.h"

#include <windows.h>

namespace {

// One path buffer for the whole walk: each level appends its part and cuts
// it off again, so deep trees cost no stack beyond one find record a level.
char gPath[MAX_PATH];

// Appends "\" and part at length n; false when the result would not fit.
bool appendPart(size_t n, const char* part, size_t& newLength) {
  size_t partLength = size_t(lstrlenA(part));
  if (n + 1 + partLength + 1 > sizeof gPath) return false;
  gPath[n] = '\\';
  lstrcpynA(gPath + n + 1, part, int(partLength + 1));
  newLength = n + 1 + partLength;
  return true;
}

bool isDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void removeEntries(size_t n);

// Removes the folder whose path gPath holds (length n) after its contents.
bool removeFolder(size_t n, DWORD attributes) {
  // Cleared first: where the system maps the attribute onto permissions, a
  // read-only folder would keep its contents.
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(gPath, FILE_ATTRIBUTE_NORMAL);
  // A junction or folder link is removed itself, never entered: its target
  // belongs to someone else.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) removeEntries(n);
  return RemoveDirectoryA(gPath) != 0;
}

void removeEntries(size_t n) {
  size_t patternLength = 0;
  if (!appendPart(n, "*", patternLength)) return;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(gPath, &found);
  gPath[n] = '\0';
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    size_t childLength = 0;
    if (isDotEntry(found.cFileName) || !appendPart(n, found.cFileName, childLength)) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      removeFolder(childLength, found.dwFileAttributes);
    } else {
      if (found.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM))
        SetFileAttributesA(gPath, FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(gPath);
    }
    gPath[n] = '\0';
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

}  // namespace

bool removeTree(const char* folder) {
  int n = lstrlenA(folder);
  if (n <= 0 || size_t(n) >= sizeof gPath) return false;
  lstrcpynA(gPath, folder, int(sizeof gPath));
  DWORD attributes = GetFileAttributesA(gPath);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  return removeFolder(size_t(n), attributes);
}
