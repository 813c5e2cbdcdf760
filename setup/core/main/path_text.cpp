// Path texts every concern of the runtime takes apart alike.
#include "setup/core/main/path_text.h"

namespace tw {

std::string withoutBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string withoutAnyBackslash(std::string path) {
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

std::string parentPath(const std::string& path) {
  size_t sep = path.find_last_of('\\');
  return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::string parentBelowRoot(const std::string& path) {
  size_t sep = path.find_last_of('\\');
  if (sep == std::string::npos || sep == 0) return {};
  std::string parent = path.substr(0, sep);
  if (parent.size() == 2 && parent[1] == ':') return {};
  return parent;
}

std::vector<TextLine> textLines(const std::string& text) {
  std::vector<TextLine> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    size_t lineEnd = end == std::string::npos ? text.size() : end;
    if (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
    lines.push_back({text.substr(start, lineEnd - start), text.substr(lineEnd, next - lineEnd)});
    start = next;
  }
  return lines;
}

}  // namespace tw
