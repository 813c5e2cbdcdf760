// Win32 implementation of the file services.
#include "builder/win32_file_system.h"

#include <windows.h>

namespace tw {

std::string systemErrorText(unsigned long code) {
  char buffer[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                           buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "Systemfehler " + std::to_string(code);
  return text;
}

FileReadStatus Win32FileSystem::readFile(const std::string& path, std::vector<uint8_t>& contents) {
  contents.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    lastError_ = GetLastError();
    return FileReadStatus::CannotOpen;
  }
  LARGE_INTEGER size;
  FileReadStatus status = FileReadStatus::Ok;
  if (!GetFileSizeEx(h, &size) || size.QuadPart > 0x7FFFFFFF) {
    status = FileReadStatus::ReadError;
  } else {
    contents.resize(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    if (!contents.empty() && (!ReadFile(h, contents.data(), static_cast<DWORD>(contents.size()), &done, nullptr) ||
                              done != contents.size()))
      status = FileReadStatus::ReadError;
  }
  if (status != FileReadStatus::Ok) lastError_ = GetLastError();
  CloseHandle(h);
  return status;
}

bool Win32FileSystem::writeFile(const std::string& path, const void* data, size_t size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    lastError_ = GetLastError();
    return false;
  }
  DWORD done = 0;
  bool ok = size == 0 || (WriteFile(h, data, static_cast<DWORD>(size), &done, nullptr) && done == size);
  if (!ok) lastError_ = GetLastError();
  ok = CloseHandle(h) && ok;
  return ok;
}

bool Win32FileSystem::fileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::findFile(const std::string& path, FileInfo& info) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(path.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) {
    // A directory search cannot name a drive root; ask its attributes.
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return false;
    info = FileInfo{0, false, true};
    return true;
  }
  FindClose(h);
  info.size = (uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  info.readOnly = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  info.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return true;
}

bool Win32FileSystem::copyFile(const std::string& from, const std::string& to) {
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return true;
  lastError_ = GetLastError();
  return false;
}

bool Win32FileSystem::createDirectories(const std::string& path) {
  if (path.empty()) return true;
  DWORD a = GetFileAttributesA(path.c_str());
  if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  size_t sep = path.find_last_of("\\/");
  if (sep != std::string::npos && sep > 0 && path[sep - 1] != ':')
    if (!createDirectories(path.substr(0, sep))) return false;
  if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  lastError_ = GetLastError();
  return false;
}

std::string Win32FileSystem::lastErrorText() { return lastError_ ? systemErrorText(lastError_) : std::string(); }

}  // namespace tw
