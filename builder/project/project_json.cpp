// JSON rendering of a project. Texts are CP1252 in the model and UTF-8 here.
#include "builder/project/project_json.h"

#include <cstdio>

#include "common/cp1252.h"

namespace tw {
namespace {

class JsonOut {
 public:
  std::string text;

  void open(char bracket) { separate(); text += bracket; first_ = true; ++depth_; }
  void close(char bracket) {
    --depth_;
    if (!first_) newline();
    text += bracket;
    first_ = false;
  }
  void key(const char* name) { separate(); quoted(name); text += ": "; pendingValue_ = true; }
  void str(const std::string& cp1252) { separate(); quoted(cp1252ToUtf8(cp1252)); }
  void num(long long v) { separate(); text += std::to_string(v); }
  void boolean(bool v) { separate(); text += v ? "true" : "false"; }
  void null() { separate(); text += "null"; }

  void field(const char* name, const std::string& v) { key(name); str(v); }
  void field(const char* name, long long v) { key(name); num(v); }
  void flag(const char* name, bool v) { key(name); boolean(v); }

 private:
  void newline() {
    text += '\n';
    text.append(static_cast<size_t>(depth_) * 2, ' ');
  }
  void separate() {
    if (pendingValue_) { pendingValue_ = false; return; }
    if (depth_ == 0) return;
    if (!first_) text += ',';
    first_ = false;
    newline();
  }
  void quoted(const std::string& utf8) {
    text += '"';
    for (unsigned char c : utf8) {
      switch (c) {
        case '"': text += "\\\""; break;
        case '\\': text += "\\\\"; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\t': text += "\\t"; break;
        default:
          if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            text += buf;
          } else {
            text += static_cast<char>(c);
          }
      }
    }
    text += '"';
  }

  int depth_ = 0;
  bool first_ = true;
  bool pendingValue_ = false;
};

const char* nodeKind(const TreeNode& node, bool componentTree, int depth) {
  if (!componentTree) return depth == 0 ? "type" : "reference";
  if (depth == 0) return "root";
  switch (node.picture) {
    case kPictureFileComponent: return depth == 1 ? "fileComponent" : "other";
    case kPictureFileEntry: return "fileEntry";
    case kPictureDummyEntry: return "dummyFileEntry";
    case kPictureRegistry: return depth == 1 ? "registryComponent" : "registrySubkey";
    case kPictureRegistryValue: return "registryValue";
    case kPictureRemoveFileObjects: return "removeFileObjectsComponent";
    default: return "other";
  }
}

void writeNode(JsonOut& j, const TreeNode& node, bool componentTree, int depth) {
  j.open('{');
  j.field("text", node.text);
  j.field("kind", nodeKind(node, componentTree, depth));
  j.field("picture", node.picture);
  j.flag("expanded", node.expanded);
  if (node.picture == kPictureRegistryValue && componentTree) {
    size_t nul = node.text.find('\0');
    j.field("valueName", node.text.substr(0, nul));
    j.field("valueData", nul == std::string::npos ? std::string() : node.text.substr(nul + 1));
  }
  if (node.komp) {
    j.key("component");
    j.open('{');
    j.field("id", node.komp->id);
    j.field("flags", node.komp->flags);
    j.field("path", node.komp->path);
    j.field("description", node.komp->description);
    j.close('}');
  } else if (!componentTree && depth > 0) {
    j.field("componentId", node.component && node.component->komp ? node.component->komp->id
                                                                   : node.value);
    j.key("componentName");
    if (node.component) j.str(node.component->text); else j.null();
  } else {
    j.field(!componentTree ? "typeIndex" : "value", node.value);
  }
  j.key("children");
  j.open('[');
  for (const auto& c : node.children) writeNode(j, *c, componentTree, depth + 1);
  j.close(']');
  j.close('}');
}

void writeTree(JsonOut& j, const char* name, const Tree& tree, bool componentTree) {
  j.key(name);
  j.open('[');
  for (const auto& r : tree.roots) writeNode(j, *r, componentTree, 0);
  j.close(']');
}

const char* alignmentName(TitleAlignment a) {
  switch (a) {
    case TitleAlignment::Left: return "left";
    case TitleAlignment::Centred: return "centred";
    case TitleAlignment::Right: return "right";
  }
  return "left";
}

}  // namespace

