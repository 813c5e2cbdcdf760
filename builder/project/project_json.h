// The whole project model as JSON (UTF-8), for review, diffs and version
// control, and the way back.
#pragma once
#include <string>

#include "builder/project/project_document.h"

namespace tw {

std::string projectToJson(const ProjectDocument& project);

// Where and why reading a project's JSON stopped (the reason in CP1252).
struct JsonError {
  int line = 0;
  int column = 0;
  std::string what;
  // "Zeile L, Spalte C: reason".
  std::string text() const;
};

// Reads projectToJson's form back into `project` (every key optional, with
// a new project's values; unknown keys refused). On an error `project` is
// left as it was. Paths are not resolved: ProjectPath stays empty.
bool projectFromJson(const std::string& utf8, ProjectDocument& project, JsonError& error);

// The bytes of type description `type` after its terminator, as hex digits
// without trailing zeros ("" when they are all zero).
std::string typeDescriptionRestHex(const ProjectDocument& project, int type);

}  // namespace tw
