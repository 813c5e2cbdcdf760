// Rules of the registry key, registry value and shortcut dialogs and of the
// alias menu.
#include "builder/project/property_forms.h"

#include <algorithm>
#include <cstdlib>

namespace tw {

const char* const kRegistryRootItems[7] = {"HKEY_CLASSES_ROOT",   "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                           "HKEY_USERS",          "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
                                           "REMOVE FILEOBJECTS"};

const char* const kPathAliases[kFixedAliasCount] = {
    "<CommonFilesDir>", "<FontDir>",  "<InstallDir>", "<ProgramFilesDir>", "<SrcDir>",    "<SupportDir>",
    "<TempDir>",        "<UserName>", "<WinDir>",     "<WinDisk>",         "<WinSys16Dir>", "<WinSysDir>"};

// ---- Registry key dialog ----------------------------------------------------

void RegKeyForm::setParentKey(const std::string* parent) {
  if (parent) {
    if (componentMode_) savedRoot_ = rootIndex_;
    componentMode_ = false;
    parentKey_ = *parent;
  } else {
    if (!componentMode_) rootIndex_ = savedRoot_;
    componentMode_ = true;
    parentKey_.clear();
  }
}

void RegKeyForm::setRemoveMode(int mode) {
  removeMode_ = mode;
  if (mode == 1 && rootIndex_ == kRemoveFileObjectsIndex) rootIndex_ = 0;
}

std::vector<std::string> RegKeyForm::rootItems() const {
  std::vector<std::string> items(kRegistryRootItems, kRegistryRootItems + kRootItemCount);
  if (removeMode_ != 1) items.push_back(kRegistryRootItems[kRemoveFileObjectsIndex]);
  if (!componentMode_) items.push_back(parentKey_);
  return items;
}

void RegKeyForm::fillExisting(const std::string& componentName, const std::string& keyText, int32_t p, int32_t flags,
                              const std::string& text) {
  int r = (flags >> 16) & 0xFF;
  bool remove = r == 7;
  editingRemove_ = remove && componentMode_;
  parentFlags_ = p;
  uninstall = {(flags & 1) != 0 || remove, !((p & 1) != 0 || remove)};
  onlyIfEmpty = {(flags & 2) != 0 && !remove, (p & 3) != 1 && (flags & 1) != 0 && !remove};
  notOptional = {(flags & 4) != 0 || r == 0 || remove, componentMode_ && !remove};
  key = keyText;
  keyEnabled_ = !remove;
  name = componentMode_ ? componentName : keyText;
  if (componentMode_) {
    rootIndex_ = r >= 1 && r <= 7 ? r - 1 : 0;
    description = text;
    descriptionEnabled_ = !remove;
  } else {
    descriptionEnabled_ = false;
  }
}

void RegKeyForm::fillNew(int32_t p, bool notOptionalTicked, bool notOptionalEnabled) {
  editingRemove_ = false;
  parentFlags_ = p;
  name = "Neue Komponente";
  uninstall = {true, (p & 1) == 0};
  onlyIfEmpty = {false, (p & 3) != 1};
  notOptional = {notOptionalTicked, notOptionalEnabled};
  if (componentMode_ && rootIndex_ == kRemoveFileObjectsIndex && removeMode_ == 1) rootIndex_ = 0;
  keyEnabled_ = descriptionEnabled_ = true;
  if (componentMode_ && rootIndex_ == kRemoveFileObjectsIndex) chooseRoot(rootIndex_);
}

void RegKeyForm::clickUninstall(bool ticked) {
  if (!uninstall.enabled) return;
  uninstall.ticked = ticked;
  if (!ticked) onlyIfEmpty = {false, false};
  else onlyIfEmpty.enabled = (parentFlags_ & 3) != 1;
}

void RegKeyForm::clickOnlyIfEmpty(bool ticked) {
  if (onlyIfEmpty.enabled) onlyIfEmpty.ticked = ticked;
}

void RegKeyForm::clickNotOptional(bool ticked) {
  if (notOptional.enabled) notOptional.ticked = ticked;
}

void RegKeyForm::chooseRoot(int index) {
  if (!componentMode_ || index < 0 || index >= static_cast<int>(rootItems().size())) return;
  rootIndex_ = index;
  if (index == kRemoveFileObjectsIndex) {
    key.clear();
    description.clear();
    uninstall = {true, false};
    notOptional = {true, false};
    onlyIfEmpty = {false, false};
    keyEnabled_ = descriptionEnabled_ = false;
  } else {
    enableForRoot();
  }
}

void RegKeyForm::enableForRoot() {
  keyEnabled_ = descriptionEnabled_ = true;
  uninstall.enabled = (parentFlags_ & 1) == 0;
  onlyIfEmpty.enabled = (parentFlags_ & 3) != 1 && uninstall.ticked;
  notOptional.enabled = componentMode_;
}

int32_t RegKeyForm::read(std::string& outName, std::string& outKey, std::string& outDescription) const {
  bool remove = componentMode_ && rootIndex_ == kRemoveFileObjectsIndex;
  std::string k = key;
  if (!remove) {
    if (!componentMode_ && (k.empty() || k == "\\")) return -1;
    if (!k.empty() && k.back() == '\\') k.pop_back();
  }
  outKey = k;
  outName = componentMode_ ? name : k;
  outDescription = componentMode_ ? description : std::string();
  int32_t flags = (uninstall.ticked ? 1 : 0) + (onlyIfEmpty.ticked ? 2 : 0) + (notOptional.ticked ? 4 : 0);
  if (componentMode_) flags += (rootIndex_ + 1) << 16;
  return flags;
}

// ---- Registry value dialog --------------------------------------------------

void RegValForm::setStandardAllowed(bool allowed) { standardAllowed_ = allowed; }
void RegValForm::setUnderRemove(bool under) { underRemove_ = under; }

void RegValForm::fill(const std::string& valueName, const std::string& valueData, int32_t nodeValue) {
  name = valueName;
  data = valueData;
  standard.ticked = nodeValue == 0;
  type = nodeValue >= 1 && nodeValue <= 4 ? nodeValue : 1;
  applyRules();
}

void RegValForm::tickStandard(bool ticked) {
  if (!standard.enabled) return;
  standard.ticked = ticked;
  applyRules();
}

void RegValForm::chooseType(int t) {
  if (t < 1 || t > 4 || !typesEnabled || underRemove_) return;
  type = t;
}

void RegValForm::applyRules() {
  standard.enabled = standardAllowed_ && !underRemove_;
  if (!standard.enabled) standard.ticked = false;
  onlyDwordEnabled = underRemove_;
  if (underRemove_) {
    type = 4;
    typesEnabled = false;
    data = normalisedDwordText(data);
  } else {
    typesEnabled = !standard.ticked;
  }
  nameReadOnly = standard.ticked;
  if (standard.ticked) {
    name = "(Standard)";
    type = 1;
  }
}

int32_t RegValForm::write(std::string& outName, std::string& outData) const {
  outName = standard.ticked ? "(Standard)" : name;
  outData = type == 4 ? normalisedDwordText(data) : data;
  return standard.ticked ? 0 : type;
}

std::string normalisedDwordText(const std::string& text) {
  std::string t = text;
  t.erase(0, t.find_first_not_of(' '));
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t.erase(0, 2);
  if (t.empty() || t.size() > 8) return "0";
  for (char& c : t) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return "0";
  }
  return t;
}

