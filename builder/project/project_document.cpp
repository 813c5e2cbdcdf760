// Project model operations: resets, installation types, component flags.
#include "builder/project/project_document.h"

#include <algorithm>
#include <cstring>

namespace tw {

const char kFileComponentsRoot[] = "Dateikomponenten";
const char kRegistryComponentsRoot[] = "Registrykomponenten";
const char* const kTypeNames[kTypeCount] = {"Normal", "Minimal", "Benutzer", "Netzwerk"};

const char* const kDialogSequenceNames[kDialogSequenceEntries] = {
    "",
    "Willkommen Bitmap",
    "Willkommen Meldung",
    "Lizenzvereinbarungen",
    "Informationstext",
    "Benutzerinformation",
    "Zielposition w\xE4hlen",
    "Setup Typ",
    "Benutzerdefiniertes Setup",
    "Programmordner w\xE4hlen",
    "Installationsstart best\xE4tigen",
    "Fortschrittsanzeiger",
    "Reklameanzeigen",
    "Computer starten",
    "Programm ausf\xFChren",
};

namespace {
constexpr char kNewComponentName[] = "Programmdateien";
constexpr char kNewComponentPath[] = "<InstallDir>";
}  // namespace

ProjectDocument::ProjectDocument() {
  TVKomp.addRoot(kFileComponentsRoot, kPictureFileComponent);
  TVKomp.addRoot(kRegistryComponentsRoot, kPictureRegistry);
  TVITypes.addRoot(kTypeNames[kTypeNormal], 0).value = kTypeNormal;
}

void ProjectDocument::setVersionText(const std::string& text) {
  size_t dot = text.find('.');
  if (dot == std::string::npos) {
    EditVer = text;
    EditVer2.clear();
  } else {
    EditVer = text.substr(0, dot);
    EditVer2 = text.substr(dot + 1);
  }
}

bool* ProjectDocument::typeCheckBox(int typeIndex) {
  switch (typeIndex) {
    case kTypeMinimal: return &CheckMinInst;
    case kTypeBenutzer: return &CheckUserInst;
    case kTypeNetzwerk: return &CheckSystemInst;
    default: return nullptr;
  }
}

std::string ProjectDocument::typeDescription(int typeIndex) const {
  if (typeIndex < 0 || typeIndex >= kTypeCount) return {};
  const uint8_t* block = TypeDescriptions.data() + typeIndex * kTypeDescriptionSize;
  size_t n = 0;
  while (n < kTypeDescriptionMax && block[n]) ++n;
  return std::string(reinterpret_cast<const char*>(block), n);
}

void ProjectDocument::setTypeDescription(int typeIndex, const std::string& text) {
  if (typeIndex < 0 || typeIndex >= kTypeCount) return;
  uint8_t* block = TypeDescriptions.data() + typeIndex * kTypeDescriptionSize;
  size_t n = std::min(text.size(), kTypeDescriptionMax);
  std::memcpy(block, text.data(), n);
  block[n] = 0;
}

TreeNode* ProjectDocument::typeRoot(int typeIndex) const {
  for (const auto& r : TVITypes.roots)
    if (r->value == typeIndex) return r.get();
  return nullptr;
}

void ProjectDocument::ClearTrees(bool forNewProject, const LanguageTexts& language) {
  CheckMinInst = false;
  CheckSystemInst = false;
  CheckListBox2.clear();
  DefSrcPathValue.clear();
  if (!forNewProject) {
    // A load brings every node, the roots included.
    TVITypes.clear();
    TVKomp.clear();
    return;
  }
  if (TVITypes.roots.empty()) TVITypes.addRoot("", 0);
  TVITypes.roots.resize(1);
  TreeNode& normal = *TVITypes.roots[0];
  normal.children.clear();
  normal.text = kTypeNames[kTypeNormal];
  normal.value = kTypeNormal;
  normal.expanded = true;

  while (TVKomp.roots.size() < 2)
    TVKomp.roots.size() == 0 ? TVKomp.addRoot(kFileComponentsRoot, kPictureFileComponent)
                             : TVKomp.addRoot(kRegistryComponentsRoot, kPictureRegistry);
  for (auto& r : TVKomp.roots) r->children.clear();
  TreeNode& files = *TVKomp.roots[0];
  TreeNode& program = files.addChild(kNewComponentName, kPictureFileComponent);
  program.komp = std::make_unique<KompRec>();
  program.komp->id = 0;
  program.komp->path = kNewComponentPath;
  files.expanded = true;
  setTypeDescription(kTypeNormal, language.text(kLanguageTypeDescriptionBase));
}

void ProjectDocument::ResetProject(const LanguageTexts& language) {
  UpdateGuard = true;
  EditApp.clear();
  EditVer.clear();
  EditVer2.clear();
  EditExe.clear();
  EditReadMe.clear();
  EditFolder.clear();
  EditCompany.clear();
  EditTargetDir = "<ProgramFilesDir>";
  RadioTitleText = true;
  EditTitleBmp.clear();
  EditTitleSz = "36";
  TitleAlign = TitleAlignment::Left;
  CheckBox_AnimT = false;
  EditLogo.clear();
  ComboLogoAlign = 4;
  ComboColor = 10;
  ClearTrees(true, language);
  NextComponentId = 1;
  CheckMinInst = CheckUserInst = CheckSystemInst = false;
  DefaultType = kTypeNormal;
  DefSrcPathValue.clear();
  for (int i = 1; i < kDialogSequenceEntries; ++i) CheckListBox1[i] = false;
  EditWelBmp.clear();
  EditLizenz.clear();
  EditInfoTxt.clear();
  EditAdvert.clear();
  CheckName = false;
  Reserved34.clear();
  Reserved39 = false;
  UpdateGuard = false;
}

void ProjectDocument::addInstallationType(int typeIndex, const LanguageTexts& language) {
  bool* box = typeCheckBox(typeIndex);
  if (!box || *box) return;
  // The roots stay in the order Normal, Minimal, Benutzer, Netzwerk: the new
  // one goes before the first root of a higher type index.
  size_t position = 0;
  while (position < TVITypes.roots.size() && TVITypes.roots[position]->value < typeIndex)
    ++position;
  TreeNode& root = TVITypes.insertRoot(position, kTypeNames[typeIndex], 0);
  root.value = typeIndex;
  root.expanded = true;
  *box = true;
  setTypeDescription(typeIndex, language.text(kLanguageTypeDescriptionBase + typeIndex));
}

void ProjectDocument::removeInstallationType(int typeIndex) {
  bool* box = typeCheckBox(typeIndex);
  if (!box || !*box) return;
  for (size_t i = 0; i < TVITypes.roots.size(); ++i)
    if (TVITypes.roots[i]->value == typeIndex) {
      TVITypes.removeRoot(i);
      break;
    }
  *box = false;
  if (DefaultType == typeIndex) DefaultType = kTypeNormal;
}

void ProjectDocument::setComponentFlags(TreeNode& component, int32_t flags) {
  if (!component.komp) return;
  if (flags & kKompNotOptional) flags &= ~(kKompStateBit3 | kKompStateBit5);
  component.komp->flags = flags;
  refreshStatePictures();
}

void ProjectDocument::resolveTypeReferences() {
  TreeNode* files = fileComponentsRoot();
  TreeNode* registry = registryComponentsRoot();
  for (const auto& root : TVITypes.roots) {
    for (const auto& child : root->children) {
      // References may be nested; resolve the whole subtree.
      std::vector<TreeNode*> pending{child.get()};
      while (!pending.empty()) {
        TreeNode* node = pending.back();
        pending.pop_back();
        bool isRegistry = node->picture == kPictureRegistry ||
                          node->picture == kPictureRemoveFileObjects;
        TreeNode* list = isRegistry ? registry : files;
        node->component = nullptr;
        if (list)
          for (const auto& c : list->children)
            if (c->komp && c->komp->id == node->value) {
              node->component = c.get();
              break;
            }
        for (const auto& c : node->children) pending.push_back(c.get());
      }
    }
  }
  refreshStatePictures();
}

void ProjectDocument::refreshStatePictures() {
  TreeNode* benutzer = typeRoot(kTypeBenutzer);
  if (!benutzer) return;
  std::vector<TreeNode*> pending;
  for (const auto& c : benutzer->children) pending.push_back(c.get());
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    node->state = node->component && node->component->komp
                      ? statePictureForFlags(node->component->komp->flags)
                      : StatePicture::None;
    for (const auto& c : node->children) pending.push_back(c.get());
  }
}

