// Path texts every concern of the runtime takes apart alike: trailing
// backslashes, the parent of a path, the lines of a text file.
#pragma once
#include <string>
#include <vector>

namespace tw {

// Without trailing backslashes; a drive's root keeps its own ("C:\").
std::string withoutBackslash(std::string path);
// Without any trailing backslash, a drive's root too ("C:\" gives "C:"),
// the spelling a folder is compared in; a lone "\" stays.
std::string withoutAnyBackslash(std::string path);

// The text before the last backslash: a file's folder, a key's parent key.
// Empty when there is no backslash.
std::string parentPath(const std::string& path);
// The folder that holds `path`, or empty when `path` is a drive's root or
// stands right below one as "C:\name" or "\name" (a root is never removed).
std::string parentBelowRoot(const std::string& path);

// One line of a text file: its text without the line end, and the line end
// as it stood ("\r\n", "\n", or empty for a last line without one).
struct TextLine {
  std::string text;
  std::string ending;
};
std::vector<TextLine> textLines(const std::string& text);

}  // namespace tw
