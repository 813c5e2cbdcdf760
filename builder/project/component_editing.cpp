// Editing rules of the component tree, the type tree and the shortcut list.
#include "builder/project/component_editing.h"

#include <algorithm>
#include <functional>

namespace tw {

namespace {

constexpr char kDefSrcPathAlias[] = "[DefSrcPath]";
constexpr size_t kDefSrcPathAliasLength = sizeof kDefSrcPathAlias - 1;

const TreeNode* rootOf(const TreeNode& node) {
  const TreeNode* n = &node;
  while (n->parent) n = n->parent;
  return n;
}

bool inTree(const Tree& tree, const TreeNode& node) {
  const TreeNode* root = rootOf(node);
  for (const auto& r : tree.roots)
    if (r.get() == root) return true;
  return false;
}

bool isDescendantOf(const TreeNode& node, const TreeNode& ancestor) {
  for (const TreeNode* p = node.parent; p; p = p->parent)
    if (p == &ancestor) return true;
  return false;
}

std::unique_ptr<TreeNode> detach(TreeNode& node) {
  TreeNode* parent = node.parent;
  auto& list = parent->children;
  auto it = std::find_if(list.begin(), list.end(), [&](const auto& c) { return c.get() == &node; });
  std::unique_ptr<TreeNode> owned = std::move(*it);
  list.erase(it);
  owned->parent = nullptr;
  return owned;
}

TreeNode& insertAt(TreeNode& parent, size_t index, std::unique_ptr<TreeNode> node) {
  node->parent = &parent;
  if (index > parent.children.size()) index = parent.children.size();
  auto it = parent.children.insert(parent.children.begin() + static_cast<long>(index), std::move(node));
  return **it;
}

std::unique_ptr<TreeNode> newNode(const std::string& text, int32_t picture) {
  auto node = std::make_unique<TreeNode>();
  node->text = text;
  node->picture = picture;
  node->selectedPicture = selectedPictureFor(picture);
  return node;
}

// A copy of the subtree without component records; references keep their
// component.
std::unique_ptr<TreeNode> cloneSubtree(const TreeNode& source) {
  auto node = std::make_unique<TreeNode>();
  node->text = source.text;
  node->picture = source.picture;
  node->selectedPicture = source.selectedPicture;
  node->expanded = source.expanded;
  node->value = source.value;
  node->component = source.component;
  node->state = source.state;
  for (const auto& c : source.children) {
    auto child = cloneSubtree(*c);
    child->parent = node.get();
    node->children.push_back(std::move(child));
  }
  return node;
}

TreeNode* siblingAt(const TreeNode& node, int offset) {
  if (!node.parent) return nullptr;
  int i = node.indexInParent() + offset;
  if (i < 0 || i >= static_cast<int>(node.parent->children.size())) return nullptr;
  return node.parent->children[static_cast<size_t>(i)].get();
}

// Subkeys and values never pass one another; file and dummy entries do.
bool ruleA(const TreeNode& node, const TreeNode* sibling) {
  return sibling && (sibling->picture < kPictureRegistry || sibling->picture == node.picture);
}

size_t fileComponentPlace(const TreeNode& fileRoot) {
  return fileRoot.children.size() >= 2 ? 1 : fileRoot.children.size();
}

size_t firstNonSubkey(const TreeNode& key) {
  for (size_t i = 0; i < key.children.size(); ++i)
    if (key.children[i]->picture != kPictureRegistry) return i;
  return key.children.size();
}

void forEachBelow(TreeNode& node, const std::function<void(TreeNode&)>& visit) {
  for (const auto& c : node.children) {
    visit(*c);
    forEachBelow(*c, visit);
  }
}

// Deletes every reference to `component` below `node`, nested ones with
// the reference above them.
void pruneReferences(TreeNode& node, const TreeNode* component) {
  auto& list = node.children;
  list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& c) { return c->component == component; }),
             list.end());
  for (const auto& c : list) pruneReferences(*c, component);
}

TreeNode* selectionAfterRemoving(TreeNode& node) {
  if (TreeNode* next = siblingAt(node, 1)) return next;
  if (TreeNode* previous = siblingAt(node, -1)) return previous;
  return node.parent;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string removalText(int32_t flags) {
  switch (flags & 3) {
    case 0: return " (Wird nicht entfernt)";
    case 1: return " (Wird entfernt)";
    case 3: return " (Wird entfernt wenn leer)";
    default: return {};
  }
}

}  // namespace

