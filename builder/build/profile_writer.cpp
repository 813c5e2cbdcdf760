// Writing the install profile in its fixed order.
#include "builder/build/profile_writer.h"

#include "builder/build/build_safety.h"
#include "builder/build/profile_records.h"
#include "builder/project/project_file.h"
#include "common/install_profile.h"
#include "common/string_block.h"

namespace tw {

const char kBuilderTitle[] = "Tamblix";

namespace {

constexpr size_t kIconDirHeader = 6;
constexpr size_t kIconDirEntry = 14;

const char kTitleCaption[] = "Haupttitel-Bitmap";
const char kLogoCaption[] = "Bitmap f\xFCr Firmen/Applikationslogo";
const char kListBoxCaption[] = "Dateiname des Listbox-Bitmaps";
const char kBackgroundFile[] = "BackGround.bmp";

char layoutLowByte(const ProjectDocument& p) {
  int v = p.ComboLogoAlign >= 0 ? p.ComboLogoAlign + 1 : 0;
  if (p.CheckBox_AnimL) v |= 0x80;
  return static_cast<char>(v);
}

char layoutHighByte(const ProjectDocument& p) {
  int v = p.TitleAlign == TitleAlignment::Left ? 0x01 : p.TitleAlign == TitleAlignment::Centred ? 0x06 : 0x02;
  if (p.CheckBox_AnimT) v |= 0x80;
  return static_cast<char>(v);
}

}  // namespace

ResEntry makeResEntry(uint16_t type, uint16_t id, std::vector<uint8_t> data) {
  ResEntry e;
  e.type = ResId::fromOrdinal(type);
  e.name = ResId::fromOrdinal(id);
  e.memoryFlags = resMemoryFlagsFor(type);
  e.data = std::move(data);
  return e;
}

void copyLanguageResource(const LanguageModule& language, uint16_t type, uint16_t findId,
                          uint16_t writeId, std::vector<ResEntry>& out) {
  std::vector<uint8_t> data;
  if (!language.findResource(type, findId, data)) throw BuildError("Resource error");
  out.push_back(makeResEntry(type, writeId, std::move(data)));
}

void copyIconGroup(const LanguageModule& language, uint16_t findGroup, uint16_t writeGroup,
                   uint16_t& iconCounter, std::vector<ResEntry>& out) {
  std::vector<uint8_t> group;
  if (!language.findResource(kResTypeGroupIcon, findGroup, group) || group.size() < kIconDirHeader)
    throw BuildError("Resource error");
  size_t count = group[4] | (group[5] << 8);
  if (group.size() < kIconDirHeader + count * kIconDirEntry) throw BuildError("Resource error");
  for (size_t i = 0; i < count; ++i) {
    size_t idAt = kIconDirHeader + i * kIconDirEntry + 12;
    uint16_t iconId = static_cast<uint16_t>(group[idAt] | (group[idAt + 1] << 8));
    copyLanguageResource(language, kResTypeIcon, iconId, iconCounter, out);
    group[idAt] = static_cast<uint8_t>(iconCounter);
    group[idAt + 1] = static_cast<uint8_t>(iconCounter >> 8);
    ++iconCounter;
  }
  out.push_back(makeResEntry(kResTypeGroupIcon, writeGroup, std::move(group)));
}

void ProfileWriter::add(uint16_t type, uint16_t id, std::vector<uint8_t> data) {
  entries_.push_back(makeResEntry(type, id, std::move(data)));
}

void ProfileWriter::addBitmap(const std::string& name, const std::string& caption, uint16_t id) {
  if (auto bits = sources_.projectBitmap(name, &caption)) add(kResTypeBitmap, id, std::move(*bits));
}

void ProfileWriter::addTextFile(const std::string& name, const std::string& caption, uint16_t id) {
  if (auto text = sources_.textFile(name, caption)) add(kProfileTypeTextFile, id, std::move(*text));
}

void ProfileWriter::writeSettingsStrings() {
  const ProjectDocument& p = project_;
  std::string title;
  if (p.RadioTitleText) {
    int height = 0;
    if (!parseProjectInteger(p.EditTitleSz, height))
      throw BuildError(ProjectStatus{ProjectError::InvalidInteger, p.EditTitleSz}.message());
    title = p.EditTitleBmp + static_cast<char>(height & 0xFF);
  } else {
    std::string caption = kTitleCaption;
    title_ = sources_.openBitmap(p.EditTitleBmp, &caption);
    if (title_) title = "#";
  }
  if (!p.EditLogo.empty()) {
    std::string caption = kLogoCaption;
    logo_ = sources_.openBitmap(p.EditLogo, &caption);
  }
  std::string layout{layoutLowByte(p), layoutHighByte(p)};
  char style = static_cast<char>((p.CheckBoxFullScreen ? 2 : 1) + (p.CheckBoxSizeable ? 2 : 0));
  add(kResTypeString, 1,
      encodeStringBlock({p.EditApp, p.versionText(), p.EditCompany, p.EditReadMe, p.EditExe,
                         p.EditFolder, p.EditTargetDir, layout,
                         std::string(1, static_cast<char>(p.ComboColor + 1)), title,
                         logo_ ? "#" : "", p.CheckBoxLN ? "#" : "", p.CheckBoxInst ? "#" : "",
                         p.CheckBoxDeinst ? "#" : "", "", std::string(1, style)}));
}

void ProfileWriter::copyLanguageStrings() {
  for (uint16_t first : {33, 65}) {
    std::vector<uint8_t> data;
    for (uint16_t id = first; language_.findResource(kResTypeString, id, data); ++id)
      add(kResTypeString, id, std::move(data));
  }
}

void ProfileWriter::writeAdvertisements(const std::string& caption) {
  AdvertisementSeries series;
  if (!parseAdvertisementSeries(project_.EditAdvert, series)) {
    reporter_.message("Falsches Datei- oder Dateinamenformat der Werbebilder!\r\n"
                      "Die letzten beiden Ziffern des Dateinamen m\xFCssen Zahlenwerte sein!",
                      kBuilderTitle, MessageIcon::Exclamation);
    return;
  }
  for (int n = series.first; n <= 99 && sources_.exists(series.name(n)); ++n)
    addBitmap(series.name(n), caption, static_cast<uint16_t>(200 + n));
}

void ProfileWriter::writeDialogSequence() {
  const ProjectDocument& p = project_;
  int last = p.CheckBoxDeinst ? 16 : p.CheckBoxInst ? 15 : 14;
  for (int i = 1; i <= last; ++i) {
    bool ticked = i < kDialogSequenceEntries && p.CheckListBox1[i];
    bool always = i == 11 || i >= 15;
    if (!ticked && !always) continue;
    std::string entryText = i < kDialogSequenceEntries ? kDialogSequenceNames[i] : "";
    switch (i) {
      case 1: addBitmap(p.EditWelBmp, entryText, 10); break;
      case 3: addTextFile(p.EditLizenz, "Lizenz-Datei", 1); break;
      case 4: addTextFile(p.EditInfoTxt, "Read-Me-Datei", 2); break;
      case 12: writeAdvertisements(entryText); break;
      case 13:
        if (p.RadioForceReboot) add(kResTypeString, 2, {0x01, 0x00, 0x23, 0x00});
        break;
      default: break;
    }
    uint16_t id = static_cast<uint16_t>(199 + i);
    copyLanguageResource(language_, kResTypeDialog, id, i == 11 && !ticked ? 220 : id, entries_);
  }
}

std::vector<ResEntry> ProfileWriter::write(uint16_t& iconCounter) {
  const ProjectDocument& p = project_;
  entries_.clear();
  writeSettingsStrings();
  copyLanguageStrings();
  reporter_.progress(nullptr, 4);

  if (title_) add(kResTypeBitmap, 1, std::move(*title_));
  if (logo_) add(kResTypeBitmap, 2, std::move(*logo_));
  if (auto background = sources_.projectBitmap(kBackgroundFile, nullptr))
    add(kResTypeBitmap, 3, std::move(*background));

  for (const auto& root : p.TVITypes.roots)
    add(kProfileTypeInstallationType, static_cast<uint16_t>(root->value + 1), encodeInstallationType(p, *root));
  reporter_.progress(nullptr, 4);

  std::vector<const TreeNode*> components = profileComponents(p);
  for (size_t i = 0; i < components.size(); ++i)
    add(kProfileTypeComponent, static_cast<uint16_t>(i + 1), encodeComponent(*components[i]));
  reporter_.progress(nullptr, 5);

  if (!p.CheckListBox2.empty()) add(kProfileTypeShortcuts, 1, encodeShortcuts(p));
  copyLanguageResource(language_, kResTypeDialog, 100, 100, entries_);
  copyLanguageResource(language_, kResTypeDialog, 101, 101, entries_);
  reporter_.progress(nullptr, 6);

  writeDialogSequence();
  for (uint16_t bitmap : {100, 101, 102, 104})
    copyLanguageResource(language_, kResTypeBitmap, bitmap, bitmap, entries_);
  reporter_.progress(nullptr, 8);

  if (!p.EditUserLB.empty()) addBitmap(p.EditUserLB, kListBoxCaption, 103);
  iconCounter = 1;
  copyIconGroup(language_, 2, 2, iconCounter, entries_);
  copyLanguageResource(language_, kResTypeVersion, 2, 1, entries_);
  return std::move(entries_);
}

}  // namespace tw
