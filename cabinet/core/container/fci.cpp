#include "cabinet/core/container/fci.h"

#include <cstring>
#include <new>

#include "cabinet/core/container/codecs.h"
#include "cabinet/core/container/format.h"

namespace tw::cab {
namespace {

constexpr uint32_t kOutBytes = kDataSize + kDataReserveMax + kCompressedBlockMax;
// Uncompressed bytes one folder can address: 65535 blocks of 32 KB.
constexpr uint64_t kFolderBytesMax = uint64_t{kFolderBlocksMax} * kBlockMax;
// What a block may add beyond its input in the estimate of a cabinet's
// size: the CFDATA header and the codecs' own block headers.
constexpr uint32_t kBlockOverhead = kDataSize + 32;
constexpr uint32_t kCabinetMax = 0x7FFFFFFF;

size_t textLength(const char* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

// Grows an array allocated through the host to hold at least `need` items.
template <typename T>
bool reserve(FciHost& host, T*& items, uint32_t used, uint32_t& capacity, uint32_t need) {
  if (need <= capacity) return true;
  uint32_t grown = capacity ? capacity : 64;
  while (grown < need) grown *= 2;
  T* bigger = static_cast<T*>(host.alloc(grown * static_cast<uint32_t>(sizeof(T))));
  if (!bigger) return false;
  if (items) {
    std::memcpy(bigger, items, used * sizeof(T));
    host.release(items);
  }
  items = bigger;
  capacity = grown;
  return true;
}

}  // namespace

FciWriter::FciWriter(FciHost& host, const CabinetParams& params)
    : host_(host), params_(params), memory_{codecAlloc, codecRelease, this} {}

void* FciWriter::codecAlloc(void* context, size_t bytes) {
  if (bytes > 0xFFFFFFFFu) return nullptr;
  return static_cast<FciWriter*>(context)->host_.alloc(static_cast<uint32_t>(bytes));
}

void FciWriter::codecRelease(void* context, void* block) {
  if (block) static_cast<FciWriter*>(context)->host_.release(block);
}

FciWriter* FciWriter::create(FciHost& host, const CabinetParams& params, FciFailure& failure) {
  failure = FciFailure{};
  if (params.headerReserve > kHeaderReserveMax || params.folderReserve > kFolderReserveMax ||
      params.dataReserve > kDataReserveMax || params.maxSize == 0) {
    failure.error = FciError::CabinetFile;
    return nullptr;
  }
  void* place = host.alloc(sizeof(FciWriter));
  if (!place) {
    failure.error = FciError::AllocFail;
    return nullptr;
  }
  FciWriter* writer = new (place) FciWriter(host, params);
  writer->block_ = static_cast<uint8_t*>(host.alloc(kBlockMax));
  writer->out_ = static_cast<uint8_t*>(host.alloc(kOutBytes));
  if (!writer->block_ || !writer->out_) {
    writer->destroy();
    failure.error = FciError::AllocFail;
    return nullptr;
  }
  return writer;
}

void FciWriter::destroy() {
  if (dataFile_ != -1) {
    int error = 0;
    host_.close(dataFile_, &error);
    host_.remove(dataName_, &error);
  }
  if (encoder_) encoder_->destroy();
  if (folders_) host_.release(folders_);
  if (fileTable_) host_.release(fileTable_);
  if (block_) host_.release(block_);
  if (out_) host_.release(out_);
  FciHost& host = host_;
  this->~FciWriter();
  host.release(this);
}

bool FciWriter::fail(FciError error, int systemError) {
  failure_.error = error;
  failure_.systemError = systemError;
  return false;
}

bool FciWriter::writeAll(intptr_t file, const void* bytes, uint32_t size) {
  int error = 0;
  if (size == 0) return true;
  uint32_t done = host_.write(file, bytes, size, &error);
  if (done != size) return fail(FciError::CabinetFile, error);
  return true;
}

bool FciWriter::openDataFile() {
  if (dataFile_ != -1) return true;
  if (!host_.tempFileName(dataName_, sizeof dataName_)) return fail(FciError::TempFile);
  dataName_[sizeof dataName_ - 1] = 0;
  int error = 0;
  dataFile_ = host_.open(dataName_, kOpenReadWrite | kOpenCreate | kOpenExclusive | kOpenBinary,
                         kPermissionRead | kPermissionWrite, &error);
  if (dataFile_ == -1) return fail(FciError::TempFile, error);
  return true;
}

bool FciWriter::openFolder(uint16_t type) {
  if (encoder_ && encoderType_ != type) {
    encoder_->destroy();
    encoder_ = nullptr;
  }
  if (encoder_) {
    encoder_->reset();
  } else {
    encoder_ = createEncoder(memory_, type);
    if (!encoder_) return fail(FciError::AllocFail);
    encoderType_ = type;
  }
  if (!openDataFile()) return false;
  folderOpen_ = true;
  folderType_ = type;
  folderUncompressed_ = 0;
  folderStart_ = dataBytes_;
  folderBlocks_ = 0;
  blockFill_ = 0;
  return true;
}

bool FciWriter::emitBlock(bool lastInFolder) {
  const uint32_t reserve = params_.dataReserve;
  uint8_t* payload = out_ + kDataSize + reserve;
  size_t size = encoder_->encode(block_, blockFill_, payload, lastInFolder);
  if (size == 0 || size > kCompressedBlockMax) return fail(FciError::CompressorFail);
  uint32_t record = static_cast<uint32_t>(kDataSize + reserve + size);
  if (uint64_t{dataBytes_} + record > kCabinetMax) return fail(FciError::CabinetFile);
  std::memset(out_ + kDataSize, 0, reserve);
  put16(out_ + kDataCbData, static_cast<uint16_t>(size));
  put16(out_ + kDataCbUncomp, static_cast<uint16_t>(blockFill_));
  put32(out_ + kDataCsum, dataChecksum(out_, payload, size));
  int error = 0;
  if (host_.write(dataFile_, out_, record, &error) != record) return fail(FciError::TempFile, error);
  dataBytes_ += record;
  ++folderBlocks_;
  uint32_t uncompressed = blockFill_;
  blockFill_ = 0;
  if (host_.status(kStatusFile, static_cast<uint32_t>(size), uncompressed) == -1)
    return fail(FciError::UserAbort);
  return true;
}

bool FciWriter::readSource(intptr_t source, uint32_t size) {
  // Bytes that went into the folder count even when the file fails, so the
  // offsets of the files after it stay right.
  uint32_t left = size;
  while (left > 0) {
    if (blockFill_ == kBlockMax && !emitBlock(false)) return false;
    uint32_t room = static_cast<uint32_t>(kBlockMax) - blockFill_;
    uint32_t want = left < room ? left : room;
    int error = 0;
    uint32_t got = host_.read(source, block_ + blockFill_, want, &error);
    if (got == kTransferFailed || got == 0 || got > want) return fail(FciError::ReadSource, error);
    blockFill_ += got;
    folderUncompressed_ += got;
    left -= got;
  }
  return true;
}

bool FciWriter::recordFile(const char* name, uint32_t start, uint32_t size, uint16_t date, uint16_t time,
                           uint16_t attributes) {
  uint32_t length = static_cast<uint32_t>(textLength(name)) + 1;
  if (!reserve(host_, fileTable_, fileTableBytes_, fileTableCapacity_,
               fileTableBytes_ + static_cast<uint32_t>(kFileSize) + length))
    return fail(FciError::AllocFail);
  uint8_t* entry = fileTable_ + fileTableBytes_;
  put32(entry + kFileCbFile, size);
  put32(entry + kFileUoffFolderStart, start);
  put16(entry + kFileIFolder, static_cast<uint16_t>(folderCount_));
  put16(entry + kFileDate, date);
  put16(entry + kFileTime, time);
  put16(entry + kFileAttribs, attributes);
  std::memcpy(entry + kFileSize, name, length);
  fileTableBytes_ += static_cast<uint32_t>(kFileSize) + length;
  ++fileCount_;
  return true;
}

uint64_t FciWriter::cabinetEstimate() const {
  uint64_t header = kHdrSize;
  if (params_.headerReserve || params_.folderReserve || params_.dataReserve)
    header += kHdrReserveFieldsSize + params_.headerReserve;
  uint64_t folders = uint64_t{folderCount_ + (folderOpen_ ? 1u : 0u)} * (kFolSize + params_.folderReserve);
  uint64_t pending = blockFill_ ? blockFill_ + kBlockOverhead + params_.dataReserve : 0;
  return header + folders + fileTableBytes_ + dataBytes_ + pending;
}

bool FciWriter::startNextCabinet() {
  ++params_.cabinetIndex;
  needNext_ = false;
  if (!host_.nextCabinet(params_, previousSize_)) return fail(FciError::UserAbort);
  return true;
}

bool FciWriter::addFile(const char* source, const char* name, bool execute, uint16_t type) {
  failure_ = FciFailure{};
  size_t nameLength = textLength(name);
  if (nameLength == 0 || nameLength >= kNameMax) return fail(FciError::OpenSource);
  if (!encoderAvailable(type)) return fail(FciError::BadCompressionType);
  if (needNext_ && !startNextCabinet()) return false;

  uint16_t date = 0, time = 0, attributes = 0;
  int error = 0;
  intptr_t file = host_.openSource(source, &date, &time, &attributes, &error);
  if (file == -1) return fail(FciError::OpenSource, error);
  int32_t end = host_.seek(file, 0, kSeekEnd, &error);
  if (end < 0 || host_.seek(file, 0, kSeekSet, &error) != 0) {
    host_.close(file, &error);
    return fail(FciError::ReadSource, error);
  }
  uint32_t size = static_cast<uint32_t>(end);
  if (execute) attributes |= kAttribExecute;

  bool ok = true;
  // A new folder for another type, past the threshold, or when this file's
  // bytes would not be addressable in the current one.
  if (folderOpen_ && (type != folderType_ || dataBytes_ - folderStart_ >= params_.folderThreshold ||
                      uint64_t{folderUncompressed_} + size > kFolderBytesMax))
    ok = flushFolder();
  // A new cabinet when this one has no room left for the file's entry or
  // for its data as they could come out at worst.
  uint64_t need = kFileSize + nameLength + 1 + uint64_t{size} +
                  (uint64_t{size} / kBlockMax + 1) * (kBlockOverhead + params_.dataReserve) +
                  (folderOpen_ ? 0 : kFolSize + params_.folderReserve);
  if (ok && fileCount_ > 0 &&
      (fileCount_ >= 0xFFFF || folderCount_ >= 0xFFFE || cabinetEstimate() + need > params_.maxSize))
    ok = flushCabinet(true);
  if (ok && (uint64_t{size} > kFolderBytesMax || cabinetEstimate() + need > params_.maxSize))
    ok = fail(FciError::CabinetFile);  // no cabinet of the allowed size holds this file
  if (ok && !folderOpen_) ok = openFolder(type);
  const uint32_t start = folderUncompressed_;
  if (ok) ok = readSource(file, size);
  int closeError = 0;
  if (host_.close(file, &closeError) != 0 && ok) ok = fail(FciError::ReadSource, closeError);
  if (!ok) return false;
  if (!recordFile(name, start, size, date, time, attributes)) return false;
  if (host_.filePlaced(params_, name, size, false) == -1) return fail(FciError::UserAbort);
  return true;
}

bool FciWriter::flushFolder() {
  if (!folderOpen_) return true;
  if (blockFill_ > 0 && !emitBlock(true)) return false;
  if (!reserve(host_, folders_, folderCount_, folderCapacity_, folderCount_ + 1))
    return fail(FciError::AllocFail);
  uint32_t bytes = dataBytes_ - folderStart_;
  folders_[folderCount_++] =
      FolderRecord{folderStart_, bytes, static_cast<uint16_t>(folderBlocks_), folderType_};
  folderOpen_ = false;
  if (host_.status(kStatusFolder, bytes, bytes) == -1) return fail(FciError::UserAbort);
  return true;
}

bool FciWriter::flushCabinet(bool getNext) {
  failure_ = FciFailure{};
  if (!flushFolder()) return false;
  if (fileCount_ == 0) return true;  // nothing to write, no next cabinet
  if (!writeCabinet()) return false;
  if (getNext) return startNextCabinet();
  needNext_ = true;
  return true;
}

bool FciWriter::writeCabinet() {
  const bool reservePresent = params_.headerReserve || params_.folderReserve || params_.dataReserve;
  const uint32_t headerSize =
      static_cast<uint32_t>(kHdrSize + (reservePresent ? kHdrReserveFieldsSize + params_.headerReserve : 0));
  const uint32_t folderEntry = static_cast<uint32_t>(kFolSize) + params_.folderReserve;
  const uint32_t tableSize = headerSize + folderCount_ * folderEntry;
  const uint64_t total = uint64_t{tableSize} + fileTableBytes_ + dataBytes_;
  if (total > kCabinetMax) return fail(FciError::CabinetFile);

  uint8_t* table = static_cast<uint8_t*>(host_.alloc(tableSize));
  if (!table) return fail(FciError::AllocFail);
  std::memset(table, 0, tableSize);
  std::memcpy(table + kHdrSignature, "MSCF", 4);
  put32(table + kHdrCbCabinet, static_cast<uint32_t>(total));
  put32(table + kHdrCoffFiles, tableSize);
  table[kHdrVersionMinor] = kVersionMinor;
  table[kHdrVersionMajor] = kVersionMajor;
  put16(table + kHdrCFolders, static_cast<uint16_t>(folderCount_));
  put16(table + kHdrCFiles, static_cast<uint16_t>(fileCount_));
  put16(table + kHdrFlags, reservePresent ? kFlagReservePresent : 0);
  put16(table + kHdrSetId, params_.setId);
  put16(table + kHdrICabinet, static_cast<uint16_t>(params_.cabinetIndex));
  if (reservePresent) {
    put16(table + kHdrCbCFHeader, static_cast<uint16_t>(params_.headerReserve));
    table[kHdrCbCFFolder] = static_cast<uint8_t>(params_.folderReserve);
    table[kHdrCbCFData] = static_cast<uint8_t>(params_.dataReserve);
  }
  const uint32_t dataStart = tableSize + fileTableBytes_;
  for (uint32_t i = 0; i < folderCount_; ++i) {
    uint8_t* entry = table + headerSize + i * folderEntry;
    put32(entry + kFolCoffCabStart, dataStart + folders_[i].dataOffset);
    put16(entry + kFolCCFData, folders_[i].blocks);
    put16(entry + kFolTypeCompress, folders_[i].type);
  }

  char path[2 * kNameMax];
  size_t folderLength = textLength(params_.path), nameLength = textLength(params_.name);
  if (folderLength + nameLength + 1 > sizeof path) {
    host_.release(table);
    return fail(FciError::CabinetFile);
  }
  std::memcpy(path, params_.path, folderLength);
  std::memcpy(path + folderLength, params_.name, nameLength + 1);
  int error = 0;
  intptr_t cabinet = host_.open(path, kOpenReadWrite | kOpenCreate | kOpenTruncate | kOpenBinary,
                                kPermissionRead | kPermissionWrite, &error);
  if (cabinet == -1) {
    host_.release(table);
    return fail(FciError::CabinetFile, error);
  }
  bool ok = writeAll(cabinet, table, tableSize) && writeAll(cabinet, fileTable_, fileTableBytes_);
  host_.release(table);
  if (ok && dataBytes_ > 0) {
    if (host_.seek(dataFile_, 0, kSeekSet, &error) != 0) ok = fail(FciError::TempFile, error);
    for (uint32_t left = dataBytes_; ok && left > 0;) {
      uint32_t chunk = left < kOutBytes ? left : kOutBytes;
      uint32_t got = host_.read(dataFile_, out_, chunk, &error);
      if (got != chunk) {
        ok = fail(FciError::TempFile, error);
        break;
      }
      ok = writeAll(cabinet, out_, chunk);
      left -= chunk;
    }
  }
  if (ok && host_.status(kStatusCabinet, static_cast<uint32_t>(total), static_cast<uint32_t>(total)) == -1)
    ok = fail(FciError::UserAbort);
  int closeError = 0;
  if (host_.close(cabinet, &closeError) != 0 && ok) ok = fail(FciError::CabinetFile, closeError);
  if (!ok) return false;

  // The temporary file is used again from its start for the next cabinet.
  previousSize_ = static_cast<uint32_t>(total);
  dataBytes_ = 0;
  folderCount_ = 0;
  fileCount_ = 0;
  fileTableBytes_ = 0;
  if (dataFile_ != -1 && host_.seek(dataFile_, 0, kSeekSet, &error) != 0) return fail(FciError::TempFile, error);
  return true;
}

}  // namespace tw::cab
