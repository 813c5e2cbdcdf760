// Opening, creating and saving projects on a FileSystem: the document-side
// half of the builder's open and save commands.
#pragma once
#include <string>
#include <vector>

#include "builder/project/project_document.h"
#include "builder/project/project_file.h"
#include "common/file_system.h"

namespace tw {

// What a load needs from the builder around it.
struct ProjectContext {
  FileSystem& files;
  const LanguageTexts& language;
  std::vector<std::string> languages;  // installed language module names
};

// Reads `path` into a fresh document and takes it over only when the whole
// file was read: a failed read leaves `project` exactly as it was.
// NotAProject also leaves it as it was (the builder treats that as silence).
ProjectStatus loadProject(ProjectContext& context, const std::string& path,
                          ProjectDocument& project);

// Makes `path` the current project: loads it when the file exists, else
// resets to a new project (nothing is written). On a read error nothing
// changes, the path included, so a later save cannot write the old project
// over the damaged file.
ProjectStatus OpenCreateProject(ProjectContext& context, const std::string& path,
                                ProjectDocument& project);

// Writes the project to `path` (version 1.9).
ProjectStatus writeProjectFile(FileSystem& files, const std::string& path,
                               const ProjectDocument& project);

// The save command after its dialog: creates the folder, makes `path` the
// project path, keeps the previous file as ".~tb", writes, clears Modified.
ProjectStatus saveProjectAs(FileSystem& files, const std::string& path,
                            ProjectDocument& project);

std::string backupPathFor(const std::string& projectPath);

}  // namespace tw
