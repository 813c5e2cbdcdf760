// The rules of the property dialogs, apart from their windows: what the
// registry key and value dialogs show, enable and return, the shortcut
// dialog's field fixes and the alias menu's items.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/project/project_document.h"

namespace tw {

struct FormCheck {
  bool ticked = false;
  bool enabled = true;
};

constexpr int kRootItemCount = 6;          // HKEY_CLASSES_ROOT .. HKEY_DYN_DATA
constexpr int kRemoveFileObjectsIndex = 6;  // the seventh item, when offered
extern const char* const kRegistryRootItems[7];

// TRegKeyDlg. Component mode edits a registry component (root, key path,
// name, description); subkey mode a subkey (its name in the key field).
class RegKeyForm {
 public:
  // Component mode without a parent; subkey mode shows `parent` as an extra
  // item and disables the root list. Returning to component mode restores
  // the root chosen before.
  void setParentKey(const std::string* parent);
  // 0: "REMOVE FILEOBJECTS" offered, list enabled; 1: not offered; 2:
  // offered and the list disabled.
  void setRemoveMode(int mode);
  // An existing node. `name` is ignored for a subkey (the key is shown).
  void fillExisting(const std::string& name, const std::string& key, int32_t parentFlags, int32_t flags,
                    const std::string& description);
  // A new node: the name "Neue Komponente", the check boxes set for the
  // parent; key and description keep what the dialog showed last.
  void fillNew(int32_t parentFlags, bool notOptionalTicked, bool notOptionalEnabled);
  void clickUninstall(bool ticked);
  void clickOnlyIfEmpty(bool ticked);
  void clickNotOptional(bool ticked);
  void chooseRoot(int index);
  // Flags, or -1 for an invalid subkey (empty or "\"). The name, key and
  // description are taken from the fields.
  int32_t read(std::string& name, std::string& key, std::string& description) const;

  bool componentMode() const { return componentMode_; }
  std::vector<std::string> rootItems() const;  // the list as shown
  int shownRoot() const { return componentMode_ ? rootIndex_ : static_cast<int>(rootItems().size()) - 1; }
  bool rootEnabled() const { return componentMode_ && removeMode_ != 2 && !editingRemove_; }
  bool nameEnabled() const { return componentMode_; }
  bool keyEnabled() const { return keyEnabled_; }
  bool descriptionEnabled() const { return componentMode_ && descriptionEnabled_; }

  std::string name, key, description;
  FormCheck uninstall, onlyIfEmpty, notOptional;

 private:
  void enableForRoot();
  bool componentMode_ = true;
  std::string parentKey_;
  int removeMode_ = 1;
  int rootIndex_ = 0;
  int savedRoot_ = 0;
  int32_t parentFlags_ = 0;
  bool keyEnabled_ = true;
  bool descriptionEnabled_ = true;
  bool editingRemove_ = false;
};

// TRegValDlg.
class RegValForm {
 public:
  // "Standard" may be chosen (the key has no default value yet, or this is
  // it); the value lies under a "REMOVE FILEOBJECTS" component.
  void setStandardAllowed(bool allowed);
  void setUnderRemove(bool under);
  void fill(const std::string& name, const std::string& data, int32_t nodeValue);
  void tickStandard(bool ticked);
  void chooseType(int type);  // 1..4
  // The node's name, data and value (0 for the default value).
  int32_t write(std::string& name, std::string& data) const;
  // The rules for what the form holds now (a new value starts from the
  // fields of the last use).
  void applyRules();

  std::string name, data;
  int type = 1;
  FormCheck standard;
  bool nameReadOnly = false;
  bool typesEnabled = true;        // the group
  bool onlyDwordEnabled = false;   // under a remove component

 private:
  bool standardAllowed_ = true;
  bool underRemove_ = false;
};

// DWORD data are kept as hexadecimal digits, as Setup reads them: up to
// eight digits, upper case, an optional "0x" dropped. Anything else is 0.
std::string normalisedDwordText(const std::string& text);

// TShellNameDlg field fixes on leaving a field.
std::string subFolderOnLeave(const std::string& text);
std::string iconIndexOnLeave(const std::string& text);
int32_t iconIndexValue(const std::string& text);

// TSAPopup: the twelve aliases, a separator (""), then "[name]" for each
// file component in order.
std::vector<std::string> aliasMenuItems(const ProjectDocument& doc);
constexpr int kFixedAliasCount = 12;
extern const char* const kPathAliases[kFixedAliasCount];
// The text with `insert` replacing the selection [start, end); the caret
// lands after it.
std::string insertAtCaret(const std::string& text, size_t start, size_t end, const std::string& insert,
                          size_t* caret = nullptr);

}  // namespace tw
