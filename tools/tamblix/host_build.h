// The builder's build on the host: the portable build with the host's
// files, the portable resource writer and the portable compressor.
#pragma once
#include <cstdint>
#include <string>

#include "builder/package/build_context.h"

namespace tw {

struct HostBuildOptions {
  std::string project;        // host path of the .tbw or .json project
  std::string package;        // host path of the package, or "" for the builder's rule
  std::string builderFolder;  // host path of the builder's folder
  uint16_t compression = 0x1503;
  bool timing = false;
};

// The Windows form of a host path, as Wine names it: "Z:" and the absolute
// path with "\" separators, in CP1252.
std::string windowsPathOf(const std::string& hostPath);

// The builder's folder beside the tool: the tool's own folder when it
// holds ZETUBODY.EXE, else the win32 build's "win32/dist" beside the host
// build; "" when neither does.
std::string defaultBuilderFolder(const std::string& toolPath);

// Runs the command-line build as Tamblix.exe /build does: progress lines
// on stdout, messages on stderr (UTF-8); 0 on success, 1 on any failure.
int runHostBuild(const HostBuildOptions& options);

}  // namespace tw
