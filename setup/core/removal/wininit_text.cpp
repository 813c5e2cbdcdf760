// [Rename] section editing for deletions at restart.
#include "setup/core/removal/wininit_text.h"

#include <cctype>

namespace tw {
namespace {

constexpr char kLineEnd[] = "\r\n";

bool startsWithNoCase(const std::string& text, size_t at, const std::string& prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// Offset of the line after the one starting at `at` (text.size() at the end).
size_t nextLine(const std::string& text, size_t at) {
  size_t end = text.find('\n', at);
  return end == std::string::npos ? text.size() : end + 1;
}

// Inserts whole lines at a line start; a last line without its line end
// gets one first, so that nothing is joined to it.
void insertLines(std::string& text, size_t at, const std::string& lines) {
  if (at == text.size() && !text.empty() && text.back() != '\n') {
    text += kLineEnd;
    at = text.size();
  }
  text.insert(at, lines);
}

}  // namespace

std::string withRenameDeletions(const std::string& original, const std::vector<std::string>& paths) {
  std::string text = original;
  if (paths.empty()) return text;
  std::vector<std::string> wanted;
  for (const std::string& p : paths) wanted.push_back("NUL=" + p);

  size_t header = std::string::npos;
  for (size_t at = 0; at < text.size(); at = nextLine(text, at))
    if (startsWithNoCase(text, at, "[Rename]")) {
      header = at;
      break;
    }
  if (header == std::string::npos) {
    std::string block = std::string("[Rename]") + kLineEnd;
    for (const std::string& line : wanted) block += line + kLineEnd;
    insertLines(text, text.size(), block);
    return text;
  }

  size_t at = nextLine(text, header);
  while (at < text.size() && text[at] != '[') {
    if (startsWithNoCase(text, at, wanted[0])) {
      size_t after = nextLine(text, at);
      if (wanted.size() < 2 || (after < text.size() && startsWithNoCase(text, after, wanted[1]))) return text;
      insertLines(text, after, wanted[1] + kLineEnd);
      return text;
    }
    at = nextLine(text, at);
  }
  std::string block;
  for (const std::string& line : wanted) block += line + kLineEnd;
  insertLines(text, at, block);
  return text;
}

}  // namespace tw
