// A project's Windows paths on the host: "\" separators, CP1252 names, and
// names whose case differs from the files on disk, as a project written on
// Windows has them.
#pragma once
#include <string>

#include "common/file_system.h"

namespace tw {

// The host path (UTF-8) of a Windows path (CP1252). Separators become "/";
// a drive "Z:" (Wine's name for the host's root) becomes "/"; every other
// drive letter is kept as written (such a path names nothing on the host).
// Each name that does not exist with its exact case is looked up in its
// folder without regard to case (ASCII and Latin-1 letters); where several
// names match, the first in byte order is taken, so the choice does not
// depend on the order the folder lists its names. A name nothing matches is
// kept as written.
std::string hostPathOf(const std::string& windowsPath);

// A FileSystem that maps every path it is given with hostPathOf and hands
// it to another (the host's standard one).
class HostPathFileSystem final : public FileSystem {
 public:
  explicit HostPathFileSystem(FileSystem& inner) : inner_(inner) {}
  FileReadStatus readFile(const std::string& path, std::vector<uint8_t>& contents) override {
    return inner_.readFile(hostPathOf(path), contents);
  }
  bool writeFile(const std::string& path, const void* data, size_t size) override {
    return inner_.writeFile(hostPathOf(path), data, size);
  }
  bool fileExists(const std::string& path) override { return inner_.fileExists(hostPathOf(path)); }
  bool findFile(const std::string& path, FileInfo& info) override { return inner_.findFile(hostPathOf(path), info); }
  std::string lastErrorText() override { return inner_.lastErrorText(); }
  bool copyFile(const std::string& from, const std::string& to) override {
    return inner_.copyFile(hostPathOf(from), hostPathOf(to));
  }
  bool createDirectories(const std::string& path) override { return inner_.createDirectories(hostPathOf(path)); }

 private:
  FileSystem& inner_;
};

}  // namespace tw
