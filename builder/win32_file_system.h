// FileSystem over the Win32 file functions.
#pragma once
#include "common/file_system.h"

namespace tw {

class Win32FileSystem final : public FileSystem {
 public:
  FileReadStatus readFile(const std::string& path, std::vector<uint8_t>& contents) override;
  bool writeFile(const std::string& path, const void* data, size_t size) override;
  bool fileExists(const std::string& path) override;
  bool findFile(const std::string& path, FileInfo& info) override;
  bool copyFile(const std::string& from, const std::string& to) override;
  bool createDirectories(const std::string& path) override;
  std::string lastErrorText() override;

 private:
  unsigned long lastError_ = 0;
};

// The system's text for an error code, without the trailing line break.
std::string systemErrorText(unsigned long code);

}  // namespace tw
