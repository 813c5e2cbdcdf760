// Output-path, target-name, size and date rules of a build.
#include "builder/package/build_safety.h"

#include <map>

#include "builder/package/build_checks.h"
#include "builder/package/build_context.h"
#include "builder/package/profile_records.h"
#include "builder/package/source_files.h"

namespace tw {
namespace {

constexpr char kAborted[] = " Erzeugung abgebrochen.";
constexpr char kBackgroundFile[] = "BackGround.bmp";

char foldCase(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  switch (u) {
    case 0x8A: return static_cast<char>(0x9A);  // S with caron
    case 0x8C: return static_cast<char>(0x9C);  // OE
    case 0x8E: return static_cast<char>(0x9E);  // Z with caron
    case 0x9F: return static_cast<char>(0xFF);  // Y with diaeresis
    default: return c;
  }
}

std::string folded(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = foldCase(c);
  return out;
}

// A name's last part as the file system stores it: trailing dots and
// blanks are not part of a Windows file name.
std::string trimmedSegment(std::string segment) {
  if (segment == "." || segment == "..") return segment;
  while (!segment.empty() && (segment.back() == '.' || segment.back() == ' ')) segment.pop_back();
  return segment;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void addAdvertisementSeries(const ProjectDocument& p, std::vector<std::string>& out) {
  AdvertisementSeries series;
  if (!parseAdvertisementSeries(p.EditAdvert, series)) return;
  for (int n = series.first; n <= 99; ++n) out.push_back(resolveProjectFile(p.ProjectPath, series.name(n)));
}

}  // namespace

bool parseAdvertisementSeries(const std::string& firstPicture, AdvertisementSeries& series) {
  std::string name = firstPicture;
  size_t dot = name.find_last_of('.');
  size_t sep = name.find_last_of("\\/:");
  series.extension.clear();
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) {
    series.extension = name.substr(dot);
    name.resize(dot);
  }
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (name.size() < 2 || !isDigit(name[name.size() - 2]) || !isDigit(name.back())) return false;
  series.first = (name[name.size() - 2] - '0') * 10 + (name.back() - '0');
  series.stem = name.substr(0, name.size() - 2);
  return true;
}

std::string AdvertisementSeries::name(int n) const {
  return stem + static_cast<char>('0' + n / 10) + static_cast<char>('0' + n % 10) + extension;
}

std::string comparablePath(const std::string& fullPath) {
  std::string path = fullPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  // The root that ".." never climbs above: "X:" or "\\server\share".
  std::string root;
  size_t rest = 0;
  if (path.size() >= 2 && path[1] == ':') {
    root = path.substr(0, 2);
    rest = 2;
  } else if (path.compare(0, 2, "\\\\") == 0) {
    size_t server = path.find('\\', 2);
    size_t share = server == std::string::npos ? std::string::npos : path.find('\\', server + 1);
    rest = share == std::string::npos ? path.size() : share;
    root = path.substr(0, rest);
  }
  std::vector<std::string> parts;
  size_t at = rest;
  while (at <= path.size()) {
    size_t next = path.find('\\', at);
    if (next == std::string::npos) next = path.size();
    std::string segment = trimmedSegment(path.substr(at, next - at));
    if (segment == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!segment.empty() && segment != ".") {
      parts.push_back(segment);
    }
    at = next + 1;
  }
  std::string out = root;
  for (const auto& part : parts) out += "\\" + part;
  return folded(out);
}

bool pathIsInFolder(const std::string& path, const std::string& folder) {
  std::string p = comparablePath(path), f = comparablePath(folder);
  if (f.empty()) return false;
  return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == '\\');
}