std::string projectToJson(const ProjectDocument& p) {
  JsonOut j;
  j.open('{');
  j.field("outputFile", p.EditDefGen);
  j.field("applicationName", p.EditApp);
  j.field("versionMajor", p.EditVer);
  j.field("versionMinor", p.EditVer2);
  j.field("programFile", p.EditExe);
  j.field("readMeFile", p.EditReadMe);
  j.field("startMenuFolder", p.EditFolder);
  j.field("company", p.EditCompany);
  j.field("targetDirectory", p.EditTargetDir);
  j.flag("longFileNamesRequired", p.CheckBoxLN);
  j.flag("installSetup", p.CheckBoxInst);
  j.flag("installUninstaller", p.CheckBoxDeinst);
  j.flag("titleIsText", p.RadioTitleText);
  j.field("title", p.EditTitleBmp);
  j.field("titleAlternate", p.TitleAlternate);
  j.field("titleHeight", p.EditTitleSz);
  j.field("logo", p.EditLogo);
  j.field("logoPosition", p.ComboLogoAlign);
  j.field("titleAlignment", alignmentName(p.TitleAlign));
  j.flag("titleAnimated", p.CheckBox_AnimT);
  j.flag("logoAnimated", p.CheckBox_AnimL);
  j.flag("fullScreen", p.CheckBoxFullScreen);
  j.flag("sizeableWindow", p.CheckBoxSizeable);
  j.field("colourScheme", p.ComboColor);
  j.field("nextComponentId", p.NextComponentId);
  j.flag("typeMinimalExists", p.CheckMinInst);
  j.flag("typeBenutzerExists", p.CheckUserInst);
  j.flag("typeNetzwerkExists", p.CheckSystemInst);
  j.field("defaultType", p.DefaultType);
  j.key("typeDescriptions");
  j.open('[');
  for (int i = 0; i < kTypeCount; ++i) j.str(p.typeDescription(i));
  j.close(']');
  j.key("typeDescriptionRest");
  j.open('[');
  for (int i = 0; i < kTypeCount; ++i) j.str(typeDescriptionRestHex(p, i));
  j.close(']');
  writeTree(j, "componentTree", p.TVKomp, true);
  writeTree(j, "installationTypeTree", p.TVITypes, false);
  j.field("sourcePath", p.DefSrcPathValue);
  j.key("shortcuts");
  j.open('[');
  for (const ShortcutEntry& e : p.CheckListBox2) {
    const TCmdObject& o = e.object;
    j.open('{');
    j.field("caption", e.caption);
    j.field("subFolder", o.subFolder);
    j.field("parameters", o.parameters);
    j.field("workDir", o.workDir);
    j.field("iconFile", o.iconFile);
    j.flag("appPathFile", o.appPathFile);
    j.flag("appPathDir", o.appPathDir);
    j.field("iconIndex", o.iconIndex);
    if (o.target && o.target->parent) {
      j.field("componentIndex", o.target->parent->indexInParent());
      j.field("fileIndex", o.target->indexInParent());
      j.field("targetComponent", o.target->parent->text);
      j.field("targetFile", o.target->text);
    } else {
      j.field("componentIndex", o.storedComponentIndex);
      j.field("fileIndex", o.storedFileIndex);
      j.key("targetComponent"); j.null();
      j.key("targetFile"); j.null();
    }
    j.flag("checked", e.checked);
    j.close('}');
  }
  j.close(']');
  j.key("dialogSequence");
  j.open('[');
  for (int i = 0; i < kDialogSequenceEntries; ++i) {
    j.open('{');
    j.field("entry", i == 0 ? std::string("(reserved)") : std::string(kDialogSequenceNames[i]));
    j.flag("checked", p.CheckListBox1[i]);
    j.close('}');
  }
  j.close(']');
  j.field("reserved34", p.Reserved34);
  j.field("welcomeBitmap", p.EditWelBmp);
  j.field("licenceTextFile", p.EditLizenz);
  j.field("infoTextFile", p.EditInfoTxt);
  j.flag("userInfoNameAndCompany", p.CheckName);
  j.flag("reserved39", p.Reserved39);
  j.field("firstAdvertisementBitmap", p.EditAdvert);
  j.field("rebootDialog", p.RadioForceReboot ? "Immer" : "Wenn notwendig");
  j.field("language", p.ComboLanguage);
  j.field("extensionDll", p.EditCustomDll);
  j.close('}');
  j.text += '\n';
  return j.text;
}

}  // namespace tw
