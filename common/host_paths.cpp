// Mapping Windows paths onto the host's files.
#include "common/host_paths.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "common/cp1252.h"

namespace tw {
namespace {

// Case folding of CP1252 text as the file system of Windows compares names:
// ASCII and the Latin-1 letters (à-þ but ÷) to upper case, and the three
// letters of 0x80-0x9F that have an upper-case partner there.
std::string foldCase(const std::string& cp1252) {
  std::string out(cp1252);
  for (char& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c = static_cast<unsigned char>(c - 0x20);
    else if (c == 0x9A || c == 0x9C || c == 0x9E) c = static_cast<unsigned char>(c - 0x10);
    else if (c == 0xFF) c = 0x9F;
    ch = static_cast<char>(c);
  }
  return out;
}

// The entry of `folder` whose name matches `name` (CP1252) but for case.
std::string findIgnoringCase(const std::string& folder, const std::string& name) {
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? std::string(".") : folder, ec), end;
  std::string wanted = foldCase(name), best;
  bool found = false;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (foldCase(utf8ToCp1252(entry)) != wanted) continue;
    if (!found || entry < best) best = entry;
    found = true;
  }
  return found ? best : cp1252ToUtf8(name);
}

}  // namespace

std::string hostPathOf(const std::string& windowsPath) {
  std::string path = windowsPath;
  std::string out;
  size_t at = 0;
  if (path.size() >= 2 && path[1] == ':' && (path[0] == 'Z' || path[0] == 'z')) {
    out = "/";
    at = 2;
  } else if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
    out = "/";
  }
  std::vector<std::string> names;
  std::string current;
  for (; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '\\' || path[at] == '/') {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += path[at];
    }
  }
  std::error_code ec;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    std::string folder = out;
    std::string exact = cp1252ToUtf8(name);
    std::string candidate = folder + exact;
    bool plain = name == "." || name == ".." || (i == 0 && out.empty() && name.size() == 2 && name[1] == ':');
    if (!plain && !std::filesystem::exists(std::filesystem::symlink_status(candidate, ec)))
      candidate = folder + findIgnoringCase(folder, name);
    out = candidate;
    if (i + 1 < names.size()) out += '/';
  }
  if (!path.empty() && (path.back() == '\\' || path.back() == '/') && !out.empty() && out.back() != '/') out += '/';
  return out;
}

}  // namespace tw
