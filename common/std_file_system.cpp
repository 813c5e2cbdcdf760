// FileSystem over <cstdio> and <filesystem>.
#include "common/std_file_system.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tw {

FileReadStatus StdFileSystem::readFile(const std::string& path,
                                       std::vector<uint8_t>& contents) {
  contents.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return FileReadStatus::CannotOpen;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return FileReadStatus::CannotOpen;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    contents.insert(contents.end(), buffer, buffer + n);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  return failed ? FileReadStatus::ReadError : FileReadStatus::Ok;
}

bool StdFileSystem::writeFile(const std::string& path, const void* data,
                              size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

bool StdFileSystem::fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool StdFileSystem::findFile(const std::string& path, FileInfo& info) {
  std::error_code ec;
  auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) return false;
  info.directory = std::filesystem::is_directory(status);
  info.size = info.directory ? 0 : std::filesystem::file_size(path, ec);
  auto perms = status.permissions();
  info.readOnly = (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
  return true;
}

bool StdFileSystem::copyFile(const std::string& from, const std::string& to) {
  std::error_code ec;
  return std::filesystem::copy_file(
      from, to, std::filesystem::copy_options::overwrite_existing, ec);
}

bool StdFileSystem::createDirectories(const std::string& path) {
  if (path.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

}  // namespace tw
