// The cabinet reader behind FDICreate, FDIIsCabinet and FDICopy. Before the
// first file is handed out, the whole cabinet is checked: header, counts,
// offsets, names, the size and checksum of every data block; a cabinet that
// fails any check gives CorruptCabinet and nothing is extracted from it.
#pragma once
#include <cstdint>

#include "cabinet/core/codec.h"
#include "cabinet/core/container/host.h"

namespace tw::cab {

struct FdiFailure {
  FdiError error = FdiError::None;
  int systemError = 0;
};

struct CabinetInfo {
  uint32_t size = 0;
  uint16_t folders = 0, files = 0, setId = 0, cabinetIndex = 0;
  bool reserve = false, hasPrevious = false, hasNext = false;
};

class FdiReader {
 public:
  static FdiReader* create(FdiHost& host, FdiFailure& failure);
  // Reads a cabinet header at the file's current position.
  bool isCabinet(intptr_t file, CabinetInfo& info);
  // Extracts folder + cabinet: notifications for the cabinet and for each
  // file; the caller decides per file.
  bool copy(const char* cabinet, const char* folder);
  void destroy();
  const FdiFailure& failure() const { return failure_; }

 private:
  static constexpr uint32_t kHeaderSizeMax = 40;  // the fixed header and its reserve sizes
  struct Folder {
    uint32_t offset;
    uint16_t blocks;
    uint16_t type;
    uint64_t uncompressed;
  };
  struct FileEntry {
    uint32_t size, start;
    uint16_t folder, date, time, attributes;
    const char* name;
  };

  explicit FdiReader(FdiHost& host);
  bool fail(FdiError error, int systemError = 0);
  bool readExact(void* buffer, uint32_t size);
  bool readAt(uint32_t offset, void* buffer, uint32_t size);
  bool readName(char (&name)[256]);
  bool readHeader(CabinetInfo& info, bool forCopy);
  bool copyOpen(const char* folderPath);
  bool readTables();
  bool checkFolders();
  bool readBlock(uint32_t offset, uint16_t type, bool last, uint32_t& recordSize);
  bool startFolder(uint16_t index);
  bool nextBlock();
  bool extractTo(intptr_t target, const FileEntry& file);
  void releaseTables();
  static void* codecAlloc(void* context, size_t bytes);
  static void codecRelease(void* context, void* block);

  FdiHost& host_;
  FdiFailure failure_;
  CodecMemory memory_;
  uint8_t* in_ = nullptr;   // one CFDATA: header, reserve, payload
  uint8_t* out_ = nullptr;  // its uncompressed bytes

  // The cabinet FDICopy has open.
  intptr_t cabinet_ = -1;
  uint32_t limit_ = 0;  // cbCabinet
  uint8_t header_[kHeaderSizeMax] = {};
  uint16_t flags_ = 0, setId_ = 0, cabinetIndex_ = 0, folderCount_ = 0, fileCount_ = 0;
  uint32_t filesOffset_ = 0;
  uint32_t headerReserve_ = 0, folderReserve_ = 0, dataReserve_ = 0;
  uint8_t* headerReserveData_ = nullptr;
  char previousCabinet_[256] = {}, previousDisk_[256] = {}, nextCabinet_[256] = {}, nextDisk_[256] = {};
  uint8_t* folderTable_ = nullptr;
  Folder* folders_ = nullptr;
  uint8_t* fileTable_ = nullptr;
  FileEntry* files_ = nullptr;

  // The folder being expanded.
  BlockDecoder* decoder_ = nullptr;
  uint16_t decoderType_ = 0;
  int32_t currentFolder_ = -1;
  uint32_t blockOffset_ = 0;
  uint32_t blocksLeft_ = 0;
  uint64_t outStart_ = 0;  // folder offset of out_[0]
  uint32_t outSize_ = 0;
};

}  // namespace tw::cab