TreeNode* ProjectDocument::fileEntryAt(int32_t componentIndex, int32_t fileIndex) const {
  TreeNode* files = fileComponentsRoot();
  if (!files || componentIndex < 0 || fileIndex < 0) return nullptr;
  if (static_cast<size_t>(componentIndex) >= files->children.size()) return nullptr;
  TreeNode* component = files->children[componentIndex].get();
  if (static_cast<size_t>(fileIndex) >= component->children.size()) return nullptr;
  return component->children[fileIndex].get();
}

std::string ProjectDocument::windowCaption() const {
  return "Brakmoor Tamblewright - [" + fileNameOfPath(ProjectPath) + "]";
}

namespace {
size_t lastSeparator(const std::string& path) {
  return path.find_last_of("\\/:");
}
}  // namespace

std::string folderOfPath(const std::string& path) {
  size_t sep = lastSeparator(path);
  if (sep == std::string::npos) return {};
  if (path[sep] == ':') return path.substr(0, sep + 1);  // "C:name"
  std::string folder = path.substr(0, sep);
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/') && folder.size() > 1)
    folder.pop_back();
  return folder;
}

std::string fileNameOfPath(const std::string& path) {
  size_t sep = lastSeparator(path);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string changeFileExtension(const std::string& path, const std::string& extension) {
  size_t sep = lastSeparator(path);
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
    return path + extension;
  return path.substr(0, dot) + extension;
}

}  // namespace tw
