// Which files of one component the removal deletes.
#include "setup/core/removal/component_files.h"

#include "setup/core/main/path_text.h"

namespace tw {

std::string joinPath(const std::string& folder, const std::string& name) {
  return withoutAnyBackslash(folder) + "\\" + name;
}

std::vector<FileToRemove> componentFilesToRemove(const ComponentRecord& component, const InstalledFiles& installed,
                                                 const std::string& target, bool networkInstallation,
                                                 SharedCounts& shared) {
  std::vector<FileToRemove> out;
  uint16_t i = 0;
  for (const ProfileEntry& file : component.entries) {
    if (file.depth != 1) continue;
    if (i >= installed.count()) break;
    uint16_t index = i++;
    if (!(file.flags & kEntryFile)) continue;
    std::string path = joinPath(target, file.text);
    long count = 1;
    if (file.flags & kEntryShared) count = shared.release(path);
    bool takes = !networkInstallation || (file.flags & kEntryUpdate);
    if (!takes || !(installed.test(index) || count == 0)) continue;
    out.push_back({path, (file.flags & kEntryReadOnly) != 0});
  }
  return out;
}

}  // namespace tw
