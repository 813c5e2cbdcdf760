// FileSystem over the standard library, for the host tools.
#pragma once
#include "common/file_system.h"

namespace tw {

class StdFileSystem final : public FileSystem {
 public:
  FileReadStatus readFile(const std::string& path,
                          std::vector<uint8_t>& contents) override;
  bool writeFile(const std::string& path, const void* data,
                 size_t size) override;
  bool fileExists(const std::string& path) override;
  bool findFile(const std::string& path, FileInfo& info) override;
  bool copyFile(const std::string& from, const std::string& to) override;
  bool createDirectories(const std::string& path) override;
};

}  // namespace tw
