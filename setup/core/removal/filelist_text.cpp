// Line reading of FILELIST*.DAT.
#include "setup/core/removal/filelist_text.h"

namespace tw {
namespace {

bool staysInFolder(const std::string& path) {
  if (path[0] == '\\' || path[0] == '/' || path.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string::npos) end = path.size();
    if (path.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::vector<std::string> fileListEntries(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kFileListLineLimit) line.resize(kFileListLineLimit);
    if (!line.empty() && staysInFolder(line)) out.push_back(line);
    start = end + 1;
  }
  return out;
}

}  // namespace tw