KompKind kompKind(const TreeNode* node) {
  if (!node) return KompKind::None;
  int level = node->level();
  if (level == 0) return node->picture == kPictureFileComponent ? KompKind::FileRoot : KompKind::RegistryRoot;
  if (level == 1) {
    switch (node->picture) {
      case kPictureFileComponent: return KompKind::FileComponent;
      case kPictureRemoveFileObjects: return KompKind::RemoveComponent;
      default: return KompKind::RegistryComponent;
    }
  }
  switch (node->picture) {
    case kPictureFileEntry: return KompKind::FileEntry;
    case kPictureDummyEntry: return KompKind::DummyEntry;
    case kPictureRegistry: return KompKind::Subkey;
    case kPictureRegistryValue: return KompKind::Value;
    default: return KompKind::None;
  }
}

bool isComponent(const TreeNode* node) {
  KompKind k = kompKind(node);
  return k == KompKind::FileComponent || k == KompKind::RegistryComponent || k == KompKind::RemoveComponent;
}

bool isFirstFileComponent(const ProjectDocument& doc, const TreeNode* node) {
  const TreeNode* files = doc.fileComponentsRoot();
  return node && files && !files->children.empty() && files->children[0].get() == node;
}

TreeNode* owningComponent(TreeNode* node) {
  while (node && node->level() > 1) node = node->parent;
  return node && node->level() == 1 ? node : nullptr;
}

KompButtons kompButtons(const ProjectDocument& doc, const TreeNode* selected) {
  KompButtons b;
  if (!selected) return b;
  b.fileSide = rootOf(*selected) == doc.fileComponentsRoot();
  switch (kompKind(selected)) {
    case KompKind::FileRoot:
      b.position1 = b.properties = true;
      break;
    case KompKind::RegistryRoot:
      b.position1 = true;
      break;
    case KompKind::FileComponent:
    case KompKind::RegistryComponent:
    case KompKind::RemoveComponent: {
      b.position1 = b.position2 = b.properties = b.insertIntoTypes = true;
      b.position3 = kompKind(selected) != KompKind::RemoveComponent;
      if (isFirstFileComponent(doc, selected)) break;
      b.remove = true;
      const TreeNode* previous = siblingAt(*selected, -1);
      b.up = previous && !isFirstFileComponent(doc, previous);
      b.down = siblingAt(*selected, 1) != nullptr;
      break;
    }
    case KompKind::FileEntry:
    case KompKind::DummyEntry:
    case KompKind::Subkey:
    case KompKind::Value: {
      KompKind k = kompKind(selected);
      b.remove = true;
      b.up = ruleA(*selected, siblingAt(*selected, -1));
      b.down = ruleA(*selected, siblingAt(*selected, 1));
      b.position1 = b.position2 = b.position3 = k == KompKind::Subkey;
      b.properties = k == KompKind::Subkey || k == KompKind::Value;
      b.fileLink = k == KompKind::FileEntry;
      break;
    }
    case KompKind::None: break;
  }
  return b;
}

TypeButtons typeButtons(const TreeNode* selected) {
  TypeButtons b;
  if (!selected) return b;
  if (!selected->parent) {
    b.loadText = true;
    return b;
  }
  b.remove = true;
  b.up = siblingAt(*selected, -1) != nullptr;
  b.down = siblingAt(*selected, 1) != nullptr;
  return b;
}

bool canMoveUp(const ProjectDocument& doc, const TreeNode* node) {
  if (!node || !node->parent) return false;
  if (inTree(doc.TVITypes, *node)) return typeButtons(node).up;
  return kompButtons(doc, node).up;
}

bool canMoveDown(const ProjectDocument& doc, const TreeNode* node) {
  if (!node || !node->parent) return false;
  if (inTree(doc.TVITypes, *node)) return typeButtons(node).down;
  return kompButtons(doc, node).down;
}

bool moveUp(ProjectDocument& doc, TreeNode& node) {
  if (!canMoveUp(doc, &node)) return false;
  auto& list = node.parent->children;
  size_t i = static_cast<size_t>(node.indexInParent());
  std::swap(list[i], list[i - 1]);
  return true;
}

