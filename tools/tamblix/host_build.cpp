// The command-line build on the host. Paths inside the build are Windows
// paths, as the project holds them and as the build under Wine sees them
// ("Z:\" is the host's root); every file access maps them onto the host's
// files with hostPathOf.
#include "tools/tamblix/host_build.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

#include "builder/package/build_checks.h"
#include "builder/package/build_safety.h"
#include "builder/package/host_cabinet_writer.h"
#include "builder/package/line_reporter.h"
#include "builder/package/package_build.h"
#include "builder/package/pe_language_module.h"
#include "builder/package/profile_writer.h"
#include "builder/project/project_io.h"
#include "builder/project/project_json.h"
#include "common/cp1252.h"
#include "common/host_paths.h"
#include "common/pe_resources.h"
#include "common/res_file.h"
#include "common/std_file_system.h"

namespace tw {
namespace {

constexpr char kAborted[] = " Erzeugung abgebrochen.";

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The system's text of a failure in the words Windows gives it under Wine,
// so that both builds stop with the same message where they can.
std::string failureText(int code) {
  switch (code) {
    case ENOENT: return "File not found.";
    case ENOTDIR: return "Path not found.";
    case EACCES:
    case EPERM:
    case EROFS: return "Access denied.";
    case EEXIST: return "File exists.";
    case ENOSPC: return "Disk full.";
    case EISDIR: return "Access denied.";
    case ENAMETOOLONG: return "The filename or extension is too long.";
    case 0: return "Write fault.";
    default: return std::strerror(code);
  }
}

// The host path of a Windows path; "" stays "".
std::string host(const std::string& windowsPath) { return windowsPath.empty() ? windowsPath : hostPathOf(windowsPath); }

// The host's files under Windows names, with Windows' words for failures.
class HostFiles final : public FileSystem {
 public:
  FileReadStatus readFile(const std::string& path, std::vector<uint8_t>& contents) override {
    errno = 0;
    FileReadStatus status = inner_.readFile(host(path), contents);
    error_ = errno;
    return status;
  }
  bool writeFile(const std::string& path, const void* data, size_t size) override {
    errno = 0;
    bool ok = inner_.writeFile(host(path), data, size);
    error_ = errno;
    return ok;
  }
  bool fileExists(const std::string& path) override { return inner_.fileExists(host(path)); }
  bool findFile(const std::string& path, FileInfo& info) override { return inner_.findFile(host(path), info); }
  std::string lastErrorText() override { return failureText(error_); }
  bool copyFile(const std::string& from, const std::string& to) override {
    return inner_.copyFile(host(from), host(to));
  }
  bool createDirectories(const std::string& path) override {
    errno = 0;
    bool ok = inner_.createDirectories(host(path));
    error_ = ok ? 0 : (errno ? errno : ENOENT);
    return ok;
  }

 private:
  StdFileSystem inner_;
  int error_ = 0;
};

class HostPackageFile final : public PackageOutput {
 public:
  HostPackageFile(std::FILE* file, std::string shownAs) : file_(file), shownAs_(std::move(shownAs)) {}
  ~HostPackageFile() override {
    if (file_) std::fclose(file_);
  }
  std::FILE* file() const { return file_; }
  uint64_t size() override {
    struct stat info{};
    std::fflush(file_);
    return ::fstat(fileno(file_), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
  }
  void toEnd() override { std::fseek(file_, 0, SEEK_END); }
  void write(const void* data, size_t size) override {
    errno = 0;
    if (size && std::fwrite(data, 1, size, file_) != size)
      throw BuildError(packageWriteFailure(shownAs_, failureText(errno ? errno : ENOSPC)));
  }
  void finish() override {
    std::FILE* f = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) throw BuildError(packageWriteFailure(shownAs_, failureText(errno)));
  }

