// The components of the chosen installation type, in the order the runs
// walk them, and whether a run processes a component.
#pragma once
#include <vector>

namespace tw {

// Component numbers (0-based, resource id - 1) of the type's tree in
// pre-order, the type's own node left out. Empty when the type is missing.
std::vector<int> typeComponentList(int typeId);

// Whether the install and registration runs process component `number`:
// every component of a type whose list the user cannot change, otherwise
// those whose state has a bit of the run's selection mask.
bool componentProcessed(int number);

}  // namespace tw
