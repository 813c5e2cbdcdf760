// The whole project model as JSON (UTF-8), for review and diffs.
#pragma once
#include <string>

#include "builder/project/project_document.h"

namespace tw {

std::string projectToJson(const ProjectDocument& project);

}  // namespace tw
