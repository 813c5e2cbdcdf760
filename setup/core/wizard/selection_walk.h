// The component selection of the custom setup page: the walk over the
// chosen type's component tree that toggles, propagates and sums.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/install_profile.h"

namespace tw {

constexpr uint32_t kStateNotSelected = 0;
constexpr uint32_t kStateSelected = 1;
constexpr uint32_t kStatePartly = 2;
constexpr uint32_t kStateMask = 3;     // bits 0-1 of the component state
constexpr int kSavedStateShift = 8;    // bits 8-9 keep the state on "Details"
constexpr uint32_t kFlagNotOffered = 0x04;
constexpr uint32_t kFlagOptionButton = 0x08;

// One component's run state, as far as the selection needs it.
struct SelectionComponent {
  uint32_t flags = 0;
  uint32_t state = kStateSelected;
  uint64_t size = 0;
  uint64_t needed = 0;  // bytes it will occupy, from the check pass
};

// What a walk does at the nodes it reaches.
struct WalkAction {
  enum Kind { CountOnly, Select, Deselect, Toggle } kind = CountOnly;
  size_t clicked = 0;  // node index, for Toggle
};

struct WalkSums {
  uint32_t selectedCount = 0;  // offered direct children (depth 1) selected
  uint32_t totalCount = 0;     // offered direct children (depth 1)
  uint64_t selectedSize = 0;
  uint64_t selectedNeeded = 0;
  uint64_t bytesChanged = 0;
};

class SelectionTree {
 public:
  // `nodes` is the type's tree in pre-order, its own node first.
  SelectionTree(std::vector<ProfileTreeNode> nodes, std::vector<SelectionComponent>& components,
                uint32_t selectionMask = kStateMask);

  size_t nodeCount() const { return nodes_.size(); }
  // The direct children of a node (0 is the type's own node).
  std::vector<size_t> children(size_t node) const;
  SelectionComponent* component(size_t node);

  // The recursive walk; sums accumulate in `sums`.
  void walk(size_t node, int depth, WalkAction action, WalkSums& sums);
  // Resets the sums and walks every child of the type's root at depth 0.
  WalkSums refresh(WalkAction action);

  // Toggling a list entry of the level whose node is `levelNode`: option
  // buttons cannot be unselected by a click, and selecting one deselects
  // its offered option-button siblings. Returns the bytes changed.
  uint64_t toggle(size_t levelNode, size_t node);

  // "Details": keep the states below `node` in bits 8-9; "Cancel": give them
  // back; "Ok": the node's state from its offered direct children.
  void saveStates(size_t node);
  void restoreStates(size_t node);
  void stateFromChildren(size_t node);

 private:
  size_t subtreeEnd(size_t node) const;
  bool isSelected(const SelectionComponent& c) const { return (c.state & mask_) != 0; }
  void setState(SelectionComponent& c, uint32_t s) { c.state = (c.state & ~kStateMask) | s; }

  std::vector<ProfileTreeNode> nodes_;
  std::vector<size_t> ends_;  // one past each node's subtree
  std::vector<SelectionComponent>& components_;
  uint32_t mask_;
  uint32_t walkSelected_ = 0, walkUnselected_ = 0;
};

}  // namespace tw
