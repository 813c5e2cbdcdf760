// The checks before and at the start of a build: required fields, the
// package name, empty installation types, and the file scan that verifies
// every file entry and computes component sizes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "builder/project/project_document.h"
#include "common/file_system.h"

namespace tw {

// The create button's checks; the message to show, or nothing.
std::optional<std::string> checkRequiredFields(const ProjectDocument& project);

// The package name the save dialog proposes: the last package when its
// folder exists, else the default output name when its folder exists, else
// project folder + application name + version with every "." removed.
std::string proposedPackagePath(const ProjectDocument& project, FileSystem& files);
// The third rule alone (also the default-name button's fallback).
std::string derivedPackagePath(const ProjectDocument& project);

// Stops the build when an installation type holds no component.
void validateComponents(const ProjectDocument& project);

// "[DefSrcPath]\x" resolved against the project's source folder.
std::string resolveSourcePath(const ProjectDocument& project, const std::string& text);

struct ScanResult {
  uint64_t compressedBytes = 0;
  int32_t componentCabinetCount = 0;
};

// A file component is compressed unless it has "Nicht komprimieren".
bool isCompressed(const TreeNode& fileComponent);

// Sizes and read-only bits of every file component. With `check` a missing
// target directory or source file, or a file of a compressed component
// that no cabinet can hold (2 GiB or more), stops the build; an uncompressed
// component outside "<InstallDir>" always does.
ScanResult UpdateNodeSize(ProjectDocument& project, FileSystem& files, bool check);

}  // namespace tw