bool moveDown(ProjectDocument& doc, TreeNode& node) {
  if (!canMoveDown(doc, &node)) return false;
  auto& list = node.parent->children;
  size_t i = static_cast<size_t>(node.indexInParent());
  std::swap(list[i], list[i + 1]);
  return true;
}

const char* registryRootName(int rootCode) {
  static const char* const names[] = {"HKEY_CLASSES_ROOT",   "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                      "HKEY_USERS",          "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
                                      "REMOVE FILEOBJECTS"};
  return rootCode >= 1 && rootCode <= 7 ? names[rootCode - 1] : "";
}

std::string kompStatusText(const TreeNode* node) {
  switch (kompKind(node)) {
    case KompKind::FileComponent: return "Zielverzeichnis: " + (node->komp ? node->komp->path : std::string());
    case KompKind::RemoveComponent: return "REMOVE FILEOBJECTS (Wird entfernt)";
    case KompKind::RegistryComponent:
    case KompKind::Subkey: {
      std::vector<const TreeNode*> chain;
      const TreeNode* n = node;
      for (; n && n->level() > 1; n = n->parent) chain.push_back(n);
      if (!n || !n->komp) return {};
      std::string text = registryRootName((n->komp->flags >> kKompRootCodeShift) & 0xFF);
      if (!n->komp->path.empty()) text += "\\" + n->komp->path;
      for (auto it = chain.rbegin(); it != chain.rend(); ++it) text += "\\" + (*it)->text;
      return text + removalText(node == n ? n->komp->flags : node->value);
    }
    case KompKind::Value: {
      static const char* const types[] = {"REG_SZ", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"};
      const char* type = node->value >= 0 && node->value <= 4 ? types[node->value] : "";
      return valueName(*node) + " = " + valueData(*node) + " (" + type + ")";
    }
    default: return {};
  }
}

// ---- New nodes ----------------------------------------------------------

PendingComponent::PendingComponent(ProjectDocument& doc) : doc_(doc), record_(std::make_unique<KompRec>()) {
  record_->id = doc_.allocateComponentId();
}

PendingComponent::~PendingComponent() { cancel(); }

std::unique_ptr<KompRec> PendingComponent::commit() { return std::move(record_); }

void PendingComponent::cancel() {
  if (!record_) return;
  // The id goes back only while nothing took a later one.
  if (doc_.NextComponentId == record_->id + 1) doc_.returnComponentId();
  record_.reset();
}

TreeNode* addComponent(ProjectDocument& doc, TreeNode& at, const std::string& name, std::unique_ptr<KompRec> record) {
  if (!record) return nullptr;
  KompKind k = kompKind(&at);
  TreeNode* parent = nullptr;
  size_t index = 0;
  if (k == KompKind::FileRoot) {
    parent = &at;
    index = fileComponentPlace(at);
  } else if (k == KompKind::RegistryRoot) {
    parent = &at;
    index = 0;
  } else if (isComponent(&at)) {
    parent = at.parent;
    index = static_cast<size_t>(at.indexInParent()) + 1;
  } else {
    return nullptr;
  }
  bool fileSide = parent == doc.fileComponentsRoot();
  int32_t picture = fileSide ? kPictureFileComponent
                    : ((record->flags >> kKompRootCodeShift) & 0xFF) == 7 ? kPictureRemoveFileObjects
                                                                          : kPictureRegistry;
  auto node = newNode(name, picture);
  node->komp = std::move(record);
  parent->expanded = true;
  return &insertAt(*parent, index, std::move(node));
}

std::string storedSourcePath(const std::string& defSrcPath, const std::string& path) {
  if (defSrcPath.empty() || !startsWith(path, defSrcPath)) return path;
  // "C:\Src" must not take "C:\Src2\a.exe": the folder ends at a separator.
  if (path.size() > defSrcPath.size() && path[defSrcPath.size()] != '\\' && defSrcPath.back() != '\\')
    return path;
  return kDefSrcPathAlias + path.substr(defSrcPath.size());
}

std::string expandedSourcePath(const std::string& defSrcPath, const std::string& text) {
  if (!startsWith(text, kDefSrcPathAlias)) return text;
  return defSrcPath + text.substr(kDefSrcPathAliasLength);
}

std::vector<TreeNode*> addFileEntries(ProjectDocument& doc, TreeNode& component,
                                      const std::vector<std::string>& paths) {
  std::vector<TreeNode*> added;
  if (kompKind(&component) != KompKind::FileComponent) return added;
  for (const std::string& p : paths) {
    TreeNode& entry = component.addChild(storedSourcePath(doc.DefSrcPathValue, p), kPictureFileEntry);
    entry.value = 0;
    added.push_back(&entry);
  }
  component.expanded = true;
  return added;
}

TreeNode& addDummyEntry(TreeNode& component) {
  TreeNode& entry = component.addChild("Dummy.$$$", kPictureDummyEntry);
  entry.value = 320;
  component.expanded = true;
  return entry;
}

bool keyHasDefaultValue(const TreeNode& key, const TreeNode* except) {
  for (const auto& c : key.children)
    if (c->picture == kPictureRegistryValue && c->value == 0 && c.get() != except) return true;
  return false;
}

std::string valueName(const TreeNode& value) {
  size_t nul = value.text.find('\0');
  return nul == std::string::npos ? value.text : value.text.substr(0, nul);
}

std::string valueData(const TreeNode& value) {
  size_t nul = value.text.find('\0');
  return nul == std::string::npos ? std::string() : value.text.substr(nul + 1);
}

void setValueText(TreeNode& value, const std::string& name, const std::string& data) {
  value.text = name;
  value.text.push_back('\0');
  value.text += data;
}

TreeNode& addRegistryValue(TreeNode& key, const std::string& name, const std::string& data, int32_t type) {
  TreeNode& value = key.addChild("", kPictureRegistryValue);
  setValueText(value, name, data);
  value.value = type;
  key.expanded = true;
  return value;
}

TreeNode& addSubkey(TreeNode& key, const std::string& name, int32_t flags) {
  size_t index = firstNonSubkey(key);
  if (index == key.children.size()) index = 0;
  auto node = newNode(name, kPictureRegistry);
  node->value = flags;
  key.expanded = true;
  return insertAt(key, index, std::move(node));
}

TreeNode& addSubkeyAfter(TreeNode& sibling, const std::string& name, int32_t flags) {
  auto node = newNode(name, kPictureRegistry);
  node->value = flags;
  return insertAt(*sibling.parent, static_cast<size_t>(sibling.indexInParent()) + 1, std::move(node));
}

std::string parentKeyText(const TreeNode& key) {
  if (!key.komp) return key.text;
  const std::string& path = key.komp->path;
  if (path.empty()) return "\\";
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int32_t keyFlags(const TreeNode& key) { return key.komp ? key.komp->flags : key.value; }

void applyRemovalToSubkeys(TreeNode& key, int32_t oldFlags, int32_t newFlags) {
  int32_t oldMode = oldFlags & 3, newMode = newFlags & 3;
  bool towardsRemoval = (oldMode == 0 && newMode != 0) || (oldMode != 1 && newMode == 1);
  if (!towardsRemoval) return;
  forEachBelow(key, [&](TreeNode& n) {
    if (n.picture != kPictureRegistry) return;
    n.value |= kKompUninstallKey;
    if (newMode == 1) n.value &= ~kKompOnlyIfEmpty;
  });
}

// ---- Removal and renaming ------------------------------------------------

void removeShortcutsTo(ProjectDocument& doc, const TreeNode& subtree) {
  auto& list = doc.CheckListBox2;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const ShortcutEntry& e) {
                              const TreeNode* t = e.object.target;
                              return t && (t == &subtree || isDescendantOf(*t, subtree));
                            }),
             list.end());
}

