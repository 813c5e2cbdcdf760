// The builder's project: every field the main window holds, kept in one
// document object so that the windows, the build and the command line work
// on the same data. Field names follow the controls they stand for.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/project/project_tree.h"

namespace tw {

// Strings of the current language module (type descriptions come from
// strings 200 to 203). An empty text where no module is loaded.
class LanguageTexts {
 public:
  virtual ~LanguageTexts() = default;
  virtual std::string text(int id) const = 0;
};

class NoLanguageTexts final : public LanguageTexts {
 public:
  std::string text(int) const override { return {}; }
};

enum InstallationType : int { kTypeNormal = 0, kTypeMinimal = 1, kTypeBenutzer = 2, kTypeNetzwerk = 3 };
constexpr int kTypeCount = 4;
constexpr size_t kTypeDescriptionSize = 256;
constexpr size_t kTypeDescriptionMax = 255;
constexpr int kLanguageTypeDescriptionBase = 200;

enum class TitleAlignment { Left, Centred, Right };

// Target of a shortcut entry and its options.
struct TCmdObject {
  TreeNode* target = nullptr;  // a file entry below a file component
  // The indices read from the file; written back unchanged while the entry
  // has no target, so that a project resaves as it was read.
  int32_t storedComponentIndex = 0;
  int32_t storedFileIndex = 0;
  bool appPathFile = false;
  bool appPathDir = false;
  std::string subFolder;
  std::string parameters;
  std::string workDir;
  std::string iconFile;
  int32_t iconIndex = 0;
};

struct ShortcutEntry {
  std::string caption;
  TCmdObject object;
  bool checked = false;
};

constexpr int kDialogSequenceEntries = 15;
extern const char* const kDialogSequenceNames[kDialogSequenceEntries];

extern const char kFileComponentsRoot[];      // "Dateikomponenten"
extern const char kRegistryComponentsRoot[];  // "Registrykomponenten"
extern const char* const kTypeNames[kTypeCount];

class ProjectDocument {
 public:
  ProjectDocument();
  ProjectDocument(ProjectDocument&&) = default;
  ProjectDocument& operator=(ProjectDocument&&) = default;
  ProjectDocument(const ProjectDocument&) = delete;
  ProjectDocument& operator=(const ProjectDocument&) = delete;

  // Document fields.
  std::string ProjectPath;
  std::string DefSrcPathValue;
  std::string TitleAlternate;
  std::array<uint8_t, kTypeCount * kTypeDescriptionSize> TypeDescriptions{};
  int32_t NextComponentId = 1;
  bool Modified = false;
  bool UpdateGuard = false;
  // Forgotten whenever another project is opened.
  std::string LastPackagePath;

  // Application data.
  std::string EditDefGen;
  std::string EditApp;
  std::string EditVer;
  std::string EditVer2;
  std::string EditExe;
  std::string EditReadMe;
  std::string EditFolder;
  std::string EditCompany;
  std::string EditTargetDir = "<ProgramFilesDir>";
  bool CheckBoxLN = false;
  bool CheckBoxInst = false;
  bool CheckBoxDeinst = false;

  // Background appearance.
  bool RadioTitleText = true;  // false: the title names a bitmap
  std::string EditTitleBmp;
  std::string EditTitleSz = "36";
  TitleAlignment TitleAlign = TitleAlignment::Left;
  bool CheckBox_AnimT = false;
  std::string EditLogo;
  int32_t ComboLogoAlign = 4;
  bool CheckBox_AnimL = false;
  int32_t ComboColor = 10;
  bool CheckBoxFullScreen = false;
  bool CheckBoxSizeable = false;

  // Installation types; Normal always exists.
  bool CheckMinInst = false;
  bool CheckUserInst = false;
  bool CheckSystemInst = false;
  int32_t DefaultType = kTypeNormal;  // RBNorm, RBMin, RBUser

  Tree TVKomp;
  Tree TVITypes;
  std::vector<ShortcutEntry> CheckListBox2;

  // Dialogs page.
  std::array<bool, kDialogSequenceEntries> CheckListBox1{};
  std::string Reserved34;
  bool Reserved39 = false;
  std::string EditWelBmp;
  std::string EditLizenz;
  std::string EditInfoTxt;
  bool CheckName = false;
  std::string EditAdvert;
  std::string EditUserLB;  // not stored in the project file
  bool RadioForceReboot = false;  // false: "Wenn notwendig"
  std::string ComboLanguage;       // language name of the chosen module
  std::string EditCustomDll = "ZETUSUM.DLL";

  // The version as it is shown and stored: major "." minor.
  std::string versionText() const { return EditVer + "." + EditVer2; }
  void setVersionText(const std::string& text);

  std::string typeDescription(int typeIndex) const;
  // Cuts the text to 255 characters; bytes after the terminator stay.
  void setTypeDescription(int typeIndex, const std::string& text);

  TreeNode* fileComponentsRoot() const { return TVKomp.root(0); }
  TreeNode* registryComponentsRoot() const { return TVKomp.root(1); }
  TreeNode* typeRoot(int typeIndex) const;

  // New-project reset and tree reset.
  void ResetProject(const LanguageTexts& language);
  void ClearTrees(bool forNewProject, const LanguageTexts& language);

  // Component ids: a new component takes the counter's value; a cancelled
  // creation gives it back.
  int32_t allocateComponentId() { return NextComponentId++; }
  void returnComponentId() { --NextComponentId; }

  // Ticking or unticking the check boxes of the Minimal, Benutzer and
  // Netzwerk types. Normal cannot be removed.
  void addInstallationType(int typeIndex, const LanguageTexts& language);
  void removeInstallationType(int typeIndex);

  // Sets a component's flags; "Nicht als Option verwenden" clears the
  // selection bits. References below "Benutzer" show the new state.
  void setComponentFlags(TreeNode& component, int32_t flags);

  // Points every reference in the type tree at its component by id, and
  // gives the references below "Benutzer" their state pictures.
  void resolveTypeReferences();
  void refreshStatePictures();
  // The file entry at (component index, file index) below "Dateikomponenten".
  TreeNode* fileEntryAt(int32_t componentIndex, int32_t fileIndex) const;

  // "Brakmoor Tamblewright - [name.tbw]".
  std::string windowCaption() const;

 private:
  bool* typeCheckBox(int typeIndex);
};

// The folder part of a path without trailing separator, and the file name.
std::string folderOfPath(const std::string& path);
std::string fileNameOfPath(const std::string& path);
// The path with its extension replaced (or added when there is none).
std::string changeFileExtension(const std::string& path, const std::string& extension);

}  // namespace tw
