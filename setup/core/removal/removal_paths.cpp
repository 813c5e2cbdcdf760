// The guard over removal list folders.
#include "setup/core/removal/removal_paths.h"

#include <cctype>

namespace tw {
namespace {

std::string normalised(const std::string& path) {
  std::string out;
  for (char c : path) out += c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

// "c:" or "\\server\share": a root no removal may take.
bool isRoot(const std::string& path) {
  if (path.size() <= 2) return true;
  if (path.compare(0, 2, "\\\\") != 0) return false;
  size_t server = path.find('\\', 2);
  return server == std::string::npos || path.find('\\', server + 1) == std::string::npos;
}

// `outer` is `inner` or one of its parents.
bool covers(const std::string& outer, const std::string& inner) {
  if (outer.empty() || inner.size() < outer.size() || inner.compare(0, outer.size(), outer) != 0) return false;
  return inner.size() == outer.size() || inner[outer.size()] == '\\';
}

}  // namespace

bool removableListFolder(const std::string& folder, const std::vector<std::string>& protectedFolders) {
  std::string f = normalised(folder);
  if (isRoot(f)) return false;
  for (const std::string& p : protectedFolders)
    if (covers(f, normalised(p))) return false;
  return true;
}

}  // namespace tw
