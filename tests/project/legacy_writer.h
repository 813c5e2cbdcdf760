// A test-side encoder of project files of any version 1.y, written from the
// format's field list independently of the builder's writer, so that files
// of old versions can be made and fed to the reader.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "builder/project/project_document.h"

namespace tw::test {

struct LegacyOptions {
  int minor = 9;
  // Raw bytes to stand for the component tree (count and nodes).
  std::optional<std::vector<uint8_t>> componentTree;
};

std::vector<uint8_t> writeLegacyProject(const ProjectDocument& p, const LegacyOptions& options);

// Encodes a component tree from (text, level) pairs; level-1 nodes get a
// component record with the given id.
std::vector<uint8_t> componentTreeBytes(const std::vector<std::pair<std::string, int>>& nodes,
                                        int32_t countOverride = -1);

}  // namespace tw::test
