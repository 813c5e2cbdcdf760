// The build worker on Windows: the portable build (package_build.h) with
// the system's files, the binder rsrc and the platform's compressor.
#pragma once
#include <string>

#include "builder/package/build_context.h"
#include "builder/package/package_build.h"
#include "builder/language_library.h"
#include "builder/project/project_document.h"
#include "builder/win32_file_system.h"

namespace tw {

struct BuildEnvironment {
  std::string builderFolder;  // with trailing backslash
  LanguageLibrary& language;
  Win32FileSystem& files;
};

// Runs the whole build into `packagePath` (a full path); false after a
// stop, whose message has been shown through the reporter. The build writes
// only files of its own: a work folder in the system's temporary folder and
// a temporary file beside the package that replaces it when complete; a
// stop leaves neither. Progress is reset at the end.
bool runBuild(ProjectDocument& project, BuildEnvironment& env, BuildReporter& reporter,
              const std::string& packagePath, BuildTiming* timing = nullptr);

// Starts the resource binder on `target` with `resourceFile`, waits for it
// and deletes the resource file; a binder that cannot start or reports a
// failure stops the build, naming the target as `shownAs` when given.
void bindResources(const std::string& builderFolder, const std::string& target,
                   const std::string& resourceFile, const std::string& shownAs = std::string());

}  // namespace tw
