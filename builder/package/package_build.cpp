// Build steps: copies, profile, binding, items, cabinets, table.
#include "builder/package/package_build.h"

#include <new>

#include "builder/package/build_checks.h"
#include "builder/package/build_safety.h"
#include "builder/package/profile_records.h"
#include "builder/package/profile_writer.h"
#include "builder/package/source_files.h"
#include "common/file_checks.h"
#include "common/item_table.h"
#include "common/res_file.h"
#include "common/string_block.h"
#include "language/ids.h"

namespace tw {
namespace {

constexpr char kAborted[] = " Erzeugung abgebrochen.";

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return i == a.size() && !b[i];
}

// Copies one of the builder's files into a file of this build; `shownAs`
// names the target in the message (the package rather than its temporary file).
void copyInto(BuildPlatform& platform, const std::string& from, const std::string& to, const std::string& shownAs,
              bool isPackage = false) {
  if (platform.copyFile(from, to)) return;
  std::string reason = withoutPeriod(platform.lastFailure());
  if (!platform.exists(from)) throw BuildError("Die Datei \"" + from + "\" ist nicht vorhanden!" + kAborted);
  if (isPackage) throw BuildError(packageWriteFailure(shownAs, reason));
  throw BuildError("Die Datei \"" + from + "\" kann nicht nach \"" + shownAs + "\" kopiert werden: " + reason + "." +
                   kAborted);
}

// Gives `to` the last-write time of `from`: the resource DLL, rewritten by
// the binder, enters its cabinet with the time of the DLL it was made from,
// so that the build's own clock never reaches the package.
void keepWriteTime(BuildPlatform& platform, const std::string& from, const std::string& to) {
  if (!platform.copyWriteTime(from, to))
    throw BuildError("Die Zeit der Datei \"" + to + "\" kann nicht gesetzt werden: " +
                     withoutPeriod(platform.lastFailure()) + "." + kAborted);
}

// A folder path that names the folder itself ("C:" is the drive's current folder).
std::string folderForApi(std::string folder) {
  if (folder.empty()) return ".";
  if (folder.back() == ':') folder += '\\';
  return folder;
}

// The folders a build creates for its package, deepest last, so that a
// stop can take away the ones it made (and only while they are empty).
std::vector<std::string> missingFolders(BuildPlatform& platform, std::string folder) {
  std::vector<std::string> out;
  while (!folder.empty() && folder.back() != ':' && !platform.exists(folder)) {
    out.insert(out.begin(), folder);
    std::string parent = folderOfPath(folder);
    if (parent == folder) break;
    folder = parent;
  }
  return out;
}

void writeResourceFile(FileSystem& files, const std::string& path, const std::vector<ResEntry>& entries) {
  std::vector<uint8_t> bytes;
  if (writeResFile(entries, bytes) != ResError::kOk)
    throw BuildError("Die Ressourcendatei \"" + path + "\" ist zu gro\xDF." + kAborted);
  if (!files.writeFile(path, bytes.data(), bytes.size())) throw BuildError("Datei " + path + " kann nicht erstellt werden");
}

// Size and SHA-256 of the files that the dispatcher and the runtime write
// into the temporary folder and then load or start: bound into the package
// and into the runtime's resource DLL, and compared before each use.
ResEntry fileChecksResource(FileSystem& files, const std::string& builderFolder) {
  static const char* const kChecked[] = {"CABINET.DLL", "CABXPD32.DLL", "ZETURFD.EXE"};
  std::vector<uint8_t> data(sizeof kChecked / sizeof kChecked[0] * kFileCheckRecordSize);
  for (size_t i = 0; i < sizeof kChecked / sizeof kChecked[0]; ++i) {
    std::vector<uint8_t> bytes;
    std::string path = builderFolder + kChecked[i];
    if (files.readFile(path, bytes) != FileReadStatus::Ok)
      throw BuildError("Die Datei \"" + path + "\" ist nicht vorhanden!" + kAborted);
    if (!writeFileCheck(kChecked[i], bytes.data(), static_cast<uint32_t>(bytes.size()),
                        &data[i * kFileCheckRecordSize]))
      throw BuildError("Die Pr\xFC" "fsumme von \"" + path + "\" konnte nicht gebildet werden." + kAborted);
  }
  return makeResEntry(kResTypeRcData, kFileChecksResourceId, std::move(data));
}

std::vector<ResEntry> dispatcherResources(FileSystem& files, const ProjectDocument& p, const LanguageModule& language,
                                          uint16_t& iconCounter, const std::string& builderFolder) {
  std::vector<ResEntry> out;
  out.push_back(fileChecksResource(files, builderFolder));
  copyIconGroup(language, ICO_PACKAGE, 1, iconCounter, out);
  copyIconGroup(language, ICO_SETUP, 2, iconCounter, out);
  copyLanguageResource(language, kResTypeDialog, DLG_PREPARE, PKG_DLG_PROGRESS, out);
  copyLanguageResource(language, kResTypeVersion, VER_PACKAGE, 1, out);
  out.push_back(makeResEntry(kResTypeString, 1, encodeStringBlock({p.EditApp})));
  copyLanguageResource(language, kResTypeString, 66, 66, out);
  return out;
}

void appendFileItem(FileSystem& files, PackageOutput& package, PackageItems& items, const std::string& path) {
  std::vector<uint8_t> bytes;
  if (files.readFile(path, bytes) != FileReadStatus::Ok)
    throw BuildError("Die Datei \"" + path + "\" ist nicht vorhanden!" + kAborted);
  items.append(static_cast<uint32_t>(bytes.size()));
  package.write(bytes.data(), bytes.size());
}

uint64_t fileSizeOrZero(FileSystem& files, const std::string& path) {
  FileInfo info;
  return files.findFile(path, info) ? static_cast<uint32_t>(info.size) : 0;
}

double compressPackage(BuildPlatform& platform, const ProjectDocument& p, const std::string& workFolder,
                       PackageOutput& package, const std::string& shownAs, PackageItems& items,
                       uint64_t compressedBytes, BuildReporter& reporter) {
  const std::string& builderFolder = platform.builderFolder();
  // The resource DLL is this build's own, in its work folder.
  const std::string runtime[][2] = {{workFolder + "_SETUP.DLL", "_SETUP.DLL"},
                                    {builderFolder + "ZETUSUM.EXE", "_SETUP.EXE"},
                                    {builderFolder + "ZETURFD.EXE", "ZETURFD.EXE"}};
  uint64_t total = compressedBytes;
  for (auto& f : runtime) total += fileSizeOrZero(platform.files(), f[0]);
  std::unique_ptr<PackageCabinets> cabinets = platform.cabinets(workFolder, package, shownAs, items, reporter, total);
  PackageCabinets& cab = *cabinets;
  auto fail = [&](const std::string& what) {
    if (cab.packageFailed()) throw BuildError(packageWriteFailure(shownAs, cab.lastError()));
    std::string failed = cab.failedFile();
    if (!failed.empty() && what.find(failed) == std::string::npos)
      throw BuildError(what + " (\"" + failed + "\": " + withoutPeriod(cab.lastError()) + ")." + kAborted);
    throw BuildError(what + " (" + withoutPeriod(cab.lastError()) + ")." + kAborted);
  };
  if (!cab.create()) fail("Der Komprimierer konnte nicht gestartet werden");
  std::string text = "Komprimiere: Applikationsdateien";
  reporter.progress(&text, 10);
  for (auto& f : runtime)
    if (!cab.addFile(f[0], f[1])) fail("Die Datei \"" + f[0] + "\" konnte nicht komprimiert werden");

  const TreeNode* files = p.fileComponentsRoot();
  bool newCabinet = true;
  if (files)
    for (const auto& component : files->children) {
      bool compressed = isCompressed(*component);
      // Every file entry below the component, in tree order.
      std::vector<const TreeNode*> pending;
      for (auto it = component->children.rbegin(); it != component->children.rend(); ++it)
        pending.push_back(it->get());
      while (!pending.empty()) {
        const TreeNode* node = pending.back();
        pending.pop_back();
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) pending.push_back(it->get());
        if (node->picture != kPictureFileEntry || !compressed) continue;
        if (newCabinet) {
          newCabinet = false;
          if (!cab.flush(true)) fail("Ein Kabinett konnte nicht abgeschlossen werden");
        }
        std::string source = resolveSourcePath(p, node->text);
        std::string name = sourceFileName(source);
        std::string step = "Komprimiere: " + name;
        reporter.progress(&step, -1);
        if ((node->value & 3) == 2) name = platform.versionDigits(source) + name;
        if (!cab.addFile(source, name)) fail("Die Datei \"" + source + "\" konnte nicht komprimiert werden");
      }
      newCabinet = true;
    }
  if (newCabinet && !cab.flush(false)) fail("Ein Kabinett konnte nicht abgeschlossen werden");
  cab.destroy();
  return cab.compressionSeconds();
}

}  // namespace

