// The rules that keep a build from harming what it reads: where the package
// may go, which targets a component may hold, which files fit a cabinet,
// and the dates a cabinet can store. All of them hold before anything is
// written.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "builder/project/project_document.h"
#include "common/file_system.h"

namespace tw {

// An advertisement series named by its first picture, "stemNN.ext": the
// pictures stemNN.ext, stem(NN+1).ext, ... up to 99.
struct AdvertisementSeries {
  std::string stem, extension;
  int first = 0;
  std::string name(int n) const;  // the picture with number n (two digits)
};
// False when the name does not end in two digits before its extension.
bool parseAdvertisementSeries(const std::string& firstPicture, AdvertisementSeries& series);

// A full path in the form paths are compared in: "/" as "\", "." and ".."
// steps resolved, no trailing separator, letters folded to lower case as
// the file system compares them (CP1252).
std::string comparablePath(const std::string& fullPath);

// True when `path` is `folder` itself or lies anywhere below it.
bool pathIsInFolder(const std::string& path, const std::string& folder);

// Every file of the project a build reads: the project file, the sources of
// all file entries, the bitmaps and text files of the profile, the
// background picture and every name the advertisement series can take.
// Names are resolved as the build resolves them.
std::vector<std::string> projectInputFiles(const ProjectDocument& project);

// Whether two existing paths name one file or folder (by the file
// system's identity, which also sees short names and links).
using SameFileTest = std::function<bool(const std::string&, const std::string&)>;

// Why `package` (a full path) may not be the build's output, or nothing:
// it must not be a folder, the project, a file the project reads, or lie in
// the builder's folder (with or without its trailing backslash). Names are
// compared as the file system compares them; `sameFile`, when given, also
// catches other spellings of an existing file or of the builder's folder.
std::optional<std::string> checkOutputPath(const std::string& package, const ProjectDocument& project,
                                           const std::string& builderFolder, FileSystem& files,
                                           const SameFileTest& sameFile = nullptr);

// Stops the build when two file or placeholder entries of one component
// would install to the same target (same folder entry, same name).
void checkDuplicateTargets(const ProjectDocument& project);

// A cabinet holds a file of at most this many bytes.
constexpr uint64_t kLargestCabinetFile = 0x7FFFFFFF;
// The stop for a source file of `size` bytes above that limit.
std::string fileTooLargeMessage(const std::string& path, uint64_t size);

// A date and time as the cabinet stores it (MS-DOS format, local time).
struct DosDateTime {
  uint16_t date = 0;
  uint16_t time = 0;
};
// Encodes a calendar time; anything before 1980-01-01 00:00 becomes that
// moment, anything after 2107-12-31 23:59:58 that one (the range the format
// holds). Seconds are stored in steps of two.
DosDateTime toDosDateTime(int year, int month, int day, int hour, int minute, int second);

// The message for a profile text file that cannot be read and is left out.
std::string textFileLeftOutMessage(const std::string& caption, const std::string& path,
                                   const std::string& reason);

// The stop for a step that ran out of memory.
std::string outOfMemoryMessage(const std::string& step);

}  // namespace tw
