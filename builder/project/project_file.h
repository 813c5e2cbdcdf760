// The project file (".tbw"): a flat sequence of typed values and one raw
// block in a fixed order. Always written as version 1.9; read from 1.0 on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "builder/project/project_document.h"

namespace tw {

extern const char kProjectSignature[];        // "BM-Tamblewright 1.9"
extern const char kProjectSignaturePrefix[];  // "BM-Tamblewright"
constexpr int kProjectTreeMaxDepth = 256;

enum class ProjectError {
  None,
  NotAProject,     // the signature lacks the prefix; nothing was read
  InvalidValue,    // "Ungueltiger Wert der Eigenschaft"
  StreamRead,      // "Stream-Read-Fehler"
  InvalidInteger,  // "'%s' ist kein gueltiger Integerwert"
  CannotOpen,      // "Datei %s kann nicht geoeffnet werden"
  CannotCreate,    // "Datei %s kann nicht erstellt werden"
};

struct ProjectStatus {
  ProjectError error = ProjectError::None;
  std::string argument;  // the file name or the text that is not a number

  bool ok() const { return error == ProjectError::None; }
  // The message with its argument inserted (CP1252, as the builder shows it).
  std::string message() const;
  // The message template with "%s" for the argument.
  static const char* messageTemplate(ProjectError error);
};

// The version number a signature names, as the reader splits it.
struct FileVersion {
  int major = 1;
  int minor = 9;
  // A field that version 1.y introduced is present in this file.
  bool has(int minorOfField) const { return major > 1 || minor >= minorOfField; }
};

// Reads a project from bytes into `into`, which the caller gives fresh (as
// made by prepareForLoad). On failure `into` holds a partial project and is
// to be dropped. `languages` are the names of the installed language
// modules; an empty list keeps the name as read.
ProjectStatus readProject(const uint8_t* data, size_t size, ProjectDocument& into,
                          const std::vector<std::string>& languages);

std::vector<uint8_t> writeProject(const ProjectDocument& project);

// Parses the decimal number of a version part as the reader does: leading
// blanks and a sign allowed, nothing else.
bool parseProjectInteger(const std::string& text, int& value);

}  // namespace tw
