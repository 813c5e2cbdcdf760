// Win32 file services for the runtime's portable rules.
#include "setup/main/runtime_files.h"

#include <windows.h>

#include "setup/core/wizard/destination_walk.h"

namespace tw {

FileReadStatus RuntimeFileSystem::readFile(const std::string& path, std::vector<uint8_t>& contents) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileReadStatus::CannotOpen;
  DWORD high = 0, size = GetFileSize(file, &high), got = 0;
  bool ok = !(size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0;
  if (ok) contents.resize(size);
  ok = ok && (size == 0 || (ReadFile(file, contents.data(), size, &got, nullptr) && got == size));
  CloseHandle(file);
  return ok ? FileReadStatus::Ok : FileReadStatus::ReadError;
}

bool RuntimeFileSystem::writeFile(const std::string& path, const void* data, size_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = WriteFile(file, data, static_cast<DWORD>(size), &put, nullptr) && put == size;
  return CloseHandle(file) && ok;
}

bool RuntimeFileSystem::fileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RuntimeFileSystem::findFile(const std::string& path, FileInfo& info) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  info.directory = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.readOnly = (a & FILE_ATTRIBUTE_READONLY) != 0;
  info.size = 0;
  if (!info.directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      info.size = uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
      FindClose(search);
    }
  }
  return true;
}

bool RuntimeFileSystem::copyFile(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool RuntimeFileSystem::createDirectories(const std::string& path) {
  AncestorWalk walk = walkToExisting(*this, path, kMaxFolderPath, true);
  if (!walk.found() || !walk.existingInfo.directory) return false;
  for (size_t i = walk.missing.size(); i-- > 0;)
    if (!CreateDirectoryA(walk.missing[i].c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  return true;
}

bool isDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ownProgramPath() {
  char path[513];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path - 1);
  path[n < sizeof path ? n : sizeof path - 1] = '\0';
  return path;
}

}  // namespace tw
