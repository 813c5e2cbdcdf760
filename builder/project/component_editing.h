// The editing rules of the Komponenten page: which buttons a selection
// allows, where new nodes go, which drops are accepted, how nodes move and
// what a removal takes with it. The window only shows the document and
// forwards the user's actions to these functions.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/project/project_document.h"

namespace tw {

enum class KompKind {
  None,
  FileRoot,          // "Dateikomponenten"
  RegistryRoot,      // "Registrykomponenten"
  FileComponent,
  RegistryComponent,
  RemoveComponent,   // root code 7, "REMOVE FILEOBJECTS"
  FileEntry,
  DummyEntry,
  Subkey,
  Value,
};
KompKind kompKind(const TreeNode* node);
bool isComponent(const TreeNode* node);  // a level-1 node with its record
bool isFirstFileComponent(const ProjectDocument& doc, const TreeNode* node);
// The component a node of the component tree belongs to (itself for one).
TreeNode* owningComponent(TreeNode* node);

// Which of the buttons beside the component tree are enabled.
struct KompButtons {
  bool fileSide = true;  // the file buttons shown, else the registry ones
  bool position1 = false, position2 = false, position3 = false;
  bool remove = false, up = false, down = false, properties = false;
  bool insertIntoTypes = false;  // BitBtnI08; BitBtnI07 also needs a reference selected
  bool fileLink = false;         // BitBtnFileLink
};
KompButtons kompButtons(const ProjectDocument& doc, const TreeNode* selected);

struct TypeButtons {
  bool remove = false, up = false, down = false, loadText = false;
};
// Installation type roots keep the order Normal, Minimal, Benutzer,
// Netzwerk that adding and removing types rely on: only references move.
TypeButtons typeButtons(const TreeNode* selected);

bool canMoveUp(const ProjectDocument& doc, const TreeNode* node);
bool canMoveDown(const ProjectDocument& doc, const TreeNode* node);
// Moves the node past its sibling. Nodes keep their identity, so the
// references and shortcuts that point at them stay valid.
bool moveUp(ProjectDocument& doc, TreeNode& node);
bool moveDown(ProjectDocument& doc, TreeNode& node);

// The status line for a node of the component tree.
std::string kompStatusText(const TreeNode* node);
const char* registryRootName(int rootCode);  // 1..7, else ""

// ---- New nodes ----------------------------------------------------------

// A component record under construction: it holds an id from the counter
// and gives it back unless it was committed (a cancelled dialog).
class PendingComponent {
 public:
  explicit PendingComponent(ProjectDocument& doc);
  ~PendingComponent();
  PendingComponent(const PendingComponent&) = delete;
  PendingComponent& operator=(const PendingComponent&) = delete;
  KompRec& record() { return *record_; }
  int32_t id() const { return record_ ? record_->id : -1; }
  // Hands the record to the new node; the id stays taken.
  std::unique_ptr<KompRec> commit();
  // Drops the record and returns its id now.
  void cancel();