 private:
  std::FILE* file_;
  std::string shownAs_;
};

// The portable compressor writing into the package; progress as the
// platform compressor's status gives it, one step per compressed block.
class HostCabinets final : public PackageCabinets {
 public:
  HostCabinets(const std::string& workFolder, std::FILE* package, PackageItems& items, BuildReporter& reporter,
               uint64_t totalBytes, uint16_t compression)
      : writer_(host(workFolder) + "/", package,
                [&items](uint32_t size) {
                  items.append(size);
                }),
        reporter_(reporter),
        total_(totalBytes ? totalBytes : 1),
        compression_(compression) {
    writer_.onBlock([this](uint32_t size) {
      done_ += size;
      int percent = static_cast<int>(10 + done_ * 90 / total_);
      reporter_.progress(nullptr, percent > 100 ? 100 : percent);
    });
  }
  bool create() override { return timed([&] { return writer_.create(); }); }
  bool addFile(const std::string& source, const std::string& nameInCabinet) override {
    source_ = source;
    hostSource_ = host(source);
    return timed([&] { return writer_.addFile(hostSource_, nameInCabinet, compression_); });
  }
  bool flush(bool startNext) override { return timed([&] { return writer_.flush(startNext); }); }
  void destroy() override {
    timed([&] {
      writer_.destroy();
      return true;
    });
  }
  std::string lastError() const override {
    return writer_.systemError() ? failureText(writer_.systemError()) : std::string("FCI-Fehler");
  }
  std::string failedFile() const override {
    // The source under the name the project gives it.
    return writer_.failedFile() == hostSource_ ? source_ : writer_.failedFile();
  }
  bool packageFailed() const override { return writer_.systemError() && writer_.failedFile().empty(); }
  double compressionSeconds() const override { return seconds_; }

 private:
  template <typename Call>
  bool timed(Call call) {
    double start = steadySeconds();
    bool ok = call();
    seconds_ += steadySeconds() - start;
    return ok;
  }
  HostCabinetWriter writer_;
  BuildReporter& reporter_;
  uint64_t done_ = 0;
  uint64_t total_;
  uint16_t compression_;
  double seconds_ = 0;
  std::string source_, hostSource_;
};

class HostBuildPlatform final : public BuildPlatform {
 public:
  HostBuildPlatform(std::string builderFolder, uint16_t compression)
      : builderFolder_(std::move(builderFolder)), compression_(compression) {}
  FileSystem& files() override { return files_; }
  const std::string& builderFolder() const override { return builderFolder_; }
  std::string lastFailure() override { return failureText(error_); }

