// Reading and writing project files.
#include "builder/project/project_file.h"

#include <climits>
#include <cstring>

#include "builder/project/value_stream.h"

namespace tw {

const char kProjectSignature[] = "BM-Tamblewright 1.9";
const char kProjectSignaturePrefix[] = "BM-Tamblewright";

namespace {

constexpr size_t kSignaturePrefixLength = 15;
constexpr int32_t kTitleLeft = 0x100;
constexpr int32_t kTitleCentred = 0x200;
constexpr int32_t kTitleRight = 0x400;
constexpr int32_t kTitleAnimated = 0x800;
constexpr int32_t kLogoAnimated = 0x1000;

ProjectStatus streamStatus(const ValueReader& reader) {
  switch (reader.error()) {
    case StreamError::InvalidValue: return {ProjectError::InvalidValue, {}};
    case StreamError::ReadPastEnd: return {ProjectError::StreamRead, {}};
    case StreamError::None: break;
  }
  return {};
}

int32_t encodeLogoAndTitle(const ProjectDocument& p) {
  int32_t v = p.ComboLogoAlign & 0xFF;
  switch (p.TitleAlign) {
    case TitleAlignment::Left: v |= kTitleLeft; break;
    case TitleAlignment::Centred: v |= kTitleCentred; break;
    case TitleAlignment::Right: v |= kTitleRight; break;
  }
  if (p.CheckBox_AnimT) v |= kTitleAnimated;
  if (p.CheckBox_AnimL) v |= kLogoAnimated;
  return v;
}

void decodeLogoAndTitle(int32_t v, ProjectDocument& p) {
  p.ComboLogoAlign = v & 0xFF;
  if (v & kTitleCentred) p.TitleAlign = TitleAlignment::Centred;
  else if (v & kTitleRight) p.TitleAlign = TitleAlignment::Right;
  else p.TitleAlign = TitleAlignment::Left;
  p.CheckBox_AnimT = (v & kTitleAnimated) != 0;
  p.CheckBox_AnimL = (v & kLogoAnimated) != 0;
}

// Tree reading by levels: each node's level says where it attaches to the
// node read before it.
bool readTree(ValueReader& in, Tree& tree, bool componentTree) {
  int32_t count = in.readInteger();
  TreeNode* current = nullptr;
  int64_t currentLevel = 0;
  int currentDepth = 0;
  for (int32_t i = 0; i < count && !in.failed(); ++i) {
    std::string text = in.readString();
    int32_t level = in.readInteger();
    if (in.failed()) return false;
    TreeNode* node;
    int depth;
    if (current && level > currentLevel) {
      if (currentDepth + 1 > kProjectTreeMaxDepth) return false;
      node = &current->addChild(std::move(text), 0);
      depth = currentDepth + 1;
    } else {
      TreeNode* reached = current;
      depth = currentDepth;
      for (int64_t up = currentLevel - level; up > 0 && reached; --up) {
        reached = reached->parent;
        --depth;
      }
      if (!reached || !reached->parent) {
        node = &tree.addRoot(std::move(text), 0);
        depth = 0;
      } else {
        node = &reached->parent->addChild(std::move(text), 0);
      }
    }
    current = node;
    currentLevel = level;
    currentDepth = depth;

    node->picture = in.readInteger();
    node->expanded = in.readBoolean();
    node->selectedPicture = selectedPictureFor(node->picture);
    if (componentTree && depth == 1) {
      node->komp = std::make_unique<KompRec>();
      node->komp->id = in.readInteger();
      node->komp->flags = in.readInteger();
      node->komp->path = in.readString();
      node->komp->description = in.readString();
    } else {
      node->value = in.readInteger();
    }
  }
  return !in.failed();
}

void writeNode(ValueWriter& out, const TreeNode& node, int depth, bool componentTree) {
  out.writeString(node.text);
  out.writeInteger(depth);
  out.writeInteger(node.picture);
  out.writeBoolean(node.expanded);
  if (componentTree && depth == 1) {
    KompRec empty;
    const KompRec& k = node.komp ? *node.komp : empty;
    out.writeInteger(k.id);
    out.writeInteger(k.flags);
    out.writeString(k.path);
    out.writeString(k.description);
  } else if (!componentTree && depth > 0) {
    out.writeInteger(node.component && node.component->komp ? node.component->komp->id
                                                            : node.value);
  } else {
    out.writeInteger(node.value);
  }
  for (const auto& c : node.children) writeNode(out, *c, depth + 1, componentTree);
}

void writeTree(ValueWriter& out, const Tree& tree, bool componentTree) {
  int32_t count = 0;
  tree.forEach([&](const TreeNode&) { ++count; });
  out.writeInteger(count);
  for (const auto& r : tree.roots) writeNode(out, *r, 0, componentTree);
}

unsigned char foldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  return c;
}

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  return true;
}

}  // namespace