void PackageItems::append(uint32_t size) {
  if (records.size() < count + 2) records.resize(count + 2, ItemRecord{0, 0});
  records[count].size = size;
  records[count + 1].offset = records[count].offset + size;
  ++count;
}

bool compressionByName(const std::string& name, uint16_t& type) {
  if (equalsIgnoringCase(name, "lzx")) type = kCompressLzx21;
  else if (equalsIgnoringCase(name, "mszip")) type = kCompressMsZip;
  else if (equalsIgnoringCase(name, "none")) type = kCompressNone;
  else return false;
  return true;
}

std::string withoutPeriod(std::string text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string packageWriteFailure(const std::string& package, const std::string& reason) {
  return "Das Paket \"" + package + "\" kann nicht geschrieben werden: " + withoutPeriod(reason) + "." + kAborted;
}

bool runPackageBuild(ProjectDocument& p, BuildPlatform& platform, const LanguageModule* language,
                     BuildReporter& reporter, const std::string& packagePath, BuildTiming* timing) {
  bool ok = false;
  double start = platform.seconds();
  double compression = 0;
  if (!language) {
    reporter.message("Kein Sprachmodul ausgew\xE4hlt (Dialogseite)!", kBuilderTitle, MessageIcon::Stop);
    return false;
  }
  FileSystem& files = platform.files();
  const std::string& folder = platform.builderFolder();
  std::string work;
  // The package is written under a temporary name beside its place and
  // takes the place only when complete; until then an older package stays.
  std::string temporaryPackage;
  std::vector<std::string> newFolders;
  std::string step;
  try {
    step = "\xDC" "berpr\xFC" "fe Dateien";
    reporter.progress(&step, 0);
    auto sameFile = [&platform](const std::string& a, const std::string& b) { return platform.sameFile(a, b); };
    if (auto problem = checkOutputPath(packagePath, p, folder, files, sameFile)) throw BuildError(*problem);
    validateComponents(p);
    checkDuplicateTargets(p);
    ScanResult scan = UpdateNodeSize(p, files, true);

    step = "Erzeuge Installationsprofil";
    reporter.progress(&step, 3);
    work = platform.createWorkFolder();
    const std::string setupDll = work + "_SETUP.DLL";
    const std::string packageFolder = folderForApi(folderOfPath(packagePath));
    newFolders = missingFolders(platform, folderOfPath(packagePath));
    if (!files.createDirectories(folderOfPath(packagePath)))
      throw BuildError("Der Ordner \"" + packageFolder + "\" kann nicht angelegt werden: " +
                       withoutPeriod(files.lastErrorText()) + "." + kAborted);
    temporaryPackage = platform.temporaryFile(packageFolder, packagePath);
    if (temporaryPackage.empty()) throw BuildError(packageWriteFailure(packagePath, platform.lastFailure()));
    copyInto(platform, folder + "ZETUBODY.EXE", temporaryPackage, packagePath, true);
    const std::string runtimeDll = folder + (p.EditCustomDll.empty() ? std::string("ZETUSUM.DLL") : p.EditCustomDll);
    copyInto(platform, runtimeDll, setupDll, setupDll);

    SourceFiles sources(files, reporter, p.ProjectPath);
    uint16_t iconCounter = 1;
    std::vector<ResEntry> profile = ProfileWriter(p, *language, sources, reporter).write(iconCounter);
    profile.push_back(fileChecksResource(files, folder));
    writeResourceFile(files, work + "_SETUP.RES", profile);
    platform.bindResources(setupDll, work + "_SETUP.RES", std::string());
    keepWriteTime(platform, runtimeDll, setupDll);

    std::string dispatcherRes = work + "_ZETUBDY.RES";
    writeResourceFile(files, dispatcherRes, dispatcherResources(files, p, *language, iconCounter, folder));
    platform.bindResources(temporaryPackage, dispatcherRes, packagePath);

    std::unique_ptr<PackageOutput> package = platform.openPackage(temporaryPackage, packagePath);
    PackageItems items;
    items.records.assign(static_cast<size_t>(scan.componentCabinetCount) + kItemFirstComponent, ItemRecord{0, 0});
    items.records[0].offset = package->size();
    package->toEnd();
    appendFileItem(files, *package, items, folder + "CABINET.DLL");
    appendFileItem(files, *package, items, folder + "CABXPD32.DLL");
    compression = compressPackage(platform, p, work, *package, packagePath, items, scan.compressedBytes, reporter);

    // The fixed items up to the runtime's cabinet, then one a component cabinet.
    uint32_t planned = kItemRuntimeCabinet + static_cast<uint32_t>(scan.componentCabinetCount);
    if (items.count != planned)
      throw BuildError("Es wurden " + std::to_string(items.count) + " statt " + std::to_string(planned) +
                       " Elemente ins Paket geschrieben." + kAborted);
    std::vector<uint8_t> table(itemTableSize(planned));
    if (!writeItemTable(items.records.data(), planned, table.data(), table.size()))
      throw BuildError("Die Elementtabelle konnte nicht geschrieben werden." + std::string(kAborted));
    package->write(table.data(), table.size());
    package->finish();
    package.reset();
    if (!platform.replaceFile(temporaryPackage, packagePath))
      throw BuildError("Das Paket \"" + packagePath + "\" kann nicht an seinen Platz geschrieben werden: " +
                       withoutPeriod(platform.lastFailure()) + "." + kAborted);
    temporaryPackage.clear();
    newFolders.clear();
    reporter.message("Installationsanwendung erfolgreich erzeugt:\r\n\r\n" + packagePath,
                     "Installationsprogram erzeugen", MessageIcon::Exclamation);
    ok = true;
  } catch (const BuildError& e) {
    reporter.message(e.what(), kBuilderTitle, MessageIcon::Stop);
  } catch (const std::bad_alloc&) {
    reporter.message(outOfMemoryMessage("den Schritt \"" + step + "\""), kBuilderTitle, MessageIcon::Stop);
  } catch (const std::exception& e) {
    reporter.message("Unerwarteter Fehler im Schritt \"" + step + "\": " + e.what() + "." + kAborted, kBuilderTitle,
                     MessageIcon::Stop);
  }
  // A package without its table is no package: neither it nor anything of
  // the build stays behind.
  if (!temporaryPackage.empty()) platform.removeFile(temporaryPackage);
  for (auto it = newFolders.rbegin(); it != newFolders.rend(); ++it) platform.removeFolder(*it);
  if (!work.empty()) platform.removeWorkFolder(work);
  std::string empty;
  reporter.progress(&empty, 0);
  if (timing) {
    timing->totalSeconds = platform.seconds() - start;
    timing->compressionSeconds = compression;
  }
  return ok;
}

}  // namespace tw
