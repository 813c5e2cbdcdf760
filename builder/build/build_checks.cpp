// Build start checks and the file scan.
#include "builder/build/build_checks.h"

#include "builder/build/build_context.h"
#include "builder/build/build_safety.h"
#include "common/install_profile.h"

namespace tw {
namespace {

constexpr char kDefSrcPath[] = "[DefSrcPath]";
constexpr char kInstallDir[] = "<InstallDir>";

bool folderExists(FileSystem& files, const std::string& path) {
  std::string folder = folderOfPath(path);
  FileInfo info;
  return !folder.empty() && files.findFile(folder, info) && info.directory;
}

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

void scanEntries(const ProjectDocument& project, FileSystem& files, TreeNode& node, bool compressed,
                 bool check, uint32_t& size, ScanResult& result, bool& counted) {
  for (auto& child : node.children) {
    if (child->picture == kPictureFileEntry) {
      if (compressed && !counted) {
        ++result.componentCabinetCount;
        counted = true;
      }
      std::string path = resolveSourcePath(project, child->text);
      FileInfo info;
      bool found = files.findFile(path, info);
      if (found && check && compressed && !info.directory && info.size > kLargestCabinetFile)
        throw BuildError(fileTooLargeMessage(path, info.size));
      if (found) size += static_cast<uint32_t>(info.size);  // 32-bit sums wrap
      else if (check)
        throw BuildError("Die Datei \"" + path + "\" ist nicht vorhanden! Erzeugung abgebrochen.");
      if (found && info.readOnly && !info.directory) child->value |= kEntryReadOnly;
      else child->value &= ~kEntryReadOnly;
    }
    scanEntries(project, files, *child, compressed, check, size, result, counted);
  }
}

}  // namespace

std::optional<std::string> checkRequiredFields(const ProjectDocument& p) {
  if (p.EditApp.empty() || p.EditVer.empty())
    return std::string("Die Felder \"Name der Anwendung\" und \"Version\" m\xFCssen ausgef\xFCllt sein!");
  if (p.EditCompany.empty() && (p.CheckBoxInst || p.CheckBoxDeinst || p.CheckListBox1[5]))
    return std::string(
        "Das Feld \"Firmenname\" mu\xDF ausgef\xFCllt sein, wenn entweder die dialogbox\r\n"
        "Benutzerdaten integriert oder RegInstall oder DeInstall aktiviert sind!");
  return std::nullopt;
}

std::string derivedPackagePath(const ProjectDocument& p) {
  std::string folder = folderOfPath(p.ProjectPath);
  std::string name = (folder.empty() ? std::string() : folder + "\\") + p.EditApp + p.EditVer + p.EditVer2;
  std::string out;
  for (char c : name)
    if (c != '.') out += c;
  return out + ".exe";
}

std::string proposedPackagePath(const ProjectDocument& p, FileSystem& files) {
  if (!p.LastPackagePath.empty() && folderExists(files, p.LastPackagePath)) return p.LastPackagePath;
  if (!p.EditDefGen.empty() && folderExists(files, p.EditDefGen)) return p.EditDefGen;
  return derivedPackagePath(p);
}

void validateComponents(const ProjectDocument& p) {
  const auto& roots = p.TVITypes.roots;
  for (size_t i = 0; i < roots.size(); ++i) {
    if (!roots[i]->children.empty()) continue;
    if (p.CheckSystemInst && i + 1 == roots.size()) continue;
    throw BuildError("Mindestens ein Installationstyp enth\xE4lt keine Komponenten! Erzeugung abgebrochen.");
  }
}

std::string resolveSourcePath(const ProjectDocument& p, const std::string& text) {
  if (!startsWith(text, kDefSrcPath)) return text;
  return p.DefSrcPathValue + text.substr(sizeof kDefSrcPath - 1);
}

bool isCompressed(const TreeNode& c) {
  return !(c.picture == kPictureFileComponent && c.komp && (c.komp->flags & kKompNoCompression));
}

ScanResult UpdateNodeSize(ProjectDocument& p, FileSystem& files, bool check) {
  ScanResult result;
  TreeNode* root = p.fileComponentsRoot();
  if (!root) return result;
  for (auto& component : root->children) {
    if (!component->komp) continue;
    KompRec& k = *component->komp;
    if (check && k.path.empty())
      throw BuildError("Sie haben f\xFCr die Dateikomponente \"" + component->text +
                       "\"\r\nkein Zielverzeichnis angegeben. Erzeugung abgebrochen.");
    bool compressed = isCompressed(*component);
    if (!compressed && !startsWith(k.path, kInstallDir))
      throw BuildError("Der Installationspfad von \"" + component->text +
                       "\" muss mit <InstallDir> beginnen! Erzeugung abgebrochen.");
    uint32_t size = 0;
    bool counted = false;
    scanEntries(p, files, *component, compressed, check, size, result, counted);
    k.size = static_cast<int32_t>(size);
    if (compressed) result.compressedBytes += size;
  }
  return result;
}

}  // namespace tw
