// Tree nodes and state pictures.
#include "builder/project/project_tree.h"

namespace tw {

int32_t selectedPictureFor(int32_t picture) {
  switch (picture) {
    case 0: return 1;
    case 4: return 5;
    case 10: return 11;
    default: return picture;
  }
}

StatePicture statePictureForFlags(int32_t flags) {
  if (flags & kKompNotOptional) return StatePicture::CheckBoxTicked;
  bool bit3 = flags & kKompStateBit3, bit5 = flags & kKompStateBit5;
  if (bit3 && bit5) return StatePicture::OptionEmpty;
  if (bit3) return StatePicture::OptionSelected;
  if (bit5) return StatePicture::CheckBoxEmpty;
  return StatePicture::CheckBoxTicked;
}

TreeNode& TreeNode::addChild(std::string childText, int32_t childPicture) {
  auto node = std::make_unique<TreeNode>();
  node->text = std::move(childText);
  node->picture = childPicture;
  node->selectedPicture = selectedPictureFor(childPicture);
  node->parent = this;
  children.push_back(std::move(node));
  return *children.back();
}

int TreeNode::level() const {
  int depth = 0;
  for (const TreeNode* p = parent; p; p = p->parent) ++depth;
  return depth;
}

int TreeNode::indexInParent() const {
  if (!parent) return -1;
  for (size_t i = 0; i < parent->children.size(); ++i)
    if (parent->children[i].get() == this) return static_cast<int>(i);
  return -1;
}

TreeNode& Tree::addRoot(std::string text, int32_t picture) {
  return insertRoot(roots.size(), std::move(text), picture);
}

TreeNode& Tree::insertRoot(size_t position, std::string text, int32_t picture) {
  auto node = std::make_unique<TreeNode>();
  node->text = std::move(text);
  node->picture = picture;
  node->selectedPicture = selectedPictureFor(picture);
  if (position > roots.size()) position = roots.size();
  auto it = roots.insert(roots.begin() + static_cast<long>(position), std::move(node));
  return **it;
}

void Tree::removeRoot(size_t position) {
  if (position < roots.size()) roots.erase(roots.begin() + static_cast<long>(position));
}

}  // namespace tw