  std::string createWorkFolder() override {
    const char* temp = std::getenv("TMPDIR");
    std::string base = temp && *temp ? temp : "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string pattern = base + "/TBW.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data()))
      throw BuildError("Der Arbeitsordner \"" + windowsPathOf(pattern) + "\" kann nicht angelegt werden: " +
                       withoutPeriod(failureText(errno)) + "." + kAborted);
    return windowsPathOf(name.data()) + "\\";
  }
  void removeWorkFolder(const std::string& folder) override {
    std::string path = host(folder);
    if (DIR* dir = ::opendir(path.c_str())) {
      while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") ::unlink((path + name).c_str());
      }
      ::closedir(dir);
    }
    ::rmdir(path.c_str());
  }
  bool sameFile(const std::string& a, const std::string& b) override {
    struct stat x{}, y{};
    return ::stat(host(a).c_str(), &x) == 0 && ::stat(host(b).c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
  }
  bool exists(const std::string& path) override {
    struct stat info{};
    return ::stat(host(path).c_str(), &info) == 0;
  }
  std::string temporaryFile(const std::string& folder, const std::string&) override {
    std::string base = host(folder);
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string pattern = base + "/TBWXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return fail();
    ::close(fd);
    return windowsPathOf(name.data());
  }
  bool copyFile(const std::string& from, const std::string& to) override {
    std::vector<uint8_t> bytes;
    struct stat info{};
    std::string source = host(from), target = host(to);
    errno = 0;
    if (::stat(source.c_str(), &info) != 0 || files_.readFile(from, bytes) != FileReadStatus::Ok) return !fail().empty();
    errno = 0;
    std::FILE* f = std::fopen(target.c_str(), "wb");
    if (!f) return !fail().empty();
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) return !fail(ENOSPC).empty();
    // The read-only bit goes with the copy, as the system's copy takes the attributes.
    ::chmod(target.c_str(), info.st_mode & 07777);
    return true;
  }
  bool copyWriteTime(const std::string& from, const std::string& to) override {
    struct stat info{};
    errno = 0;
    if (::stat(host(from).c_str(), &info) != 0) return !fail().empty();
    struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::utimensat(AT_FDCWD, host(to).c_str(), times, 0) != 0) return !fail().empty();
    return true;
  }
  void bindResources(const std::string& target, const std::string& resourceFile,
                     const std::string& shownAs) override {
    const std::string& name = shownAs.empty() ? target : shownAs;
    std::vector<uint8_t> module, res, out;
    std::vector<ResEntry> entries;
    std::string reason;
    if (files_.readFile(target, module) != FileReadStatus::Ok || files_.readFile(resourceFile, res) != FileReadStatus::Ok)
      reason = files_.lastErrorText();
    else if (ResError error = readResFile(res.data(), res.size(), entries); error != ResError::kOk)
      reason = resErrorText(error);
    else if (PeError error = replacePeResources(module, entries, out); error != PeError::kOk)
      reason = peErrorText(error);
    else if (!files_.writeFile(target, out.data(), out.size()))
      reason = files_.lastErrorText();
    ::unlink(host(resourceFile).c_str());
    if (!reason.empty())
      throw BuildError("Der Ressourcenbinder konnte die Ressourcen nicht in \"" + name + "\" einbinden (" +
                       withoutPeriod(reason) + ")." + kAborted);
  }
  std::unique_ptr<PackageOutput> openPackage(const std::string& path, const std::string& shownAs) override {
    errno = 0;
    std::FILE* f = std::fopen(host(path).c_str(), "rb+");
    if (!f) throw BuildError(packageWriteFailure(shownAs, failureText(errno)));
    return std::unique_ptr<PackageOutput>(new HostPackageFile(f, shownAs));
  }
  std::unique_ptr<PackageCabinets> cabinets(const std::string& workFolder, PackageOutput& package,
                                            const std::string&, PackageItems& items, BuildReporter& reporter,
                                            uint64_t totalBytes) override {
    return std::unique_ptr<PackageCabinets>(new HostCabinets(
        workFolder, static_cast<HostPackageFile&>(package).file(), items, reporter, totalBytes, compression_));
  }
  std::string versionDigits(const std::string& path) override {
    // A 16-bit module, whose version only the system's functions read, has
    // no version here.
    std::vector<uint8_t> bytes;
    std::vector<ResEntry> resources;
    if (files_.readFile(path, bytes) == FileReadStatus::Ok && readPeResources(bytes, resources) == PeError::kOk)
      return peVersionDigits(bytes);
    return "0000000000000000";
  }
  bool replaceFile(const std::string& from, const std::string& to) override {
    errno = 0;
    return std::rename(host(from).c_str(), host(to).c_str()) == 0 || !fail().empty();
  }
  void removeFile(const std::string& path) override { ::unlink(host(path).c_str()); }
  void removeFolder(const std::string& path) override { ::rmdir(host(path).c_str()); }
  double seconds() override { return steadySeconds(); }

 private:
  // Notes the failure; always "".
  std::string fail(int code = -1) {
    error_ = code >= 0 ? code : errno;
    return {};
  }
  HostFiles files_;
  std::string builderFolder_;
  uint16_t compression_;
  int error_ = 0;
};

void writeLine(bool toError, const std::string& cp1252) {
  std::string text = cp1252ToUtf8(cp1252);
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  std::fputs(text.c_str(), toError ? stderr : stdout);
  std::fflush(toError ? stderr : stdout);
}

struct LanguageFile {
  std::string name, file;
};

// The language modules of the builder's "language" folder by their names,
// sorted as the builder lists them.
std::vector<LanguageFile> scanLanguageModules(HostFiles& files, const std::string& folder) {
  std::vector<LanguageFile> out;
  DIR* dir = ::opendir(host(folder).c_str());
  if (!dir) return out;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() < 4) continue;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension != ".dll") continue;
    std::vector<uint8_t> bytes;
    PeLanguageModule module;
    std::string file = utf8ToCp1252(name);
    if (files.readFile(folder + file, bytes) != FileReadStatus::Ok || !module.load(bytes)) continue;
    std::string title = module.text(kLanguageNameString);
    if (!title.empty() && title.size() <= 259) out.push_back({title, file});
  }
  ::closedir(dir);
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
  };
  std::stable_sort(out.begin(), out.end(), [&](const LanguageFile& a, const LanguageFile& b) {
    if (lower(a.name) != lower(b.name)) return lower(a.name) < lower(b.name);
    return a.file < b.file;
  });
  return out;
}

bool endsWithJson(const std::string& path) {
  if (path.size() < 5) return false;
  std::string end = path.substr(path.size() - 5);
  for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return end == ".json";
}

