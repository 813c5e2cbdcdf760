// What the cabinet writer (FCI) and reader (FDI) need from their caller:
// memory, files and the caller's notifications. CABINET.DLL serves these
// from the callbacks its callers pass; the host tests serve them from
// memory files.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tw::cab {

// Open flags and permissions as the callbacks take them (the C runtime's
// _O_ and _S_ values).
constexpr int kOpenReadOnly = 0x0000;
constexpr int kOpenReadWrite = 0x0002;
constexpr int kOpenSequential = 0x0020;
constexpr int kOpenCreate = 0x0100;
constexpr int kOpenTruncate = 0x0200;
constexpr int kOpenExclusive = 0x0400;
constexpr int kOpenBinary = 0x8000;
constexpr int kPermissionRead = 0x0100;
constexpr int kPermissionWrite = 0x0080;
constexpr int kSeekSet = 0;
constexpr int kSeekCurrent = 1;
constexpr int kSeekEnd = 2;
// A read or write callback's failure.
constexpr uint32_t kTransferFailed = 0xFFFFFFFFu;

// Errors the library reports, with the platform's numbers.
enum class FciError : int {
  None = 0, OpenSource, ReadSource, AllocFail, TempFile, BadCompressionType, CabinetFile,
  UserAbort, CompressorFail
};
enum class FdiError : int {
  None = 0, CabinetNotFound, NotACabinet, UnknownCabinetVersion, CorruptCabinet, AllocFail,
  BadCompressionType, DecompressorFail, TargetFile, ReserveMismatch, WrongCabinet, UserAbort
};

// One cabinet's parameters as the writer's caller gives and updates them.
struct CabinetParams {
  uint32_t maxSize = 0x7FFFFFFF;      // cb
  uint32_t folderThreshold = 0x7FFFFFFF;
  uint32_t headerReserve = 0;
  uint32_t folderReserve = 0;
  uint32_t dataReserve = 0;
  int32_t cabinetIndex = 0;  // iCab
  int32_t diskIndex = 0;     // iDisk
  int32_t failOnIncompressible = 0;
  uint16_t setId = 0;
  char disk[256] = {};
  char name[256] = {};
  char path[256] = {};
};

class FileHost {
 public:
  virtual void* alloc(uint32_t bytes) = 0;
  virtual void release(void* block) = 0;
  // -1 on failure; *error (when given) takes the system's reason.
  virtual intptr_t open(const char* name, int flags, int permissions, int* error) = 0;
  virtual uint32_t read(intptr_t file, void* buffer, uint32_t size, int* error) = 0;
  virtual uint32_t write(intptr_t file, const void* buffer, uint32_t size, int* error) = 0;
  virtual int close(intptr_t file, int* error) = 0;  // 0 on success
  virtual int32_t seek(intptr_t file, int32_t distance, int origin, int* error) = 0;  // -1: failure

 protected:
  ~FileHost() = default;
};

// The writer's caller: its files plus the platform FCI callbacks.
class FciHost : public FileHost {
 public:
  virtual int remove(const char* name, int* error) = 0;  // 0 on success
  virtual bool tempFileName(char* name, int capacity) = 0;
  // A file was placed into the cabinet params describe. -1 aborts.
  virtual int filePlaced(const CabinetParams& params, const char* name, uint32_t size,
                         bool continuation) = 0;
  // params.cabinetIndex is already advanced; false aborts.
  virtual bool nextCabinet(CabinetParams& params, uint32_t previousSize) = 0;
  // statusFile (0): compressed, uncompressed bytes of a block;
  // statusFolder (1): bytes copied, folder total; statusCabinet (2):
  // estimated and actual cabinet size, returns the size to count. -1 aborts.
  virtual int32_t status(unsigned type, uint32_t first, uint32_t second) = 0;
  virtual intptr_t openSource(const char* name, uint16_t* date, uint16_t* time, uint16_t* attributes,
                              int* error) = 0;

 protected:
  ~FciHost() = default;
};

constexpr unsigned kStatusFile = 0;
constexpr unsigned kStatusFolder = 1;
constexpr unsigned kStatusCabinet = 2;

// FDI's notifications, numbered as the platform numbers them.
enum class FdiEvent : int {
  CabinetInfo = 0, PartialFile, CopyFile, CloseFileInfo, NextCabinet, Enumerate
};
struct FdiNote {
  int32_t size = 0;  // cb
  const char* text1 = nullptr;
  const char* text2 = nullptr;
  const char* text3 = nullptr;
  intptr_t file = 0;
  uint16_t date = 0, time = 0, attributes = 0, setId = 0, cabinetIndex = 0, folderIndex = 0;
  FdiError error = FdiError::None;
};
enum class DecryptEvent : int { NewCabinet = 0, NewFolder, DataBlock };
struct DecryptNote {
  DecryptEvent event = DecryptEvent::NewCabinet;
  void* reserve = nullptr;
  uint16_t reserveSize = 0;
  uint16_t setId = 0;            // new cabinet
  uint16_t index = 0;            // cabinet index or folder index
  void* data = nullptr;          // data block
  uint16_t dataSize = 0;
};

// The reader's caller: its files plus the notification and decrypt callbacks.
class FdiHost : public FileHost {
 public:
  virtual intptr_t notify(FdiEvent event, FdiNote& note) = 0;
  virtual bool wantsDecrypt() const = 0;
  virtual int decrypt(DecryptNote& note) = 0;  // -1 aborts

 protected:
  ~FdiHost() = default;
};

}  // namespace tw::cab