TreeNode* removeKompNode(ProjectDocument& doc, TreeNode& node) {
  if (!node.parent || isFirstFileComponent(doc, &node)) return nullptr;
  if (isComponent(&node))
    for (const auto& root : doc.TVITypes.roots) pruneReferences(*root, &node);
  // Shortcuts to the files of a removed component go too: they would point
  // at nothing.
  removeShortcutsTo(doc, node);
  TreeNode* next = selectionAfterRemoving(node);
  detach(node);
  return next;
}

TreeNode* removeTypeReference(ProjectDocument&, TreeNode& reference) {
  if (!reference.parent) return nullptr;
  TreeNode* next = selectionAfterRemoving(reference);
  detach(reference);
  return next;
}

bool canRenameKomp(const TreeNode* node) {
  switch (kompKind(node)) {
    case KompKind::FileComponent:
    case KompKind::RegistryComponent:
    case KompKind::RemoveComponent:
    case KompKind::FileEntry:
    case KompKind::DummyEntry:
    case KompKind::Subkey: return true;
    default: return false;
  }
}

bool renameKompNode(ProjectDocument& doc, TreeNode& node, const std::string& name) {
  // An empty name would leave an entry without file or key: the old stays.
  if (!canRenameKomp(&node) || name.empty() || name == node.text) return false;
  node.text = name;
  if (isComponent(&node))
    doc.TVITypes.forEach([&](TreeNode& r) {
      if (r.component == &node) r.text = name;
    });
  return true;
}