std::vector<std::string> projectInputFiles(const ProjectDocument& p) {
  std::vector<std::string> out;
  out.push_back(p.ProjectPath);
  auto profileFile = [&](const std::string& name) {
    if (!name.empty()) out.push_back(resolveProjectFile(p.ProjectPath, name));
  };
  if (!p.RadioTitleText) profileFile(p.EditTitleBmp);
  profileFile(p.EditLogo);
  profileFile(p.EditWelBmp);
  profileFile(p.EditLizenz);
  profileFile(p.EditInfoTxt);
  profileFile(p.EditUserLB);
  profileFile(kBackgroundFile);
  addAdvertisementSeries(p, out);
  if (const TreeNode* root = p.fileComponentsRoot()) {
    std::vector<const TreeNode*> pending{root};
    while (!pending.empty()) {
      const TreeNode* node = pending.back();
      pending.pop_back();
      for (const auto& child : node->children) pending.push_back(child.get());
      if (node->picture == kPictureFileEntry) out.push_back(resolveSourcePath(p, node->text));
    }
  }
  return out;
}

std::optional<std::string> checkOutputPath(const std::string& package, const ProjectDocument& p,
                                           const std::string& builderFolder, FileSystem& files,
                                           const SameFileTest& sameFile) {
  FileInfo info;
  if (package.empty() || package.back() == '\\' || package.back() == '/' ||
      (files.findFile(package, info) && info.directory))
    return quoted(package) + " ist ein Ordner; das Paket braucht einen Dateinamen." + kAborted;
  std::string packageFolder = folderOfPath(package);
  if (pathIsInFolder(package, builderFolder) ||
      (sameFile && !packageFolder.empty() && sameFile(packageFolder, builderFolder)))
    return "Das Paket " + quoted(package) + " darf nicht im Programmordner " + quoted(builderFolder) +
           " liegen, dessen Dateien jede Erzeugung braucht." + kAborted;
  std::string target = comparablePath(package);
  auto same = [&](const std::string& input) {
    return target == comparablePath(input) || (sameFile && sameFile(package, input));
  };
  if (same(p.ProjectPath))
    return "Das Paket " + quoted(package) + " w\xFCrde die Projektdatei \xFC" "berschreiben." + kAborted;
  for (const std::string& input : projectInputFiles(p))
    if (same(input))
      return "Das Paket " + quoted(package) + " w\xFCrde die Datei " + quoted(input) +
             " \xFC" "berschreiben, die das Projekt verwendet." + kAborted;
  return std::nullopt;
}

void checkDuplicateTargets(const ProjectDocument& p) {
  const TreeNode* root = p.fileComponentsRoot();
  if (!root) return;
  for (const auto& component : root->children) {
    std::vector<const TreeNode*> pending{component.get()};
    while (!pending.empty()) {
      const TreeNode* folder = pending.back();
      pending.pop_back();
      std::map<std::string, const TreeNode*> seen;
      for (const auto& child : folder->children) {
        pending.push_back(child.get());
        if (child->picture != kPictureFileEntry && child->picture != kPictureDummyEntry) continue;
        std::string name = child->picture == kPictureFileEntry ? sourceFileName(child->text) : child->text;
        auto found = seen.emplace(folded(trimmedSegment(name)), child.get());
        if (!found.second)
          throw BuildError("Die Dateikomponente " + quoted(component->text) + " enth\xE4lt die Zieldatei " +
                           quoted(name) + " zweimal: " + quoted(found.first->second->text) + " und " +
                           quoted(child->text) + "." + kAborted);
      }
    }
  }
}

std::string fileTooLargeMessage(const std::string& path, uint64_t size) {
  return "Die Datei " + quoted(path) + " ist " + std::to_string(size) +
         " Bytes gro\xDF; ein Kabinett nimmt nur Dateien unter 2 GiB (2147483648 Bytes) auf." + kAborted;
}

DosDateTime toDosDateTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980) return DosDateTime{(0 << 9) | (1 << 5) | 1, 0};
  if (year > 2107) return DosDateTime{(127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29};
  DosDateTime out;
  out.date = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  out.time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
  return out;
}

std::string textFileLeftOutMessage(const std::string& caption, const std::string& path,
                                   const std::string& reason) {
  std::string why = reason;
  while (!why.empty() && (why.back() == '.' || why.back() == ' ')) why.pop_back();
  return "Die " + caption + " " + quoted(path) + " kann nicht gelesen werden (" + why +
         "); das Paket wird ohne sie erzeugt.";
}

std::string outOfMemoryMessage(const std::string& what) {
  return "Der Arbeitsspeicher reicht nicht f\xFCr " + what + "." + kAborted;
}

}  // namespace tw
