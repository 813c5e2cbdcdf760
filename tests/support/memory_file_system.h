// An in-memory FileSystem for host tests: folders are implied by paths,
// and single paths can be made to fail.
#pragma once
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace tw::test {

class MemoryFileSystem final : public FileSystem {
 public:
  std::map<std::string, std::vector<uint8_t>> files;
  std::set<std::string> folders;
  std::set<std::string> unreadable;    // open fails
  std::set<std::string> unwritable;    // create fails
  std::set<std::string> uncreatable;   // folder creation fails
  std::set<std::string> readOnly;      // files with the read-only attribute

  FileReadStatus readFile(const std::string& path, std::vector<uint8_t>& out) override {
    auto it = files.find(path);
    if (it == files.end() || unreadable.count(path)) return FileReadStatus::CannotOpen;
    out = it->second;
    return FileReadStatus::Ok;
  }
  bool writeFile(const std::string& path, const void* data, size_t size) override {
    if (unwritable.count(path)) return false;
    auto p = static_cast<const uint8_t*>(data);
    files[path] = std::vector<uint8_t>(p, p + size);
    return true;
  }
  bool fileExists(const std::string& path) override { return files.count(path) != 0; }
  bool findFile(const std::string& path, FileInfo& info) override {
    auto it = files.find(path);
    if (it != files.end()) {
      info.size = it->second.size();
      info.readOnly = readOnly.count(path) != 0;
      info.directory = false;
      return true;
    }
    if (folders.count(path)) {
      info = FileInfo{0, false, true};
      return true;
    }
    return false;
  }
  bool copyFile(const std::string& from, const std::string& to) override {
    auto it = files.find(from);
    if (it == files.end() || unwritable.count(to)) return false;
    files[to] = it->second;
    return true;
  }
  bool createDirectories(const std::string& path) override {
    if (uncreatable.count(path)) return false;
    folders.insert(path);
    return true;
  }
  void put(const std::string& path, const std::vector<uint8_t>& bytes) { files[path] = bytes; }
};

}  // namespace tw::test