bool canRenameType(const TreeNode* node) { return node && !node->parent; }

// ---- Drag and drop --------------------------------------------------------

bool canDropOnKomp(const ProjectDocument& doc, const TreeNode& dragged, const TreeNode& target, bool copy) {
  if (!inTree(doc.TVKomp, dragged) || !inTree(doc.TVKomp, target) || &dragged == &target) return false;
  KompKind t = kompKind(&target);
  if (target.parent && target.picture != kPictureRegistry && target.picture != kPictureFileComponent) return false;
  switch (kompKind(&dragged)) {
    case KompKind::FileEntry:
    case KompKind::DummyEntry: return t == KompKind::FileComponent;
    case KompKind::Value:
      if (t != KompKind::RegistryComponent && t != KompKind::Subkey) return false;
      // At most one default value per key.
      return dragged.value != 0 || !keyHasDefaultValue(target, &dragged);
    case KompKind::FileComponent: return copy && t == KompKind::FileRoot;
    case KompKind::RegistryComponent:
    case KompKind::RemoveComponent: return copy && t == KompKind::RegistryRoot;
    case KompKind::Subkey:
      if (t != KompKind::RegistryComponent && t != KompKind::Subkey) return false;
      return copy || !isDescendantOf(target, dragged);
    default: return false;
  }
}

TreeNode* dropOnKomp(ProjectDocument& doc, TreeNode& dragged, TreeNode& target, bool copy) {
  if (!canDropOnKomp(doc, dragged, target, copy)) return nullptr;
  KompKind d = kompKind(&dragged);
  std::unique_ptr<TreeNode> node;
  if (copy || !target.parent) {
    node = cloneSubtree(dragged);
    if (dragged.komp) {
      node->komp = std::make_unique<KompRec>(*dragged.komp);
      node->komp->id = doc.allocateComponentId();
      node->komp->description.clear();
    }
  } else {
    node = detach(dragged);  // the node keeps its identity: shortcuts follow it
  }
  size_t index = 0;
  if (d == KompKind::FileComponent) index = fileComponentPlace(target);
  else if (d == KompKind::Value) index = firstNonSubkey(target);
  target.expanded = true;
  return &insertAt(target, index, std::move(node));
}

const TreeNode* typeRootOf(const TreeNode& node) { return rootOf(node); }

bool canDropOnTypes(const ProjectDocument& doc, const TreeNode& dragRef, const TreeNode& target, bool copy) {
  if (!inTree(doc.TVITypes, target) || &dragRef == &target) return false;
  if (!target.parent && target.value == kTypeNetzwerk) return false;
  if (inTree(doc.TVKomp, dragRef)) return isComponent(&dragRef) && dragRef.komp;
  if (!inTree(doc.TVITypes, dragRef) || !dragRef.parent) return false;
  // A reference cannot be moved into its own subtree.
  return copy || !isDescendantOf(target, dragRef);
}

namespace {
std::unique_ptr<TreeNode> newReference(TreeNode& component) {
  auto ref = newNode(component.text, component.picture);
  ref->value = component.komp ? component.komp->id : 0;
  ref->component = &component;
  return ref;
}
}  // namespace

TreeNode* dropOnTypes(ProjectDocument& doc, TreeNode& dragRef, TreeNode& target, bool copy) {
  if (!canDropOnTypes(doc, dragRef, target, copy)) return nullptr;
  TreeNode* added;
  if (inTree(doc.TVKomp, dragRef)) {
    added = &insertAt(target, target.children.size(), newReference(dragRef));
  } else {
    added = &insertAt(target, target.children.size(), cloneSubtree(dragRef));
    if (!copy) detach(dragRef);
  }
  target.expanded = true;
  doc.refreshStatePictures();
  return added;
}

