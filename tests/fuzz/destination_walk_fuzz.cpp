// Fuzz target: the walk from a typed destination up to its nearest existing
// folder. Whatever the text, the walk ends after at most one lookup per
// level, and what it reports is a cut of the path it was given.
#include <cstdlib>
#include <set>
#include <string>

#include "setup/core/wizard/destination_walk.h"

namespace {

class FewFolders final : public tw::FileSystem {
 public:
  size_t lookups = 0;
  std::set<std::string> folders{"C:\\", "C:\\Programme", "\\\\server\\share", "D:\\a\\b"};
  tw::FileReadStatus readFile(const std::string&, std::vector<uint8_t>&) override {
    return tw::FileReadStatus::CannotOpen;
  }
  bool writeFile(const std::string&, const void*, size_t) override { return false; }
  bool fileExists(const std::string&) override { return false; }
  bool findFile(const std::string& path, tw::FileInfo& info) override {
    if (++lookups > 100000) abort();  // a walk that does not end
    if (!folders.count(path) && path != "C:\\Programme\\datei.txt") return false;
    info = tw::FileInfo{0, false, folders.count(path) != 0};
    return true;
  }
  bool copyFile(const std::string&, const std::string&) override { return false; }
  bool createDirectories(const std::string&) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool shares = data[0] & 1;
  const size_t limit = data[0] & 2 ? tw::kMaxFolderPath : std::string::npos;
  const std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
  FewFolders files;
  tw::AncestorWalk walk = tw::walkToExisting(files, path, limit, shares);

  size_t levels = 1;
  for (char c : path) levels += c == '\\';
  if (files.lookups > levels) abort();
  if (walk.path.size() > path.size() || path.compare(0, walk.path.size(), walk.path) != 0) abort();
  if (!walk.found()) {
    if (!walk.missing.empty()) abort();
    return 0;
  }
  if (files.lookups != walk.missing.size() + 1) abort();
  // Deepest first, each level a cut of the one before, the existing item a
  // cut of the last.
  std::string below = walk.path;
  for (const std::string& level : walk.missing) {
    if (level.size() > below.size() || below.compare(0, level.size(), level) != 0) abort();
    below = level;
  }
  if (walk.missing.empty() ? walk.existing != walk.path : below.compare(0, walk.existing.size(), walk.existing) != 0)
    abort();
  if (walk.existing.size() < 3) abort();  // never "C:" or less
  return 0;
}
