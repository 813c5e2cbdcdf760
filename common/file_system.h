// The file services the portable core needs. Programs pass a real
// implementation (std_file_system.h on the host, a Win32 one in the
// programs); tests pass an in-memory fake.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

enum class FileReadStatus { Ok, CannotOpen, ReadError };

struct FileInfo {
  uint64_t size = 0;
  bool readOnly = false;
  bool directory = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Reads the whole file. CannotOpen: it does not exist or may not be
  // opened; ReadError: it was opened but could not be read to its end.
  virtual FileReadStatus readFile(const std::string& path,
                                  std::vector<uint8_t>& contents) = 0;
  // Creates or truncates the file and writes all bytes; false on any failure.
  virtual bool writeFile(const std::string& path, const void* data,
                         size_t size) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  // Looks the name up as a directory search does (a file or a folder);
  // false when nothing matches.
  virtual bool findFile(const std::string& path, FileInfo& info) = 0;
  // The system's text for the last failure, or empty where there is none.
  virtual std::string lastErrorText() { return {}; }
  // Copies a file, replacing an existing target; false on failure.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
  // Creates the folder with all missing parent folders; true when it exists
  // afterwards.
  virtual bool createDirectories(const std::string& path) = 0;
};

}  // namespace tw
