// Which files of one component the removal deletes.
#pragma once
#include <string>
#include <vector>

#include "common/install_profile.h"
#include "common/uninstall_record.h"

namespace tw {

// The shared-file counts the removal lowers.
class SharedCounts {
 public:
  // Lowers the count of `path` by one and gives what is left.
  virtual long release(const std::string& path) = 0;

 protected:
  ~SharedCounts() = default;
};

struct FileToRemove {
  std::string path;
  bool readOnly = false;
};

// `folder` and `name` joined by one backslash ("C:\" and "a" give "C:\a").
std::string joinPath(const std::string& folder, const std::string& name);

// The component's files to delete, in profile order: of its direct file
// entries, those the install run recorded in `installed` and shared files
// whose count drops to zero, below `target`. A network installation's
// removal (`networkInstallation`) takes only update files. Every shared
// file's count is lowered as it is met, whether the file goes or not.
std::vector<FileToRemove> componentFilesToRemove(const ComponentRecord& component, const InstalledFiles& installed,
                                                 const std::string& target, bool networkInstallation,
                                                 SharedCounts& shared);

}  // namespace tw