const char* ProjectStatus::messageTemplate(ProjectError error) {
  switch (error) {
    case ProjectError::None: return "";
    case ProjectError::NotAProject: return "Datei %s ist keine Tamblewright-Projektdatei";
    case ProjectError::InvalidValue: return "Ung\xFCltiger Wert der Eigenschaft";
    case ProjectError::StreamRead: return "Stream-Read-Fehler";
    case ProjectError::InvalidInteger: return "'%s' ist kein g\xFCltiger Integerwert";
    case ProjectError::CannotOpen: return "Datei %s kann nicht ge\xF6" "ffnet werden";
    case ProjectError::CannotCreate: return "Datei %s kann nicht erstellt werden";
  }
  return "";
}

std::string ProjectStatus::message() const {
  std::string text = messageTemplate(error);
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

bool parseProjectInteger(const std::string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v > INT_MAX || v < INT_MIN) return false;
  value = static_cast<int>(v);
  return true;
}

ProjectStatus readProject(const uint8_t* data, size_t size, ProjectDocument& p,
                          const std::vector<std::string>& languages) {
  ValueReader in(data, size);
  std::string signature = in.readString();
  if (in.failed()) return streamStatus(in);
  if (signature.compare(0, kSignaturePrefixLength, kProjectSignaturePrefix) != 0)
    return {ProjectError::NotAProject, {}};

  FileVersion version;
  std::string number = signature.substr(kSignaturePrefixLength);
  size_t dot = number.find('.');
  std::string majorText = number.substr(0, dot);
  std::string minorText = dot == std::string::npos ? std::string() : number.substr(dot + 1);
  if (!parseProjectInteger(majorText, version.major))
    return {ProjectError::InvalidInteger, majorText};
  if (!parseProjectInteger(minorText, version.minor))
    return {ProjectError::InvalidInteger, minorText};

  p.UpdateGuard = true;
  p.EditDefGen = in.readString();
  p.EditApp = in.readString();
  p.setVersionText(in.readString());
  p.EditExe = in.readString();
  p.EditReadMe = in.readString();
  p.EditFolder = in.readString();
  p.EditCompany = in.readString();
  p.EditTargetDir = in.readString();
  p.CheckBoxLN = in.readBoolean();
  p.CheckBoxInst = in.readBoolean();
  p.CheckBoxDeinst = in.readBoolean();
  p.RadioTitleText = in.readBoolean();
  p.EditTitleBmp = in.readString();
  p.TitleAlternate = in.readString();
  p.EditTitleSz = in.readString();
  p.EditLogo = in.readString();
  decodeLogoAndTitle(in.readInteger(), p);
  p.CheckBoxFullScreen = in.readBoolean();
  p.CheckBoxSizeable = in.readBoolean();
  p.ComboColor = in.readInteger();
  p.ClearTrees(false, NoLanguageTexts());
  p.NextComponentId = in.readInteger();
  p.CheckMinInst = in.readBoolean();
  p.CheckUserInst = in.readBoolean();
  p.CheckSystemInst = in.readBoolean();
  int32_t defaultType = version.has(7) ? in.readInteger() : kTypeNormal;
  p.DefaultType = defaultType >= kTypeNormal && defaultType <= kTypeBenutzer ? defaultType
                                                                             : kTypeNormal;
  if (in.failed()) return streamStatus(in);

  if (!in.readRaw(p.TypeDescriptions.data(), p.TypeDescriptions.size()))
    return streamStatus(in);

  if (!readTree(in, p.TVKomp, true))
    return in.failed() ? streamStatus(in) : ProjectStatus{ProjectError::InvalidValue, {}};
  // The roots always carry the builder's own texts, whatever the file says.
  if (p.TVKomp.roots.empty()) p.TVKomp.addRoot(kFileComponentsRoot, kPictureFileComponent);
  if (p.TVKomp.roots.size() < 2) p.TVKomp.addRoot(kRegistryComponentsRoot, kPictureRegistry);
  p.TVKomp.roots[0]->text = kFileComponentsRoot;
  p.TVKomp.roots[1]->text = kRegistryComponentsRoot;

  if (!readTree(in, p.TVITypes, false))
    return in.failed() ? streamStatus(in) : ProjectStatus{ProjectError::InvalidValue, {}};
  p.resolveTypeReferences();

  p.DefSrcPathValue = in.readString();

  int32_t shortcuts = in.readInteger();
  for (int32_t i = 0; i < shortcuts && !in.failed(); ++i) {
    ShortcutEntry entry;
    TCmdObject& o = entry.object;
    entry.caption = in.readString();
    if (version.has(2)) o.subFolder = in.readString();
    o.parameters = in.readString();
    if (version.has(5)) o.workDir = in.readString();
    if (version.has(9)) o.iconFile = in.readString();
    o.appPathFile = in.readBoolean();
    o.appPathDir = in.readBoolean();
    if (version.has(9)) o.iconIndex = in.readInteger();
    o.storedComponentIndex = in.readInteger();
    o.storedFileIndex = in.readInteger();
    entry.checked = in.readBoolean();
    if (in.failed()) break;
    o.target = p.fileEntryAt(o.storedComponentIndex, o.storedFileIndex);
    p.CheckListBox2.push_back(std::move(entry));
  }

  for (bool& checked : p.CheckListBox1) checked = in.readBoolean();
  p.Reserved34 = in.readString();
  p.EditWelBmp = in.readString();
  p.EditLizenz = in.readString();
  p.EditInfoTxt = in.readString();
  p.CheckName = in.readBoolean();
  p.Reserved39 = in.readBoolean();
  p.EditAdvert = in.readString();
  p.RadioForceReboot = version.has(1) ? in.readBoolean() : false;
  std::string language = in.readString();
  p.EditCustomDll = version.has(3) ? in.readString() : std::string("ZETUSUM.DLL");
  if (in.failed()) return streamStatus(in);

  p.ComboLanguage = language;
  if (!languages.empty()) {
    p.ComboLanguage = languages.front();
    for (const auto& name : languages)
      if (sameTextIgnoringCase(name, language)) {
        p.ComboLanguage = name;
        break;
      }
  }
  p.UpdateGuard = false;
  p.Modified = false;
  return {};
}