// The full path, with "." and ".." steps resolved as the system's full
// path does (by the name, not through links).
std::string absolute(const std::string& path) {
  std::string full = path;
  if (path.empty() || path[0] != '/') {
    std::vector<char> buffer(4096);
    if (::getcwd(buffer.data(), buffer.size())) full = std::string(buffer.data()) + "/" + path;
  }
  std::string normal = std::filesystem::path(full).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

int build(const HostBuildOptions& options) {
  LineReporter reporter(writeLine);
  HostBuildPlatform platform(windowsPathOf(absolute(options.builderFolder)) + "\\", options.compression);
  HostFiles& files = static_cast<HostFiles&>(platform.files());
  const std::string& folder = platform.builderFolder();
  std::vector<LanguageFile> modules = scanLanguageModules(files, folder + "language\\");

  std::string projectPath = windowsPathOf(absolute(options.project));
  if (!files.fileExists(projectPath)) {
    reporter.message("Datei " + projectPath + " kann nicht ge\xF6" "ffnet werden", kBuilderTitle, MessageIcon::Stop);
    return 1;
  }
  ProjectDocument project;
  NoLanguageTexts noLanguage;
  if (endsWithJson(options.project)) {
    std::vector<uint8_t> bytes;
    files.readFile(projectPath, bytes);
    JsonError error;
    if (!projectFromJson(std::string(bytes.begin(), bytes.end()), project, error)) {
      reporter.message("Datei " + projectPath + ": " + error.text(), kBuilderTitle, MessageIcon::Stop);
      return 1;
    }
    project.ProjectPath = projectPath;
    if (project.DefSrcPathValue.empty()) project.DefSrcPathValue = folderOfPath(projectPath);
  } else {
    ProjectContext context{files, noLanguage, {}};
    for (const auto& m : modules) context.languages.push_back(m.name);
    ProjectStatus status = OpenCreateProject(context, projectPath, project);
    if (status.error == ProjectError::NotAProject) status.argument = projectPath;
    if (!status.ok()) {
      reporter.message(status.message(), kBuilderTitle, MessageIcon::Stop);
      return 1;
    }
  }
  PeLanguageModule language;
  for (const auto& m : modules)
    if (m.name == project.ComboLanguage) {
      std::vector<uint8_t> bytes;
      if (files.readFile(folder + "language\\" + m.file, bytes) != FileReadStatus::Ok || !language.load(bytes))
        reporter.message("Ung\xFCltiger Sprachmoduleintrag!", kBuilderTitle, MessageIcon::Stop);
      break;
    }

  if (auto problem = checkRequiredFields(project)) {
    reporter.message(*problem, kBuilderTitle, MessageIcon::Exclamation);
    return 1;
  }
  std::string package = options.package.empty() ? proposedPackagePath(project, files)
                                                : windowsPathOf(absolute(options.package));
  project.LastPackagePath = package;
  BuildTiming spent;
  bool ok = runPackageBuild(project, platform, language.loaded() ? &language : nullptr, reporter, package, &spent);
  if (options.timing) {
    char line[160];
    std::snprintf(line, sizeof line, "Zeit: %d ms gesamt, %d ms im Komprimierer\n",
                  static_cast<int>(spent.totalSeconds * 1000), static_cast<int>(spent.compressionSeconds * 1000));
    writeLine(false, line);
  }
  return ok ? 0 : 1;
}

}  // namespace

std::string windowsPathOf(const std::string& hostPath) {
  std::string out = "Z:";
  for (char c : utf8ToCp1252(hostPath)) out += c == '/' ? '\\' : c;
  if (out == "Z:") out += '\\';
  return out;
}

std::string defaultBuilderFolder(const std::string& toolPath) {
  std::string folder = toolPath.substr(0, toolPath.find_last_of('/') + 1);
  if (folder.empty()) folder = "./";
  struct stat info{};
  for (const std::string& candidate : {folder, folder + "../win32/dist/", folder + "win32/dist/"})
    if (::stat((candidate + "ZETUBODY.EXE").c_str(), &info) == 0) return candidate;
  return {};
}

int runHostBuild(const HostBuildOptions& options) {
  // Whatever goes wrong ends in a message and exit code 1.
  try {
    return build(options);
  } catch (const std::bad_alloc&) {
    writeLine(true, outOfMemoryMessage("die Erzeugung aus \"" + utf8ToCp1252(options.project) + "\"") + "\n");
  } catch (const std::exception& e) {
    writeLine(true, std::string("Unerwarteter Fehler: ") + e.what() + ". Erzeugung abgebrochen.\n");
  }
  return 1;
}

}  // namespace tw
