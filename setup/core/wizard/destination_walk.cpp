// The bounded walk up to a destination's nearest existing folder.
#include "setup/core/wizard/destination_walk.h"

namespace tw {
namespace {

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A character the file systems refuse in a name; the colon is allowed only
// after the drive letter, checked by the caller.
bool forbiddenInName(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u < 32) return true;
  switch (c) {
    case '<': case '>': case ':': case '"': case '/': case '|': case '?': case '*':
      return true;
    default:
      return false;
  }
}

// The length of the path's root, "X:\" or "\\server\share", or 0 when it
// has none of these forms.
size_t rootLength(const std::string& p, bool sharesAllowed) {
  if (p.size() >= 3 && isDriveLetter(p[0]) && p[1] == ':' && p[2] == '\\') return 3;
  if (!sharesAllowed || p.size() < 5 || p[0] != '\\' || p[1] != '\\' || p[2] == '\\') return 0;
  size_t share = p.find('\\', 2);
  if (share == std::string::npos || share + 1 >= p.size() || p[share + 1] == '\\') return 0;
  size_t end = p.find('\\', share + 1);
  return end == std::string::npos ? p.size() : end;
}

}  // namespace

AncestorWalk walkToExisting(FileSystem& files, const std::string& path, size_t maxLength, bool sharesAllowed) {
  AncestorWalk walk;
  walk.path = path;
  size_t root = rootLength(path, sharesAllowed);
  if (root == 0) {
    walk.result = WalkResult::NotAbsolute;
    return walk;
  }
  while (walk.path.size() > root && walk.path.back() == '\\') walk.path.pop_back();
  const std::string& p = walk.path;
  if (p.size() > maxLength) {
    walk.result = WalkResult::TooLong;
    return walk;
  }
  for (size_t i = p[0] == '\\' ? 2 : 3; i < p.size(); ++i) {
    if (forbiddenInName(p[i]) || (p[i] == '\\' && p[i - 1] == '\\')) {
      walk.result = WalkResult::InvalidName;
      return walk;
    }
  }
  // The system drops a level's trailing dots and blanks and takes "." and
  // ".." as steps: the folder made would not be the folder named.
  for (size_t at = p[0] == '\\' ? 2 : 3; at < p.size();) {
    size_t end = p.find('\\', at);
    if (end == std::string::npos) end = p.size();
    if (end > at && (p[end - 1] == '.' || p[end - 1] == ' ')) {
      walk.result = WalkResult::InvalidName;
      return walk;
    }
    at = end + 1;
  }

  std::string at = p;
  // Every step cuts at least one character; the bound only guards that.
  for (size_t steps = 0; steps <= p.size(); ++steps) {
    FileInfo info;
    if (files.findFile(at, info)) {
      walk.result = WalkResult::Found;
      walk.existing = at;
      walk.existingInfo = info;
      return walk;
    }
    if (at.size() <= root) break;  // the root is missing: no such drive or share
    walk.missing.push_back(at);
    size_t sep = at.find_last_of('\\');
    at.resize(sep < root ? root : sep);  // "X:\name" goes to the root "X:\", never to "X:"
  }
  walk.result = WalkResult::NoneExists;
  walk.missing.clear();
  return walk;
}

}  // namespace tw