std::vector<uint8_t> writeProject(const ProjectDocument& p) {
  ValueWriter out;
  out.writeString(kProjectSignature);
  out.writeString(p.EditDefGen);
  out.writeString(p.EditApp);
  out.writeString(p.versionText());
  out.writeString(p.EditExe);
  out.writeString(p.EditReadMe);
  out.writeString(p.EditFolder);
  out.writeString(p.EditCompany);
  out.writeString(p.EditTargetDir);
  out.writeBoolean(p.CheckBoxLN);
  out.writeBoolean(p.CheckBoxInst);
  out.writeBoolean(p.CheckBoxDeinst);
  out.writeBoolean(p.RadioTitleText);
  out.writeString(p.EditTitleBmp);
  out.writeString(p.TitleAlternate);
  out.writeString(p.EditTitleSz);
  out.writeString(p.EditLogo);
  out.writeInteger(encodeLogoAndTitle(p));
  out.writeBoolean(p.CheckBoxFullScreen);
  out.writeBoolean(p.CheckBoxSizeable);
  out.writeInteger(p.ComboColor);
  out.writeInteger(p.NextComponentId);
  out.writeBoolean(p.CheckMinInst);
  out.writeBoolean(p.CheckUserInst);
  out.writeBoolean(p.CheckSystemInst);
  out.writeInteger(p.DefaultType);
  out.writeRaw(p.TypeDescriptions.data(), p.TypeDescriptions.size());
  writeTree(out, p.TVKomp, true);
  writeTree(out, p.TVITypes, false);
  out.writeString(p.DefSrcPathValue);

  out.writeInteger(static_cast<int32_t>(p.CheckListBox2.size()));
  for (const ShortcutEntry& entry : p.CheckListBox2) {
    const TCmdObject& o = entry.object;
    int32_t componentIndex = o.storedComponentIndex, fileIndex = o.storedFileIndex;
    if (o.target && o.target->parent) {
      componentIndex = o.target->parent->indexInParent();
      fileIndex = o.target->indexInParent();
    }
    out.writeString(entry.caption);
    out.writeString(o.subFolder);
    out.writeString(o.parameters);
    out.writeString(o.workDir);
    out.writeString(o.iconFile);
    out.writeBoolean(o.appPathFile);
    out.writeBoolean(o.appPathDir);
    out.writeInteger(o.iconIndex);
    out.writeInteger(componentIndex);
    out.writeInteger(fileIndex);
    out.writeBoolean(entry.checked);
  }

  for (bool checked : p.CheckListBox1) out.writeBoolean(checked);
  out.writeString(p.Reserved34);
  out.writeString(p.EditWelBmp);
  out.writeString(p.EditLizenz);
  out.writeString(p.EditInfoTxt);
  out.writeBoolean(p.CheckName);
  out.writeBoolean(p.Reserved39);
  out.writeString(p.EditAdvert);
  out.writeBoolean(p.RadioForceReboot);
  out.writeString(p.ComboLanguage);
  out.writeString(p.EditCustomDll);
  return out.bytes();
}

}  // namespace tw
