// The install profile "_SETUP.RES": application settings, types,
// components, shortcuts, the project's pictures and texts, and the language
// module's dialogs, strings, bitmaps, icons and version resource.
#pragma once
#include <cstdint>
#include <vector>

#include "builder/package/build_context.h"
#include "builder/package/source_files.h"
#include "builder/project/project_document.h"
#include "common/res_file.h"

namespace tw {

extern const char kBuilderTitle[];  // caption of the builder's message boxes

// Appends the icon group `findGroup` of the language module and its icons as
// group `writeGroup`; the icons take the ids iconCounter, iconCounter+1, ...
void copyIconGroup(const LanguageModule& language, uint16_t findGroup, uint16_t writeGroup,
                   uint16_t& iconCounter, std::vector<ResEntry>& out);

// Appends the language module's resource (type, findId) as writeId; a
// missing one stops the build with "Resource error".
void copyLanguageResource(const LanguageModule& language, uint16_t type, uint16_t findId,
                          uint16_t writeId, std::vector<ResEntry>& out);

ResEntry makeResEntry(uint16_t type, uint16_t id, std::vector<uint8_t> data);

class ProfileWriter {
 public:
  ProfileWriter(const ProjectDocument& project, const LanguageModule& language,
                SourceFiles& sources, BuildReporter& reporter)
      : project_(project), language_(language), sources_(sources), reporter_(reporter) {}

  // Every entry of the profile in file order (the empty entry excluded).
  // The icon counter starts at 1 here and goes on into the dispatcher's
  // resources.
  std::vector<ResEntry> write(uint16_t& iconCounter);

 private:
  void writeSettingsStrings();
  void copyLanguageStrings();
  void writeDialogSequence();
  void writeAdvertisements(const std::string& caption);
  void add(uint16_t type, uint16_t id, std::vector<uint8_t> data);
  void addBitmap(const std::string& name, const std::string& caption, uint16_t id);
  void addTextFile(const std::string& name, const std::string& caption, uint16_t id);

  const ProjectDocument& project_;
  const LanguageModule& language_;
  SourceFiles& sources_;
  BuildReporter& reporter_;
  std::vector<ResEntry> entries_;
  std::optional<std::vector<uint8_t>> title_, logo_;
};

}  // namespace tw