TreeNode* insertReferenceAfter(ProjectDocument& doc, TreeNode& typeNode, TreeNode& component) {
  if (!typeNode.parent || !isComponent(&component) || !inTree(doc.TVITypes, typeNode)) return nullptr;
  TreeNode* added =
      &insertAt(*typeNode.parent, static_cast<size_t>(typeNode.indexInParent()) + 1, newReference(component));
  doc.refreshStatePictures();
  return added;
}

TreeNode* appendReference(ProjectDocument& doc, TreeNode& typeNode, TreeNode& component) {
  if (!isComponent(&component) || !inTree(doc.TVITypes, typeNode)) return nullptr;
  TreeNode* added = &insertAt(typeNode, typeNode.children.size(), newReference(component));
  typeNode.expanded = true;
  doc.refreshStatePictures();
  return added;
}

bool cycleSelectionState(ProjectDocument& doc, TreeNode& reference) {
  TreeNode* component = reference.component;
  if (!reference.parent || !component || !component->komp) return false;
  if (rootOf(reference)->value != kTypeBenutzer) return false;
  int32_t& flags = component->komp->flags;
  if (flags & kKompNotOptional) return false;
  const int32_t bits = kKompStateBit3 | kKompStateBit5;
  int32_t next;
  switch (flags & bits) {
    case 0: next = kKompStateBit5; break;
    case kKompStateBit5: next = kKompStateBit3; break;
    case kKompStateBit3: next = bits; break;
    default: next = 0; break;
  }
  flags = (flags & ~bits) | next;
  doc.refreshStatePictures();
  return true;
}

// ---- File entry options -----------------------------------------------------

FileOptions fileOptionsOf(int32_t value) {
  FileOptions o;
  o.mode = static_cast<Overwrite>(value & 3);
  o.shared = (value & 8) != 0;
  o.ini = !o.shared && (value & 16) != 0;
  o.iniEnabled = !o.shared;
  o.sharedEnabled = !o.ini;
  return o;
}

int32_t fileOptionValue(Overwrite mode, bool shared, bool ini) {
  return static_cast<int32_t>(mode) + (shared ? 8 : ini ? 16 : 0);
}

// ---- Shortcuts -------------------------------------------------------------

std::string shortcutTargetText(const TreeNode* target) {
  if (!target || !target->parent) return {};
  return "[" + target->parent->text + "]\\" + fileNameOfPath(target->text);
}

std::string shortcutListText(const ShortcutEntry& entry) {
  return entry.caption + " = " + shortcutTargetText(entry.object.target);
}

std::string shortcutStatusText(const ShortcutEntry& entry) {
  std::string text = "Parameter:\"" + entry.object.parameters + "\"";
  if (entry.object.appPathFile && entry.object.appPathDir) text += "; AppPath : Datei und Pfad";
  else if (entry.object.appPathFile) text += "; AppPath : Datei";
  else if (entry.object.appPathDir) text += "; AppPath : Pfad";
  return text;
}

int removeShortcut(ProjectDocument& doc, int index) {
  auto& list = doc.CheckListBox2;
  if (index < 0 || index >= static_cast<int>(list.size())) return -1;
  list.erase(list.begin() + index);
  if (list.empty()) return -1;
  return index == 0 ? 0 : index - 1;
}

bool swapShortcuts(ProjectDocument& doc, int a, int b) {
  auto& list = doc.CheckListBox2;
  int n = static_cast<int>(list.size());
  if (a < 0 || b < 0 || a >= n || b >= n || a == b) return false;
  std::swap(list[static_cast<size_t>(a)], list[static_cast<size_t>(b)]);
  return true;
}

// ---- Source path -------------------------------------------------------------

bool updateDefSrcPath(ProjectDocument& doc, std::string value, bool updateEntries) {
  if (!value.empty() && value.back() == '\\') value.pop_back();
  bool changed = value != doc.DefSrcPathValue;
  if (updateEntries && doc.fileComponentsRoot()) {
    for (const auto& component : doc.fileComponentsRoot()->children)
      for (const auto& entry : component->children) {
        std::string full = expandedSourcePath(doc.DefSrcPathValue, entry->text);
        std::string stored = storedSourcePath(value, full);
        // Outside the new folder an entry keeps its text.
        if (stored != full && stored != entry->text) {
          entry->text = stored;
          changed = true;
        }
      }
  }
  doc.DefSrcPathValue = value;
  return changed;
}

}  // namespace tw
