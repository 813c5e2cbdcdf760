// Last-project memory under HKEY_CURRENT_USER.
#include "builder/project/last_project.h"

namespace tw {

const char kBuilderSettingsKey[] = "\\Software\\Brakmoor\\Tamblewright\\1.0";
const char kLastProjectValue[] = "LastProject";

std::string readLastProject(Registry& registry, FileSystem& files) {
  std::string path;
  if (!registry.readString(RegistryRoot::CurrentUser, kBuilderSettingsKey,
                           kLastProjectValue, path))
    return {};
  if (path.empty() || !files.fileExists(path)) return {};
  return path;
}

bool writeLastProject(Registry& registry, const std::string& projectPath) {
  return registry.writeString(RegistryRoot::CurrentUser, kBuilderSettingsKey,
                              kLastProjectValue, projectPath);
}

}  // namespace tw
