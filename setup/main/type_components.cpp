// The chosen type's component list and the processed test.
#include "setup/main/type_components.h"

#include "setup/core/wizard/page_rules.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/main/runtime_state.h"

namespace tw {

std::vector<int> typeComponentList(int typeId) {
  std::vector<int> list;
  InstallationTypeRecord type;
  if (!readInstallationType(runProfile(), typeId - 501, type)) return list;
  for (size_t i = 1; i < type.nodes.size(); ++i) list.push_back(type.nodes[i].component);
  return list;
}

bool componentProcessed(int number) {
  const RunState& s = runState();
  if (number < 0 || static_cast<size_t>(number) >= s.table.size()) return false;
  bool takesAll = s.selectionMask != 4 && s.selectedType != kTypeIdNetwork &&
                  !componentPageShown(s.selectedType, profileHasType(2));
  return takesAll || (s.table[number].state & s.selectionMask) != 0;
}

}  // namespace tw
