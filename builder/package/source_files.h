// The bitmap and text files a project names, read for the install profile.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builder/package/build_context.h"
#include "common/file_system.h"

namespace tw {

// A name with a drive ("C:") or a network share is used as it is; any
// other is taken relative to the folder of the project file.
std::string resolveProjectFile(const std::string& projectPath, const std::string& name);

class SourceFiles {
 public:
  SourceFiles(FileSystem& files, BuildReporter& reporter, std::string projectPath)
      : files_(files), reporter_(reporter), projectPath_(std::move(projectPath)) {}

  // The bytes after the 14-byte file header of a valid bitmap file, or
  // nothing. A failure is shown with `caption` when one is given.
  std::optional<std::vector<uint8_t>> openBitmap(const std::string& name, const std::string* caption);
  // As openBitmap, for names that are relative to the project folder.
  std::optional<std::vector<uint8_t>> projectBitmap(const std::string& name, const std::string* caption);
  // A whole text file; when it cannot be read a message naming it and the
  // system's reason is shown with `caption` and nothing comes back. A file
  // too large for memory stops the build.
  std::optional<std::vector<uint8_t>> textFile(const std::string& name, const std::string& caption);

  std::string resolve(const std::string& name) const { return resolveProjectFile(projectPath_, name); }
  bool exists(const std::string& name) const { return files_.fileExists(resolve(name)); }

 private:
  FileSystem& files_;
  BuildReporter& reporter_;
  std::string projectPath_;
};

}  // namespace tw