 private:
  ProjectDocument& doc_;
  std::unique_ptr<KompRec> record_;
};

// Places a new component for the selection `at` (a root or a component):
// on "Dateikomponenten" second when it has two or more children, else last;
// on "Registrykomponenten" first; on a component directly after it.
TreeNode* addComponent(ProjectDocument& doc, TreeNode& at, const std::string& name, std::unique_ptr<KompRec> record);

// "[DefSrcPath]" plus the rest for a path inside the source folder (the
// folder is matched exactly and must end at a separator), else the path.
std::string storedSourcePath(const std::string& defSrcPath, const std::string& path);
// "[DefSrcPath]" replaced by the folder.
std::string expandedSourcePath(const std::string& defSrcPath, const std::string& text);
// Appends file entries (picture 2, value 0) to a file component.
std::vector<TreeNode*> addFileEntries(ProjectDocument& doc, TreeNode& component,
                                      const std::vector<std::string>& paths);
TreeNode& addDummyEntry(TreeNode& component);

// A registry key's own value children.
bool keyHasDefaultValue(const TreeNode& key, const TreeNode* except = nullptr);
std::string valueName(const TreeNode& value);
std::string valueData(const TreeNode& value);
void setValueText(TreeNode& value, const std::string& name, const std::string& data);
TreeNode& addRegistryValue(TreeNode& key, const std::string& name, const std::string& data, int32_t type);
// A new subkey goes before the first child that is not a subkey.
TreeNode& addSubkey(TreeNode& key, const std::string& name, int32_t flags);
TreeNode& addSubkeyAfter(TreeNode& sibling, const std::string& name, int32_t flags);
// What the key dialog shows as the parent of a new subkey.
std::string parentKeyText(const TreeNode& key);
// The flags of a key node: a component's record flags or a subkey's value.
int32_t keyFlags(const TreeNode& key);
// After a key's flags changed: when removal is switched on (bits 0-1 from
// 0 to anything, or from anything but 1 to 1), every subkey below is
// removed too, and unconditionally when the new mode is 1.
void applyRemovalToSubkeys(TreeNode& key, int32_t oldFlags, int32_t newFlags);

// ---- Removal and renaming ------------------------------------------------

// Removes a node of the component tree with its references, the shortcuts
// to its files and its subtree. Returns the node to select next.
TreeNode* removeKompNode(ProjectDocument& doc, TreeNode& node);
// Removes a reference of the type tree with the references below it.
TreeNode* removeTypeReference(ProjectDocument& doc, TreeNode& reference);
void removeShortcutsTo(ProjectDocument& doc, const TreeNode& subtree);

bool canRenameKomp(const TreeNode* node);
// Renames a node; an empty name keeps the old one. A component's references
// take its new name. True when the name changed.
bool renameKompNode(ProjectDocument& doc, TreeNode& node, const std::string& name);
bool canRenameType(const TreeNode* node);

// ---- Drag and drop --------------------------------------------------------

bool canDropOnKomp(const ProjectDocument& doc, const TreeNode& dragged, const TreeNode& target, bool copy);
// Performs an accepted drop; returns the new node (nullptr when refused).
TreeNode* dropOnKomp(ProjectDocument& doc, TreeNode& dragged, TreeNode& target, bool copy);

bool canDropOnTypes(const ProjectDocument& doc, const TreeNode& dragRef, const TreeNode& target, bool copy);
// dragRef is a component of the component tree (a new reference is
// appended) or a reference of the type tree (copied, the source deleted
// unless copying).
TreeNode* dropOnTypes(ProjectDocument& doc, TreeNode& dragRef, TreeNode& target, bool copy);

// The insert buttons of the type tree: after the selected node, or as its
// last child.
TreeNode* insertReferenceAfter(ProjectDocument& doc, TreeNode& typeNode, TreeNode& component);
TreeNode* appendReference(ProjectDocument& doc, TreeNode& typeNode, TreeNode& component);
// The type root above a node of the type tree.
const TreeNode* typeRootOf(const TreeNode& node);

// A click on a reference's state picture: ticked check box, empty check
// box, selected option button, empty option button, and round again.
bool cycleSelectionState(ProjectDocument& doc, TreeNode& reference);

// ---- File entry options -----------------------------------------------------

enum class Overwrite : int32_t { Always = 0, IfNewer = 1, IfHigherVersion = 2, Never = 3 };
struct FileOptions {
  Overwrite mode = Overwrite::Always;
  bool shared = false, ini = false;
  bool sharedEnabled = true, iniEnabled = true;
};
FileOptions fileOptionsOf(int32_t value);
int32_t fileOptionValue(Overwrite mode, bool shared, bool ini);

// ---- Shortcuts -------------------------------------------------------------

// caption " = " "[component]\file".
std::string shortcutListText(const ShortcutEntry& entry);
std::string shortcutTargetText(const TreeNode* target);
// "Parameter:" "params"; AppPath ...
std::string shortcutStatusText(const ShortcutEntry& entry);
// Removes entry `index`; returns the entry to select (-1 for none).
int removeShortcut(ProjectDocument& doc, int index);
bool swapShortcuts(ProjectDocument& doc, int a, int b);

// ---- Source path -------------------------------------------------------------

// Sets DefSrcPathValue (a trailing backslash dropped). With updateEntries,
// every file entry that lies below the new folder is written with
// "[DefSrcPath]"; others keep their text. True when anything changed.
bool updateDefSrcPath(ProjectDocument& doc, std::string value, bool updateEntries);

}  // namespace tw