// ---- Shortcut dialog ---------------------------------------------------------

std::string subFolderOnLeave(const std::string& text) {
  return text.empty() || text.back() == '\\' ? text : text + "\\";
}

std::string iconIndexOnLeave(const std::string& text) {
  if (text.empty() || text[0] == '-') return "0";
  long v = std::strtol(text.c_str(), nullptr, 10);
  if (text.find_first_not_of("0123456789") != std::string::npos) return "0";
  if (text.size() > 3 || v >= 256) return "255";
  return std::to_string(v);
}

int32_t iconIndexValue(const std::string& text) {
  return static_cast<int32_t>(std::strtol(iconIndexOnLeave(text).c_str(), nullptr, 10));
}

// ---- Alias menu ----------------------------------------------------------------

std::vector<std::string> aliasMenuItems(const ProjectDocument& doc) {
  std::vector<std::string> items(kPathAliases, kPathAliases + kFixedAliasCount);
  items.emplace_back();
  if (const TreeNode* files = doc.fileComponentsRoot())
    for (const auto& c : files->children) items.push_back("[" + c->text + "]");
  return items;
}

std::string insertAtCaret(const std::string& text, size_t start, size_t end, const std::string& insert,
                          size_t* caret) {
  start = std::min(start, text.size());
  end = std::min(std::max(end, start), text.size());
  if (caret) *caret = start + insert.size();
  return text.substr(0, start) + insert + text.substr(end);
}

}  // namespace tw
