// The file services of the portable rules, over the Win32 ANSI calls the
// runtime uses on every system it runs on.
#pragma once
#include "common/file_system.h"

namespace tw {

class RuntimeFileSystem final : public FileSystem {
 public:
  FileReadStatus readFile(const std::string& path, std::vector<uint8_t>& contents) override;
  bool writeFile(const std::string& path, const void* data, size_t size) override;
  bool fileExists(const std::string& path) override;
  // By attributes, so that a drive's root ("C:\") is found too, which a
  // directory search never lists.
  bool findFile(const std::string& path, FileInfo& info) override;
  bool copyFile(const std::string& from, const std::string& to) override;
  // Below a drive's root or a share; false when a level cannot be made or
  // a file is in the way.
  bool createDirectories(const std::string& path) override;
};

// True when `path` names a folder (a drive's root too).
bool isDirectory(const std::string& path);
// The full path of this program's own file.
std::string ownProgramPath();

}  // namespace tw
