// Test-side project encoder for every file version.
#include "tests/project/legacy_writer.h"

#include <string>

#include "builder/project/value_stream.h"

namespace tw::test {
namespace {

void node(ValueWriter& w, const TreeNode& n, int level, bool components) {
  w.writeString(n.text);
  w.writeInteger(level);
  w.writeInteger(n.picture);
  w.writeBoolean(n.expanded);
  if (components && level == 1) {
    w.writeInteger(n.komp->id);
    w.writeInteger(n.komp->flags);
    w.writeString(n.komp->path);
    w.writeString(n.komp->description);
  } else if (!components && level > 0) {
    w.writeInteger(n.component ? n.component->komp->id : n.value);
  } else {
    w.writeInteger(n.value);
  }
  for (const auto& c : n.children) node(w, *c, level + 1, components);
}

void tree(ValueWriter& w, const Tree& t, bool components) {
  int32_t count = 0;
  t.forEach([&](const TreeNode&) { ++count; });
  w.writeInteger(count);
  for (const auto& r : t.roots) node(w, *r, 0, components);
}

}  // namespace

std::vector<uint8_t> componentTreeBytes(const std::vector<std::pair<std::string, int>>& nodes,
                                        int32_t countOverride) {
  ValueWriter w;
  w.writeInteger(countOverride >= 0 ? countOverride : static_cast<int32_t>(nodes.size()));
  for (const auto& [text, level] : nodes) {
    w.writeString(text);
    w.writeInteger(level);
    w.writeInteger(0);
    w.writeBoolean(false);
    if (level == 1) {
      w.writeInteger(5);
      w.writeInteger(0);
      w.writeString("");
      w.writeString("");
    } else {
      w.writeInteger(0);
    }
  }
  return w.bytes();
}

std::vector<uint8_t> writeLegacyProject(const ProjectDocument& p, const LegacyOptions& o) {
  auto has = [&](int minorOfField) { return o.minor >= minorOfField; };
  ValueWriter w;
  w.writeString("BM-Tamblewright 1." + std::to_string(o.minor));
  for (const std::string* s : {&p.EditDefGen, &p.EditApp}) w.writeString(*s);
  w.writeString(p.EditVer + "." + p.EditVer2);
  for (const std::string* s : {&p.EditExe, &p.EditReadMe, &p.EditFolder, &p.EditCompany, &p.EditTargetDir})
    w.writeString(*s);
  w.writeBoolean(p.CheckBoxLN);
  w.writeBoolean(p.CheckBoxInst);
  w.writeBoolean(p.CheckBoxDeinst);
  w.writeBoolean(p.RadioTitleText);
  for (const std::string* s : {&p.EditTitleBmp, &p.TitleAlternate, &p.EditTitleSz, &p.EditLogo})
    w.writeString(*s);
  int32_t options = p.ComboLogoAlign;
  options |= p.TitleAlign == TitleAlignment::Centred ? 0x200 : p.TitleAlign == TitleAlignment::Right ? 0x400 : 0x100;
  if (p.CheckBox_AnimT) options |= 0x800;
  if (p.CheckBox_AnimL) options |= 0x1000;
  w.writeInteger(options);
  w.writeBoolean(p.CheckBoxFullScreen);
  w.writeBoolean(p.CheckBoxSizeable);
  w.writeInteger(p.ComboColor);
  w.writeInteger(p.NextComponentId);
  w.writeBoolean(p.CheckMinInst);
  w.writeBoolean(p.CheckUserInst);
  w.writeBoolean(p.CheckSystemInst);
  if (has(7)) w.writeInteger(p.DefaultType);
  w.writeRaw(p.TypeDescriptions.data(), p.TypeDescriptions.size());
  if (o.componentTree) w.writeRaw(o.componentTree->data(), o.componentTree->size());
  else tree(w, p.TVKomp, true);
  tree(w, p.TVITypes, false);
  w.writeString(p.DefSrcPathValue);
  w.writeInteger(static_cast<int32_t>(p.CheckListBox2.size()));
  for (const ShortcutEntry& e : p.CheckListBox2) {
    const TCmdObject& c = e.object;
    w.writeString(e.caption);
    if (has(2)) w.writeString(c.subFolder);
    w.writeString(c.parameters);
    if (has(5)) w.writeString(c.workDir);
    if (has(9)) w.writeString(c.iconFile);
    w.writeBoolean(c.appPathFile);
    w.writeBoolean(c.appPathDir);
    if (has(9)) w.writeInteger(c.iconIndex);
    w.writeInteger(c.target ? c.target->parent->indexInParent() : c.storedComponentIndex);
    w.writeInteger(c.target ? c.target->indexInParent() : c.storedFileIndex);
    w.writeBoolean(e.checked);
  }
  for (bool b : p.CheckListBox1) w.writeBoolean(b);
  w.writeString(p.Reserved34);
  w.writeString(p.EditWelBmp);
  w.writeString(p.EditLizenz);
  w.writeString(p.EditInfoTxt);
  w.writeBoolean(p.CheckName);
  w.writeBoolean(p.Reserved39);
  w.writeString(p.EditAdvert);
  if (has(1)) w.writeBoolean(p.RadioForceReboot);
  w.writeString(p.ComboLanguage);
  if (has(3)) w.writeString(p.EditCustomDll);
  return w.bytes();
}

}  // namespace tw::test
