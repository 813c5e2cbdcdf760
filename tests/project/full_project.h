// A project that uses every field of the model, with the values that probe
// the file format's edges: tag boundaries, 255/256-byte strings, CP1252
// characters, NUL inside registry value texts, expanded and nested nodes.
#pragma once
#include "builder/project/project_document.h"

namespace tw::test {

void fillFullProject(ProjectDocument& p);

}  // namespace tw::test
