// The cabinet writer behind FCICreate and friends: files are collected into
// folders of one compression type, compressed in 32 KB blocks into a
// temporary data file, and written out as one cabinet per flush.
#pragma once
#include <cstdint>

#include "cabinet/core/codec.h"
#include "cabinet/core/container/host.h"

namespace tw::cab {

struct FciFailure {
  FciError error = FciError::None;
  int systemError = 0;  // what the failing callback reported
};

class FciWriter {
 public:
  // Null with failure set when memory runs out or params are out of range.
  static FciWriter* create(FciHost& host, const CabinetParams& params, FciFailure& failure);

  // name: the name in the cabinet (at most 255 bytes). execute marks the
  // file to be run after extraction.
  bool addFile(const char* source, const char* name, bool execute, uint16_t typeCompress);
  bool flushFolder();
  // Writes the cabinet collected so far (nothing when it holds no file);
  // getNext asks the caller for the next cabinet's parameters now, else
  // before the next file.
  bool flushCabinet(bool getNext);
  // Discards whatever was not flushed, removes the temporary file and frees
  // the writer.
  void destroy();

  const FciFailure& failure() const { return failure_; }
  const CabinetParams& params() const { return params_; }

 private:
  struct FolderRecord {
    uint32_t dataOffset;  // in the temporary data file
    uint32_t dataBytes;
    uint16_t blocks;
    uint16_t type;
  };

  FciWriter(FciHost& host, const CabinetParams& params);
  bool fail(FciError error, int systemError = 0);
  bool openDataFile();
  bool openFolder(uint16_t type);
  bool emitBlock(bool lastInFolder);
  bool readSource(intptr_t source, uint32_t size);
  bool recordFile(const char* name, uint32_t start, uint32_t size, uint16_t date, uint16_t time, uint16_t attributes);
  bool writeCabinet();
  bool startNextCabinet();
  uint64_t cabinetEstimate() const;
  bool writeAll(intptr_t file, const void* bytes, uint32_t size);
  static void* codecAlloc(void* context, size_t bytes);
  static void codecRelease(void* context, void* block);

  FciHost& host_;
  CabinetParams params_;
  FciFailure failure_;
  CodecMemory memory_;

  char dataName_[256] = {};
  intptr_t dataFile_ = -1;
  uint32_t dataBytes_ = 0;

  FolderRecord* folders_ = nullptr;
  uint32_t folderCount_ = 0, folderCapacity_ = 0;
  uint8_t* fileTable_ = nullptr;  // CFFILE records as written
  uint32_t fileTableBytes_ = 0, fileTableCapacity_ = 0;
  uint32_t fileCount_ = 0;

  bool folderOpen_ = false;
  uint16_t folderType_ = 0;
  uint32_t folderUncompressed_ = 0;
  uint32_t folderStart_ = 0;
  uint32_t folderBlocks_ = 0;
  BlockEncoder* encoder_ = nullptr;
  uint16_t encoderType_ = 0;

  uint8_t* block_ = nullptr;  // kBlockMax bytes waiting for the encoder
  uint32_t blockFill_ = 0;
  uint8_t* out_ = nullptr;  // one CFDATA: header, reserve, payload
  bool needNext_ = false;
  uint32_t previousSize_ = 0;
};

}  // namespace tw::cab
