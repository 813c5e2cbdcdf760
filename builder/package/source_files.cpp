// Reading the project's bitmaps and text files for the profile.
#include "builder/package/source_files.h"

#include <new>

#include "builder/package/build_safety.h"

#include "builder/project/project_document.h"
#include "builder/project/project_file.h"

namespace tw {
namespace {

constexpr size_t kBitmapFileHeaderSize = 14;

bool isAbsolute(const std::string& name) {
  if (name.size() > 2 && name[1] == ':') return true;
  return name.size() > 1 && name[0] == '\\' && name[1] == '\\';
}

uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Reads a whole file; running out of memory on it stops the build with its name.
FileReadStatus readWhole(FileSystem& files, const std::string& path, std::vector<uint8_t>& bytes) {
  try {
    return files.readFile(path, bytes);
  } catch (const std::bad_alloc&) {
    bytes = std::vector<uint8_t>();
    throw BuildError(outOfMemoryMessage("die Datei \"" + path + "\""));
  }
}

}  // namespace

std::string resolveProjectFile(const std::string& projectPath, const std::string& name) {
  if (name.empty() || isAbsolute(name)) return name;
  std::string folder = folderOfPath(projectPath);
  return folder.empty() ? name : folder + "\\" + name;
}

std::optional<std::vector<uint8_t>> SourceFiles::openBitmap(const std::string& name,
                                                            const std::string* caption) {
  std::string path = resolve(name);
  std::vector<uint8_t> bytes;
  std::string error;
  if (path.empty() || readWhole(files_, path, bytes) != FileReadStatus::Ok) {
    error = ProjectStatus{ProjectError::CannotOpen, path}.message();
    std::string reason = files_.lastErrorText();
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
    if (!path.empty() && !reason.empty()) error += " (" + reason + ")";
  } else if (bytes.size() < kBitmapFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M' ||
             le32(bytes.data() + 2) != bytes.size()) {
    error = "Fehler beim Aufbereiten der Datei";
  } else {
    return std::vector<uint8_t>(bytes.begin() + kBitmapFileHeaderSize, bytes.end());
  }
  if (caption) reporter_.message(error + ":\r\n\"" + name + "\"", *caption, MessageIcon::Stop);
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> SourceFiles::projectBitmap(const std::string& name,
                                                               const std::string* caption) {
  return openBitmap(resolve(name), caption);
}

std::optional<std::vector<uint8_t>> SourceFiles::textFile(const std::string& name,
                                                          const std::string& caption) {
  std::string path = resolve(name);
  std::vector<uint8_t> bytes;
  if (!path.empty() && readWhole(files_, path, bytes) == FileReadStatus::Ok) return bytes;
  std::string reason = files_.lastErrorText();
  if (reason.empty()) reason = path.empty() ? "kein Dateiname angegeben" : "nicht lesbar";
  reporter_.message(textFileLeftOutMessage(caption, path, reason), caption, MessageIcon::Information);
  return std::nullopt;
}

}  // namespace tw
