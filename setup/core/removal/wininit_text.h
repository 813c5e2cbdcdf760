// The [Rename] lines of WININIT.INI that delete files at the next restart
// on the Windows 9x family, edited as text.
#pragma once
#include <string>
#include <vector>

namespace tw {

// The text with "NUL=" + each path present in its [Rename] section: the
// first path's line is looked for in the section (a line starting with it,
// case-insensitive) and the second path's line, when given, right after
// it. Missing lines go after the found first line or at the end of the
// section; without a section "[Rename]" and the lines are appended. Every
// inserted line ends with CR LF.
std::string withRenameDeletions(const std::string& text, const std::vector<std::string>& paths);

}  // namespace tw
