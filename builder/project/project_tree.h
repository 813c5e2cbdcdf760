// The two trees of a project: components (TVKomp) and installation types
// (TVITypes). Nodes own their children; references between the trees are
// plain pointers that stay valid while both trees live in one document.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tw {

// Node pictures: the builder tells a node's kind by its picture.
constexpr int32_t kPictureFileComponent = 0;  // also the "Dateikomponenten" root
constexpr int32_t kPictureFileEntry = 2;
constexpr int32_t kPictureDummyEntry = 3;
constexpr int32_t kPictureRegistry = 4;  // root, registry component or subkey
constexpr int32_t kPictureRegistryValue = 6;
constexpr int32_t kPictureRemoveFileObjects = 10;

// The selected picture the tree shows for a node of the given picture.
int32_t selectedPictureFor(int32_t picture);

// The component record of every level-1 node of the component tree.
struct KompRec {
  int32_t id = 0;
  int32_t flags = 0;
  int32_t size = 0;  // computed by the build; never stored
  std::string path;
  std::string description;
};

// Component flag bits.
constexpr int32_t kKompUninstallKey = 0x01;     // "Schluessel deinstallieren"
constexpr int32_t kKompOnlyIfEmpty = 0x02;      // "Wenn keine weiteren Eintraege"
constexpr int32_t kKompNotOptional = 0x04;      // "Nicht als Option verwenden"
constexpr int32_t kKompStateBit3 = 0x08;
constexpr int32_t kKompNoCompression = 0x10;    // file components
constexpr int32_t kKompStateBit5 = 0x20;
constexpr int32_t kKompRootCodeShift = 16;      // registry components, 8 bits

// State pictures shown on references below the "Benutzer" type.
enum class StatePicture : int32_t {
  None = 0,
  CheckBoxTicked = 1,
  CheckBoxEmpty = 2,
  OptionSelected = 3,
  OptionEmpty = 4,
};
StatePicture statePictureForFlags(int32_t flags);

struct TreeNode {
  std::string text;
  int32_t picture = 0;
  int32_t selectedPicture = 0;
  bool expanded = false;
  // The node's integer value: file entry bits, subkey bits, value kind, a
  // type root's type index, or (for a reference) the stored component id.
  int32_t value = 0;
  std::unique_ptr<KompRec> komp;  // level-1 nodes of the component tree
  TreeNode* component = nullptr;  // type tree references: the component node
  StatePicture state = StatePicture::None;

  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;

  TreeNode& addChild(std::string childText, int32_t childPicture);
  int level() const;
  int indexInParent() const;  // -1 for a node without parent
};

class Tree {
 public:
  std::vector<std::unique_ptr<TreeNode>> roots;

  TreeNode& addRoot(std::string text, int32_t picture);
  TreeNode& insertRoot(size_t position, std::string text, int32_t picture);
  void removeRoot(size_t position);
  void clear() { roots.clear(); }
  TreeNode* root(size_t i) const { return i < roots.size() ? roots[i].get() : nullptr; }

  // Visits every node in pre-order (each node before its children).
  template <typename F>
  void forEach(F&& visit) const {
    for (const auto& r : roots) visitNode(*r, visit);
  }

 private:
  template <typename F>
  static void visitNode(TreeNode& node, F& visit) {
    visit(node);
    for (const auto& c : node.children) visitNode(*c, visit);
  }
};

}  // namespace tw
