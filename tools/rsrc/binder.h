// Binds the entries of a resource file into a module, replacing same-named ones.
#pragma once

#include "common/res_file.h"

#include <string>
#include <vector>

// Replaces, in the module at targetPath, every resource that has the type and
// name of an entry (whatever its language) by the entries, and leaves all
// other resources alone (the same bytes on every system). On failure the
// module is unchanged and message tells why. warnings is kept for callers;
// the portable writer leaves nothing out.
[[nodiscard]] bool bindResources(const std::wstring& targetPath,
                                 const std::vector<ResEntry>& entries,
                                 std::wstring& message, std::wstring& warnings);
