// Project open, create and save over a FileSystem.
#include "builder/project/project_io.h"

namespace tw {

std::string backupPathFor(const std::string& projectPath) {
  return changeFileExtension(projectPath, ".~tb");
}

ProjectStatus loadProject(ProjectContext& context, const std::string& path,
                          ProjectDocument& project) {
  std::vector<uint8_t> bytes;
  switch (context.files.readFile(path, bytes)) {
    case FileReadStatus::CannotOpen: return {ProjectError::CannotOpen, path};
    case FileReadStatus::ReadError: return {ProjectError::StreamRead, {}};
    case FileReadStatus::Ok: break;
  }
  ProjectDocument fresh;
  // Fields that are not part of the file keep their values across loads.
  fresh.ProjectPath = project.ProjectPath;
  fresh.LastPackagePath = project.LastPackagePath;
  fresh.EditUserLB = project.EditUserLB;
  ProjectStatus status = readProject(bytes.data(), bytes.size(), fresh, context.languages);
  if (status.ok()) project = std::move(fresh);
  return status;
}

ProjectStatus OpenCreateProject(ProjectContext& context, const std::string& path,
                                ProjectDocument& project) {
  ProjectStatus status;
  if (context.files.fileExists(path)) {
    status = loadProject(context, path, project);
    if (!status.ok() && status.error != ProjectError::NotAProject) return status;
  } else {
    project.ResetProject(context.language);
  }
  project.ProjectPath = path;
  project.LastPackagePath.clear();
  if (project.DefSrcPathValue.empty()) project.DefSrcPathValue = folderOfPath(path);
  project.Modified = false;
  return status;
}

ProjectStatus writeProjectFile(FileSystem& files, const std::string& path,
                               const ProjectDocument& project) {
  std::vector<uint8_t> bytes = writeProject(project);
  if (!files.writeFile(path, bytes.data(), bytes.size()))
    return {ProjectError::CannotCreate, path};
  return {};
}

ProjectStatus saveProjectAs(FileSystem& files, const std::string& path,
                            ProjectDocument& project) {
  std::string folder = folderOfPath(path);
  if (!folder.empty() && !files.createDirectories(folder))
    return {ProjectError::CannotCreate, path};
  project.ProjectPath = path;
  if (files.fileExists(path)) files.copyFile(path, backupPathFor(path));  // best effort
  ProjectStatus status = writeProjectFile(files, path, project);
  if (status.ok()) project.Modified = false;
  return status;
}

}  // namespace tw
