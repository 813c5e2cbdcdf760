// The cabinet writer's file callbacks over the C library.
#include "builder/package/host_cabinet_writer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "builder/package/host_file_times.h"

namespace tw {
namespace {

constexpr char kCabinetName[] = "BMTBW.CAB";
constexpr uint16_t kSetId = 25867;
constexpr intptr_t kPackage = 0x7FFF0000;  // the handle of the package file
constexpr uint16_t kAttributeReadOnly = 0x01;
constexpr uint16_t kAttributeHidden = 0x02;
constexpr uint16_t kAttributeArchive = 0x20;

}  // namespace

HostCabinetWriter::HostCabinetWriter(const std::string& workFolder, std::FILE* package,
                                     std::function<void(uint32_t)> cabinetDone)
    : workFolder_(workFolder), package_(package), cabinetDone_(std::move(cabinetDone)) {
  params_.cabinetIndex = 1;
  params_.setId = kSetId;
  std::strncpy(params_.name, kCabinetName, sizeof params_.name - 1);
  std::strncpy(params_.path, workFolder.c_str(), sizeof params_.path - 1);
}

HostCabinetWriter::~HostCabinetWriter() {
  destroy();
  for (auto& f : files_)
    if (f.first) std::fclose(f.first);
}

bool HostCabinetWriter::create() {
  cab::FciFailure failure;
  writer_ = cab::FciWriter::create(*this, params_, failure);
  return writer_ != nullptr;
}

bool HostCabinetWriter::addFile(const std::string& source, const std::string& nameInCabinet, uint16_t typeCompress) {
  return writer_ && writer_->addFile(source.c_str(), nameInCabinet.c_str(), false, typeCompress);
}

bool HostCabinetWriter::flush(bool startNext) { return writer_ && writer_->flushCabinet(startNext); }

void HostCabinetWriter::destroy() {
  if (writer_) writer_->destroy();
  writer_ = nullptr;
}

void* HostCabinetWriter::alloc(uint32_t bytes) { return std::malloc(bytes); }
void HostCabinetWriter::release(void* block) { std::free(block); }

intptr_t HostCabinetWriter::keep(std::FILE* file, const std::string& name) {
  for (size_t i = 0; i < files_.size(); ++i)
    if (!files_[i].first) {
      files_[i] = {file, name};
      return static_cast<intptr_t>(i + 1);
    }
  files_.emplace_back(file, name);
  return static_cast<intptr_t>(files_.size());
}

std::FILE* fileOf(std::vector<std::pair<std::FILE*, std::string>>& files, std::FILE* package, intptr_t handle) {
  if (handle == kPackage) return package;
  if (handle < 1 || static_cast<size_t>(handle) > files.size()) return nullptr;
  return files[static_cast<size_t>(handle) - 1].first;
}

int HostCabinetWriter::fail(intptr_t file, int* error) {
  systemError_ = errno ? errno : EIO;
  if (error) *error = systemError_;
  if (file == kPackage) failedFile_.clear();
  else if (file >= 1 && static_cast<size_t>(file) <= files_.size()) failedFile_ = files_[static_cast<size_t>(file) - 1].second;
  return -1;
}

intptr_t HostCabinetWriter::open(const char* name, int flags, int, int* error) {
  if (workFolder_ + kCabinetName == name) return kPackage;
  const char* mode = (flags & cab::kOpenCreate) ? ((flags & cab::kOpenExclusive) ? "wb+x" : "wb+")
                     : (flags & 3)               ? "rb+"
                                                 : "rb";
  errno = 0;
  std::FILE* f = std::fopen(name, mode);
  if (!f) {
    failedFile_ = name;
    systemError_ = errno ? errno : EIO;
    if (error) *error = systemError_;
    return -1;
  }
  return keep(f, name);
}

uint32_t HostCabinetWriter::read(intptr_t file, void* buffer, uint32_t size, int* error) {
  std::FILE* f = fileOf(files_, package_, file);
  if (!f) return file == -1 ? 0 : cab::kTransferFailed;
  size_t n = std::fread(buffer, 1, size, f);
  if (n < size && std::ferror(f)) {
    fail(file, error);
    return cab::kTransferFailed;
  }
  return static_cast<uint32_t>(n);
}

uint32_t HostCabinetWriter::write(intptr_t file, const void* buffer, uint32_t size, int* error) {
  std::FILE* f = fileOf(files_, package_, file);
  if (!f || std::fwrite(buffer, 1, size, f) != size) {
    fail(file, error);
    return cab::kTransferFailed;
  }
  return size;
}

int HostCabinetWriter::close(intptr_t file, int* error) {
  if (file == kPackage || file == -1) return 0;
  std::FILE* f = fileOf(files_, package_, file);
  if (!f) return 0;
  int result = std::fclose(f);
  files_[static_cast<size_t>(file) - 1].first = nullptr;
  if (result != 0) return fail(file, error);
  return 0;
}

int32_t HostCabinetWriter::seek(intptr_t file, int32_t distance, int origin, int* error) {
  // The cabinet is written front to back into the package and never sought.
  std::FILE* f = fileOf(files_, package_, file);
  if (file == -1) return distance == 0 ? 0 : -1;
  if (!f || file == kPackage) return fail(file, error);
  int whence = origin == cab::kSeekSet ? SEEK_SET : origin == cab::kSeekCurrent ? SEEK_CUR : SEEK_END;
  if (std::fseek(f, distance, whence) != 0) return fail(file, error);
  long at = std::ftell(f);
  if (at < 0 || at > 0x7FFFFFFFL) return fail(file, error);
  return static_cast<int32_t>(at);
}

int HostCabinetWriter::remove(const char* name, int* error) {
  if (std::remove(name) == 0) return 0;
  if (error) *error = errno;
  return -1;
}

bool HostCabinetWriter::tempFileName(char* name, int capacity) {
  // In the build's own work folder, which goes with the build; the name
  // never enters the cabinet.
  std::string path = workFolder_ + "cabinet-data-" + std::to_string(temporaryCount_++);
  if (static_cast<int>(path.size()) >= capacity) return false;
  std::memcpy(name, path.c_str(), path.size() + 1);
  return true;
}

int HostCabinetWriter::filePlaced(const cab::CabinetParams&, const char*, uint32_t, bool) { return 0; }

bool HostCabinetWriter::nextCabinet(cab::CabinetParams& params, uint32_t) {
  std::strncpy(params.name, kCabinetName, sizeof params.name - 1);
  return true;
}

int32_t HostCabinetWriter::status(unsigned type, uint32_t, uint32_t second) {
  if (type == cab::kStatusFile && second > 0 && blockDone_) blockDone_(second);
  if (type == cab::kStatusCabinet) {
    if (cabinetDone_) cabinetDone_(second);
    return static_cast<int32_t>(second);
  }
  return 0;
}

intptr_t HostCabinetWriter::openSource(const char* name, uint16_t* date, uint16_t* time, uint16_t* attributes,
                                       int* error) {
  struct stat info{};
  errno = 0;
  if (::stat(name, &info) != 0) {
    failedFile_ = name;
    systemError_ = errno ? errno : EIO;
    if (error) *error = systemError_;
    return -1;
  }
  intptr_t handle = open(name, cab::kOpenReadOnly | cab::kOpenBinary, 0, error);
  if (handle == -1) return -1;
  DosDateTime dos = hostDosDateTime(static_cast<int64_t>(info.st_mtime));
  *date = dos.date;
  *time = dos.time;
  // Files read through Wine carry the archive bit; the read-only bit is
  // the owner's missing write permission; a name that starts with a dot is
  // hidden, as Wine shows such files.
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  *attributes = static_cast<uint16_t>(kAttributeArchive | ((info.st_mode & S_IWUSR) ? 0 : kAttributeReadOnly) |
                                      (base[0] == '.' ? kAttributeHidden : 0));
  return handle;
}

}  // namespace tw
