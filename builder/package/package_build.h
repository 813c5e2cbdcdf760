// The build worker: validation, the install profile, binding, the items,
// the cabinets and the item table, in the builder's fixed order. One
// sequence for every builder: the few services that differ between the
// Windows program and the host tool (work folder, the package file, the
// compressor, binding, file identity and times) come through BuildPlatform.
// Paths are Windows paths (CP1252, "\" separators) throughout.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/package/build_context.h"
#include "builder/project/project_document.h"
#include "common/file_system.h"
#include "common/item_table.h"

namespace tw {

// Items written so far; records[count].offset is where the next item starts.
struct PackageItems {
  std::vector<ItemRecord> records;
  uint32_t count = 0;
  void append(uint32_t size);
};

// The cabinets' compression as the compressor names it: LZX with a 2 MB
// window (the default), MSZIP, or stored.
constexpr uint16_t kCompressLzx21 = 0x1503;
constexpr uint16_t kCompressMsZip = 0x0001;
constexpr uint16_t kCompressNone = 0x0000;
// "lzx", "mszip" or "none" in any case; false for any other name.
bool compressionByName(const std::string& name, uint16_t& type);

// The package being written (its temporary file); messages name the
// package it becomes. Failures throw BuildError.
class PackageOutput {
 public:
  virtual ~PackageOutput() = default;
  virtual uint64_t size() = 0;
  virtual void toEnd() = 0;
  virtual void write(const void* data, size_t size) = 0;
  // Closes the file; a close that fails (data the disk did not take) stops the build.
  virtual void finish() = 0;
};

// The compressor writing one cabinet after another into the package, each
// finished cabinet appended to the items; status of every compressed block
// goes to the progress (10 to 100 percent over `totalBytes`).
class PackageCabinets {
 public:
  virtual ~PackageCabinets() = default;
  virtual bool create() = 0;
  virtual bool addFile(const std::string& source, const std::string& nameInCabinet) = 0;
  // startNext: close the current cabinet so the next file starts a new one.
  virtual bool flush(bool startNext) = 0;
  virtual void destroy() = 0;
  // The system's text of the last failure, or the compressor's code.
  virtual std::string lastError() const = 0;
  // The file whose open, read, write or seek failed last ("" if none).
  virtual std::string failedFile() const = 0;
  virtual bool packageFailed() const = 0;
  virtual double compressionSeconds() const = 0;
};

class BuildPlatform {
 public:
  virtual ~BuildPlatform() = default;
  virtual FileSystem& files() = 0;
  // The builder's folder, with its trailing backslash.
  virtual const std::string& builderFolder() const = 0;
  // The system's text of the last failure (without a trailing period).
  virtual std::string lastFailure() = 0;
  // A new folder of this build's own (with trailing backslash); throws.
  virtual std::string createWorkFolder() = 0;
  // Removes the work folder with everything in it.
  virtual void removeWorkFolder(const std::string& folder) = 0;
  // Whether two existing names are one file or folder.
  virtual bool sameFile(const std::string& a, const std::string& b) = 0;
  virtual bool exists(const std::string& path) = 0;
  // A new empty file of a name of its own in `folder`; throws naming `shownAs`.
  virtual std::string temporaryFile(const std::string& folder, const std::string& shownAs) = 0;
  // Copies a file (contents and attributes); false with lastFailure() set.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
  // Gives `to` the last-write time of `from`; false with lastFailure() set.
  virtual bool copyWriteTime(const std::string& from, const std::string& to) = 0;
  // Binds the resource file into `target` as the binder rsrc does and
  // deletes the resource file; throws naming the target as `shownAs`.
  virtual void bindResources(const std::string& target, const std::string& resourceFile,
                             const std::string& shownAs) = 0;
  // Opens the (existing) package file at its start for reading and writing.
  virtual std::unique_ptr<PackageOutput> openPackage(const std::string& path, const std::string& shownAs) = 0;
  virtual std::unique_ptr<PackageCabinets> cabinets(const std::string& workFolder, PackageOutput& package,
                                                    const std::string& shownAs, PackageItems& items,
                                                    BuildReporter& reporter, uint64_t totalBytes) = 0;
  // Sixteen hex digits of a file's fixed version (see file versions).
  virtual std::string versionDigits(const std::string& path) = 0;
  // Puts the finished package in its place, replacing an older one.
  virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
  virtual void removeFile(const std::string& path) = 0;
  virtual void removeFolder(const std::string& path) = 0;
  // Seconds of a steady clock, for the build's timing only.
  virtual double seconds() = 0;
};

// Where a build's time went, for the benchmark.
struct BuildTiming {
  double totalSeconds = 0;
  double compressionSeconds = 0;  // inside the compressor's calls
};

// Runs the whole build into `packagePath` (a full path); false after a
// stop, whose message has been shown through the reporter. `language` is
// the project's language module, null when none could be loaded. The build
// writes only files of its own: a work folder and a temporary file beside
// the package that replaces it when complete; a stop leaves neither.
// Progress is reset at the end.
bool runPackageBuild(ProjectDocument& project, BuildPlatform& platform, const LanguageModule* language,
                     BuildReporter& reporter, const std::string& packagePath, BuildTiming* timing = nullptr);

// The stop for a package that cannot be written, with the system's reason.
std::string packageWriteFailure(const std::string& package, const std::string& reason);

// A system text as the start of a sentence that goes on: without its period.
std::string withoutPeriod(std::string text);

// The string of a language module that names it ("Deutsch").
constexpr int kLanguageNameString = 10000;

}  // namespace tw
