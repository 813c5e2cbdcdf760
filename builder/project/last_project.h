// The one setting the builder keeps outside its projects: the last project.
#pragma once
#include <string>

#include "common/file_system.h"
#include "common/registry.h"

namespace tw {

extern const char kBuilderSettingsKey[];  // "\Software\Brakmoor\Tamblewright\1.0"
extern const char kLastProjectValue[];    // "LastProject"

// The last project's path, or empty when none is stored or its file is gone.
std::string readLastProject(Registry& registry, FileSystem& files);
bool writeLastProject(Registry& registry, const std::string& projectPath);

}  // namespace tw
