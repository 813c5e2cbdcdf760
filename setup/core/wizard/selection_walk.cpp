// The selection walk over the type tree, in place by child counts.
#include "setup/core/wizard/selection_walk.h"

namespace tw {

SelectionTree::SelectionTree(std::vector<ProfileTreeNode> nodes, std::vector<SelectionComponent>& components,
                             uint32_t selectionMask)
    : nodes_(std::move(nodes)), ends_(nodes_.size(), 0), components_(components), mask_(selectionMask) {
  // Subtree ends from the child counts, without recursion; a count that
  // promises more nodes than there are ends at the last node.
  std::vector<std::pair<size_t, uint32_t>> open;  // node, children still to come
  for (size_t i = 0; i < nodes_.size(); ++i) {
    while (!open.empty() && open.back().second == 0) {
      ends_[open.back().first] = i;
      open.pop_back();
    }
    if (!open.empty()) --open.back().second;
    open.push_back({i, nodes_[i].childCount});
  }
  for (auto& o : open) ends_[o.first] = nodes_.size();
}

size_t SelectionTree::subtreeEnd(size_t node) const { return node < ends_.size() ? ends_[node] : node; }

std::vector<size_t> SelectionTree::children(size_t node) const {
  std::vector<size_t> out;
  for (size_t c = node + 1; c < subtreeEnd(node); c = subtreeEnd(c)) out.push_back(c);
  return out;
}

SelectionComponent* SelectionTree::component(size_t node) {
  if (node >= nodes_.size()) return nullptr;
  uint16_t number = nodes_[node].component;
  return number < components_.size() ? &components_[number] : nullptr;
}

void SelectionTree::walk(size_t node, int depth, WalkAction action, WalkSums& sums) {
  SelectionComponent* c = component(node);
  if (!c) return;
  bool clicked = action.kind == WalkAction::Toggle && action.clicked == node;
  WalkAction act = action;
  if (clicked) act.kind = isSelected(*c) ? WalkAction::Deselect : WalkAction::Select;
  bool propagating = act.kind == WalkAction::Select || act.kind == WalkAction::Deselect;
  bool offeredChild = depth == 1 && !(c->flags & kFlagNotOffered);
  if (depth == 0) walkSelected_ = walkUnselected_ = 0;

  if (depth > 0 && !propagating && !isSelected(*c)) {
    ++walkUnselected_;
    if (offeredChild) ++sums.totalCount;
    return;
  }
  bool keepsState = (c->flags & kFlagOptionButton) && !clicked;
  if (!keepsState && act.kind == WalkAction::Select) setState(*c, kStateSelected);
  if (!keepsState && act.kind == WalkAction::Deselect) setState(*c, kStateNotSelected);

  if (isSelected(*c)) {
    if (propagating) sums.bytesChanged += c->size;
    ++walkSelected_;
    sums.selectedSize += c->size;
    sums.selectedNeeded += c->needed;
    if (offeredChild) {
      ++sums.selectedCount;
      ++sums.totalCount;
    }
  } else {
    ++walkUnselected_;
  }

  uint32_t selectedBefore = walkSelected_, unselectedBefore = walkUnselected_;
  for (size_t child : children(node)) walk(child, depth + 1, act, sums);
  if (walkSelected_ > selectedBefore && walkUnselected_ > unselectedBefore) setState(*c, kStatePartly);
}

WalkSums SelectionTree::refresh(WalkAction action) {
  WalkSums sums;
  if (!nodes_.empty())
    for (size_t child : children(0)) walk(child, 0, action, sums);
  return sums;
}

uint64_t SelectionTree::toggle(size_t levelNode, size_t node) {
  SelectionComponent* c = component(node);
  if (!c) return 0;
  if (c->flags & kFlagOptionButton) {
    if ((c->state & kStateMask) == kStateSelected) return 0;
    if ((c->state & kStateMask) == kStatePartly) setState(*c, kStateNotSelected);
    for (size_t sibling : children(levelNode)) {
      SelectionComponent* s = component(sibling);
      if (sibling == node || !s || !(s->flags & kFlagOptionButton) || (s->flags & kFlagNotOffered) ||
          (s->state & kStateMask) == 0)
        continue;
      WalkSums ignored;
      walk(sibling, 0, WalkAction{WalkAction::Toggle, sibling}, ignored);
    }
  }
  return refresh(WalkAction{WalkAction::Toggle, node}).bytesChanged;
}

void SelectionTree::saveStates(size_t node) {
  for (size_t i = node + 1; i < subtreeEnd(node); ++i)
    if (SelectionComponent* c = component(i))
      c->state = (c->state & ~(kStateMask << kSavedStateShift)) | ((c->state & kStateMask) << kSavedStateShift);
}

void SelectionTree::restoreStates(size_t node) {
  for (size_t i = node + 1; i < subtreeEnd(node); ++i)
    if (SelectionComponent* c = component(i)) setState(*c, (c->state >> kSavedStateShift) & kStateMask);
}

void SelectionTree::stateFromChildren(size_t node) {
  SelectionComponent* c = component(node);
  if (!c) return;
  size_t offered = 0, selected = 0;
  for (size_t child : children(node)) {
    SelectionComponent* s = component(child);
    if (!s || (s->flags & kFlagNotOffered)) continue;
    ++offered;
    if ((s->state & kStateMask) == kStateSelected) ++selected;
  }
  setState(*c, selected == offered ? kStateSelected : selected == 0 ? kStateNotSelected : kStatePartly);
}

}  // namespace tw
