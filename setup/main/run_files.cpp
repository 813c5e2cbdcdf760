// Checks of the files the runtime loads or starts from the temporary
// folder, and the folders it writes the remover into.
#include "setup/main/run_files.h"

#include "common/file_checks.h"
#include "common/run_folder.h"
#include "dispatcher/private_folder.h"
#include "setup/main/runtime_state.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

bool boundCheck(const char* name, FileCheck& check) {
  HMODULE module = runState().resources;
  HRSRC info = module ? FindResourceA(module, MAKEINTRESOURCEA(kFileChecksResourceId),
                                      MAKEINTRESOURCEA(kResTypeRcData))
                      : nullptr;
  HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data || !findFileCheck(data, SizeofResource(module, info), name, &check)) {
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  return true;
}

}  // namespace

bool HeldFile::open(const std::string& path) {
  close();
  // Reading shared, writing and deleting not: from here until the handle
  // closes the file stays what was compared.
  handle_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  Sha256 hash;
  std::vector<uint8_t> buffer(65536);
  size = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(handle_, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      DWORD code = GetLastError();
      close();
      SetLastError(code);
      return false;
    }
    if (got == 0) break;
    hash.update(buffer.data(), got);
    size += got;
  }
  hash.finish(digest);
  return true;
}

void HeldFile::close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

bool holdCheckedFile(const std::string& path, const char* name, HeldFile& held) {
  FileCheck check;
  if (!boundCheck(name, check)) return false;
  if (!held.open(path)) return false;
  if (held.size != check.size || !sameDigest(held.digest, check.digest)) {
    held.close();
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  return true;
}

bool readCheckedFile(const std::string& path, const char* name, std::vector<uint8_t>& bytes, size_t limit) {
  FileCheck check;
  if (!boundCheck(name, check)) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  bool ok = size != INVALID_FILE_SIZE && size <= limit;
  if (ok) {
    bytes.assign(size, 0);
    DWORD got = 0;
    ok = size == 0 || (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
  }
  DWORD code = ok ? NO_ERROR : GetLastError();
  CloseHandle(file);
  if (ok && !matchesFileCheck(check, bytes.data(), bytes.size())) {
    ok = false;
    code = ERROR_FILE_CORRUPT;
  }
  if (!ok) SetLastError(code == NO_ERROR ? ERROR_FILE_CORRUPT : code);
  return ok;
}

std::string createRunFolder(const std::string& tempFolder) {
  std::string base = tempFolder;
  if (base.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return {};
  }
  if (base.back() != '\\') base += '\\';
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[kRunFolderNameLength + 1];
    formatRunFolderName(randomNumber(), name);
    std::string folder = base + name;
    if (createPrivateFolder(folder.c_str())) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  SetLastError(ERROR_ALREADY_EXISTS);
  return {};
}

bool writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                              written == bytes.size());
  DWORD code = ok ? NO_ERROR : GetLastError();
  CloseHandle(file);
  if (!ok) {
    DeleteFileA(path.c_str());
    SetLastError(code == NO_ERROR ? ERROR_HANDLE_DISK_FULL : code);
  }
  return ok;
}

void showRefusedFile(const std::string& path) {
  char text[512];
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_CORRUPT,
                      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr))
    lstrcpyA(text, "ERROR_FILE_CORRUPT");
  std::string message = std::string(text) + "\r\n\r\n" + path;
  reportError(runState().mainWindow, message, MB_OK | MB_ICONSTOP);
}

}  // namespace tw
