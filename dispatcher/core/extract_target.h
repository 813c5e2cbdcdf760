// Where a file of the runtime cabinet goes: work folder or temporary path.
#pragma once

#include <cstddef>

namespace tw::dispatcher {

// Names starting with "_" (the runtime and its resource DLL) go into the
// work folder; the others (the folder remover, which must outlive the work
// folder) into its parent, the temporary path. workFolder ends in a
// backslash. False for a name that is not a plain file name (empty, ".",
// "..", or holding a path separator or a drive colon) or a path that does
// not fit; out is then empty.
[[nodiscard]] bool composeExtractTarget(const char* workFolder,
                                        const char* entryName, char* out,
                                        std::size_t capacity);

}  // namespace tw::dispatcher
