// The binary records of the install profile that come from the project's
// trees: installation types (100), components (101) and shortcuts (102).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "builder/project/project_document.h"

namespace tw {

// Appends a short string: length byte, characters, zero byte. A text of
// more than 255 characters stops the build.
void appendShortString(std::vector<uint8_t>& out, const std::string& text);
void appendU16(std::vector<uint8_t>& out, uint32_t value);
void appendU32(std::vector<uint8_t>& out, uint32_t value);

// The components in profile order: file components, then registry ones.
// A component's number is its index here (resource id - 1).
std::vector<const TreeNode*> profileComponents(const ProjectDocument& project);
int componentNumber(const ProjectDocument& project, const TreeNode& component);

std::vector<uint8_t> encodeInstallationType(const ProjectDocument& project, const TreeNode& typeRoot);
std::vector<uint8_t> encodeComponent(const TreeNode& component);
std::vector<uint8_t> encodeShortcuts(const ProjectDocument& project);

// "[Komponente]\datei.exe": the target as Setup's alias names it.
std::string shortcutTarget(const TreeNode& fileEntry);
// The file-name part of a source path (after the last "\" or ":").
std::string sourceFileName(const std::string& path);
// REG_BINARY data: two hex digits per byte (either case), high digit
// first; a trailing odd digit is dropped; any other character stops the
// build with a message naming the value `valueName` and the character.
std::string hexPairsToBytes(const std::string& hex, const std::string& valueName = std::string());

}  // namespace tw
