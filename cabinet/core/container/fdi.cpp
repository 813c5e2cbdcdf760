#include "cabinet/core/container/fdi.h"

#include <cstring>
#include <new>

#include "cabinet/core/container/codecs.h"
#include "cabinet/core/container/format.h"

namespace tw::cab {
namespace {

constexpr uint32_t kInBytes = kDataSize + kDataReserveMax + kCompressedBlockMax;

size_t textLength(const char* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

}  // namespace

FdiReader::FdiReader(FdiHost& host) : host_(host), memory_{codecAlloc, codecRelease, this} {}

void* FdiReader::codecAlloc(void* context, size_t bytes) {
  if (bytes > 0xFFFFFFFFu) return nullptr;
  return static_cast<FdiReader*>(context)->host_.alloc(static_cast<uint32_t>(bytes));
}

void FdiReader::codecRelease(void* context, void* block) {
  if (block) static_cast<FdiReader*>(context)->host_.release(block);
}

FdiReader* FdiReader::create(FdiHost& host, FdiFailure& failure) {
  failure = FdiFailure{};
  void* place = host.alloc(sizeof(FdiReader));
  if (!place) {
    failure.error = FdiError::AllocFail;
    return nullptr;
  }
  FdiReader* reader = new (place) FdiReader(host);
  reader->in_ = static_cast<uint8_t*>(host.alloc(kInBytes));
  reader->out_ = static_cast<uint8_t*>(host.alloc(kBlockMax));
  if (!reader->in_ || !reader->out_) {
    reader->destroy();
    failure.error = FdiError::AllocFail;
    return nullptr;
  }
  return reader;
}

void FdiReader::destroy() {
  releaseTables();
  if (decoder_) decoder_->destroy();
  if (in_) host_.release(in_);
  if (out_) host_.release(out_);
  FdiHost& host = host_;
  this->~FdiReader();
  host.release(this);
}

void FdiReader::releaseTables() {
  void* tables[] = {headerReserveData_, folderTable_, folders_, fileTable_, files_};
  for (void* table : tables)
    if (table) host_.release(table);
  headerReserveData_ = nullptr;
  folderTable_ = nullptr;
  folders_ = nullptr;
  fileTable_ = nullptr;
  files_ = nullptr;
}

bool FdiReader::fail(FdiError error, int systemError) {
  failure_.error = error;
  failure_.systemError = systemError;
  return false;
}

bool FdiReader::readExact(void* buffer, uint32_t size) {
  if (size == 0) return true;
  int error = 0;
  uint32_t got = host_.read(cabinet_, buffer, size, &error);
  return got == size;
}

bool FdiReader::readAt(uint32_t offset, void* buffer, uint32_t size) {
  int error = 0;
  if (uint64_t{offset} + size > limit_) return false;
  if (host_.seek(cabinet_, static_cast<int32_t>(offset), kSeekSet, &error) != static_cast<int32_t>(offset))
    return false;
  return readExact(buffer, size);
}

bool FdiReader::readName(char (&name)[256]) {
  for (size_t i = 0; i < sizeof name; ++i) {
    uint8_t c = 0;
    if (!readExact(&c, 1)) return false;
    name[i] = static_cast<char>(c);
    if (c == 0) return true;
  }
  return false;
}

bool FdiReader::readHeader(CabinetInfo& info, bool forCopy) {
  if (!readExact(header_, kHdrSize) || std::memcmp(header_ + kHdrSignature, "MSCF", 4) != 0)
    return fail(FdiError::NotACabinet);
  if (header_[kHdrVersionMajor] != kVersionMajor || header_[kHdrVersionMinor] != kVersionMinor)
    return fail(FdiError::UnknownCabinetVersion);
  flags_ = get16(header_ + kHdrFlags);
  info.size = get32(header_ + kHdrCbCabinet);
  info.folders = folderCount_ = get16(header_ + kHdrCFolders);
  info.files = fileCount_ = get16(header_ + kHdrCFiles);
  info.setId = setId_ = get16(header_ + kHdrSetId);
  info.cabinetIndex = cabinetIndex_ = get16(header_ + kHdrICabinet);
  info.reserve = (flags_ & kFlagReservePresent) != 0;
  info.hasPrevious = (flags_ & kFlagPrevCabinet) != 0;
  info.hasNext = (flags_ & kFlagNextCabinet) != 0;
  filesOffset_ = get32(header_ + kHdrCoffFiles);
  headerReserve_ = folderReserve_ = dataReserve_ = 0;
  if (!forCopy) return true;

  if (info.reserve) {
    if (!readExact(header_ + kHdrSize, kHdrReserveFieldsSize)) return fail(FdiError::CorruptCabinet);
    headerReserve_ = get16(header_ + kHdrCbCFHeader);
    folderReserve_ = header_[kHdrCbCFFolder];
    dataReserve_ = header_[kHdrCbCFData];
    if (headerReserve_ > kHeaderReserveMax) return fail(FdiError::CorruptCabinet);
    if (headerReserve_) {
      headerReserveData_ = static_cast<uint8_t*>(host_.alloc(headerReserve_));
      if (!headerReserveData_) return fail(FdiError::AllocFail);
      if (!readExact(headerReserveData_, headerReserve_)) return fail(FdiError::CorruptCabinet);
    }
  }
  previousCabinet_[0] = previousDisk_[0] = nextCabinet_[0] = nextDisk_[0] = 0;
  if (info.hasPrevious && (!readName(previousCabinet_) || !readName(previousDisk_)))
    return fail(FdiError::CorruptCabinet);
  if (info.hasNext && (!readName(nextCabinet_) || !readName(nextDisk_)))
    return fail(FdiError::CorruptCabinet);
  return true;
}

bool FdiReader::isCabinet(intptr_t file, CabinetInfo& info) {
  failure_ = FdiFailure{};
  info = CabinetInfo{};
  cabinet_ = file;
  bool ok = readHeader(info, false);
  cabinet_ = -1;
  return ok;
}

bool FdiReader::copy(const char* cabinet, const char* folder) {
  failure_ = FdiFailure{};
  char path[2 * kNameMax];
  size_t folderLength = textLength(folder), nameLength = textLength(cabinet);
  if (folderLength + nameLength + 1 > sizeof path) return fail(FdiError::CabinetNotFound);
  std::memcpy(path, folder, folderLength);
  std::memcpy(path + folderLength, cabinet, nameLength + 1);
  int error = 0;
  cabinet_ = host_.open(path, kOpenBinary | kOpenReadOnly | kOpenSequential, 0, &error);
  if (cabinet_ == -1) return fail(FdiError::CabinetNotFound, error);
  currentFolder_ = -1;
  bool ok = copyOpen(folder);
  host_.close(cabinet_, &error);
  cabinet_ = -1;
  releaseTables();
  return ok;
}

bool FdiReader::readTables() {
  // CFFOLDER entries follow the header.
  const uint32_t folderEntry = static_cast<uint32_t>(kFolSize) + folderReserve_;
  const uint32_t folderBytes = folderCount_ * folderEntry;
  folderTable_ = static_cast<uint8_t*>(host_.alloc(folderBytes ? folderBytes : 1));
  folders_ = static_cast<Folder*>(host_.alloc((folderCount_ ? folderCount_ : 1) * sizeof(Folder)));
  if (!folderTable_ || !folders_) return fail(FdiError::AllocFail);
  if (!readExact(folderTable_, folderBytes)) return fail(FdiError::CorruptCabinet);
  for (uint32_t i = 0; i < folderCount_; ++i) {
    const uint8_t* entry = folderTable_ + i * folderEntry;
    folders_[i] = Folder{get32(entry + kFolCoffCabStart), get16(entry + kFolCCFData),
                         get16(entry + kFolTypeCompress), 0};
  }

  // CFFILE entries from coffFiles: 16 bytes and a name of at most 256 with
  // its NUL each, all inside the cabinet.
  if (filesOffset_ < kHdrSize || filesOffset_ >= limit_) {
    if (fileCount_ == 0) return true;
    return fail(FdiError::CorruptCabinet);
  }
  uint64_t most = uint64_t{fileCount_} * (kFileSize + kNameMax);
  uint32_t tableBytes = static_cast<uint32_t>(most < limit_ - filesOffset_ ? most : limit_ - filesOffset_);
  fileTable_ = static_cast<uint8_t*>(host_.alloc(tableBytes ? tableBytes : 1));
  files_ = static_cast<FileEntry*>(host_.alloc((fileCount_ ? fileCount_ : 1) * sizeof(FileEntry)));
  if (!fileTable_ || !files_) return fail(FdiError::AllocFail);
  if (!readAt(filesOffset_, fileTable_, tableBytes)) return fail(FdiError::CorruptCabinet);
  uint32_t at = 0;
  for (uint32_t i = 0; i < fileCount_; ++i) {
    if (tableBytes - at <= kFileSize) return fail(FdiError::CorruptCabinet);
    const uint8_t* entry = fileTable_ + at;
    size_t room = tableBytes - at - kFileSize;
    size_t length = boundedNameLength(entry + kFileSize, room < kNameMax ? room : kNameMax);
    if (length == 0) return fail(FdiError::CorruptCabinet);
    files_[i] = FileEntry{get32(entry + kFileCbFile), get32(entry + kFileUoffFolderStart),
                          get16(entry + kFileIFolder), get16(entry + kFileDate),
                          get16(entry + kFileTime), get16(entry + kFileAttribs),
                          reinterpret_cast<const char*>(entry + kFileSize)};
    at += static_cast<uint32_t>(kFileSize + length + 1);
  }
  return true;
}

// Reads the CFDATA at offset into in_ and checks it: sizes within the
// format's limits and the cabinet, 32 KB in every block but a folder's
// last, a stored block's payload as large as its data, and the checksum
// when it is not zero.
bool FdiReader::readBlock(uint32_t offset, uint16_t type, bool last, uint32_t& recordSize) {
  const uint32_t headerSize = static_cast<uint32_t>(kDataSize) + dataReserve_;
  if (!readAt(offset, in_, headerSize)) return fail(FdiError::CorruptCabinet);
  const uint32_t data = get16(in_ + kDataCbData), uncompressed = get16(in_ + kDataCbUncomp);
  if (data == 0 || data > kCompressedBlockMax || uncompressed == 0 || uncompressed > kBlockMax ||
      (!last && uncompressed != kBlockMax) ||
      ((type & kCompressMethodMask) == kCompressNone && data != uncompressed))
    return fail(FdiError::CorruptCabinet);
  if (!readExact(in_ + headerSize, data) || uint64_t{offset} + headerSize + data > limit_)
    return fail(FdiError::CorruptCabinet);
  const uint32_t sum = get32(in_ + kDataCsum);
  if (sum != 0 && sum != dataChecksum(in_, in_ + headerSize, data))
    return fail(FdiError::CorruptCabinet);
  recordSize = headerSize + data;
  return true;
}

bool FdiReader::checkFolders() {
  for (uint32_t i = 0; i < folderCount_; ++i) {
    Folder& folder = folders_[i];
    if (!decoderAvailable(folder.type)) return fail(FdiError::BadCompressionType);
    uint32_t offset = folder.offset;
    for (uint32_t block = 0; block < folder.blocks; ++block) {
      uint32_t record = 0;
      if (!readBlock(offset, folder.type, block + 1 == folder.blocks, record)) return false;
      offset += record;
      folder.uncompressed += get16(in_ + kDataCbUncomp);
    }
  }
  for (uint32_t i = 0; i < fileCount_; ++i) {
    const FileEntry& file = files_[i];
    if (file.folder == kFolderContinuedFromPrev || file.folder == kFolderContinuedPrevAndNext) continue;
    // A file whose data go on in the next cabinet of a set is not read.
    if (file.folder >= folderCount_) return fail(FdiError::CorruptCabinet);
    if (uint64_t{file.start} + file.size > folders_[file.folder].uncompressed)
      return fail(FdiError::CorruptCabinet);
  }
  return true;
}

bool FdiReader::copyOpen(const char* folderPath) {
  int error = 0;
  int32_t size = host_.seek(cabinet_, 0, kSeekEnd, &error);
  if (size < 0 || host_.seek(cabinet_, 0, kSeekSet, &error) != 0) return fail(FdiError::CorruptCabinet);
  limit_ = static_cast<uint32_t>(size);
  CabinetInfo info;
  if (!readHeader(info, true)) return false;
  if (info.size < kHdrSize || info.size > limit_) return fail(FdiError::CorruptCabinet);
  limit_ = info.size;
  if (!readTables()) return false;

  FdiNote note;
  note.text1 = nextCabinet_;
  note.text2 = nextDisk_;
  note.text3 = folderPath;
  note.setId = setId_;
  note.cabinetIndex = cabinetIndex_;
  if (host_.notify(FdiEvent::CabinetInfo, note) == -1) return fail(FdiError::UserAbort);
  if (host_.wantsDecrypt()) {
    DecryptNote d;
    d.event = DecryptEvent::NewCabinet;
    d.reserve = headerReserveData_;
    d.reserveSize = static_cast<uint16_t>(headerReserve_);
    d.setId = setId_;
    d.index = cabinetIndex_;
    if (host_.decrypt(d) == -1) return fail(FdiError::UserAbort);
  }
  if (!checkFolders()) return false;

  for (uint32_t i = 0; i < fileCount_; ++i) {
    const FileEntry& file = files_[i];
    FdiNote n;
    n.text1 = file.name;
    n.setId = setId_;
    n.cabinetIndex = cabinetIndex_;
    n.folderIndex = file.folder;
    if (file.folder == kFolderContinuedFromPrev || file.folder == kFolderContinuedPrevAndNext) {
      n.text2 = previousCabinet_;
      n.text3 = previousDisk_;
      if (host_.notify(FdiEvent::PartialFile, n) == -1) return fail(FdiError::UserAbort);
      continue;
    }
    n.size = static_cast<int32_t>(file.size);
    n.date = file.date;
    n.time = file.time;
    n.attributes = file.attributes;
    intptr_t target = host_.notify(FdiEvent::CopyFile, n);
    if (target == -1) return fail(FdiError::UserAbort);
    if (target == 0) continue;
    if (!extractTo(target, file)) {
      host_.close(target, &error);
      return false;
    }
    FdiNote done;
    done.text1 = file.name;
    done.file = target;
    done.date = file.date;
    done.time = file.time;
    done.attributes = static_cast<uint16_t>(file.attributes & ~kAttribExecute);
    done.size = (file.attributes & kAttribExecute) ? 1 : 0;
    done.setId = setId_;
    done.cabinetIndex = cabinetIndex_;
    done.folderIndex = file.folder;
    intptr_t closed = host_.notify(FdiEvent::CloseFileInfo, done);
    if (closed == 0 || closed == -1) return fail(FdiError::TargetFile);
  }
  return true;
}

bool FdiReader::startFolder(uint16_t index) {
  const Folder& folder = folders_[index];
  if (decoder_ && decoderType_ != folder.type) {
    decoder_->destroy();
    decoder_ = nullptr;
  }
  if (decoder_) {
    decoder_->reset();
  } else {
    decoder_ = createDecoder(memory_, folder.type);
    if (!decoder_) return fail(FdiError::AllocFail);
    decoderType_ = folder.type;
  }
  currentFolder_ = index;
  blockOffset_ = folder.offset;
  blocksLeft_ = folder.blocks;
  outStart_ = 0;
  outSize_ = 0;
  if (host_.wantsDecrypt()) {
    DecryptNote d;
    d.event = DecryptEvent::NewFolder;
    d.reserve = folderReserve_ ? folderTable_ + index * (kFolSize + folderReserve_) + kFolSize : nullptr;
    d.reserveSize = static_cast<uint16_t>(folderReserve_);
    d.index = index;
    if (host_.decrypt(d) == -1) return fail(FdiError::UserAbort);
  }
  return true;
}

bool FdiReader::nextBlock() {
  if (blocksLeft_ == 0) return fail(FdiError::CorruptCabinet);
  const Folder& folder = folders_[currentFolder_];
  uint32_t record = 0;
  if (!readBlock(blockOffset_, folder.type, blocksLeft_ == 1, record)) return false;
  const uint16_t data = get16(in_ + kDataCbData), uncompressed = get16(in_ + kDataCbUncomp);
  uint8_t* payload = in_ + kDataSize + dataReserve_;
  if (host_.wantsDecrypt()) {
    DecryptNote d;
    d.event = DecryptEvent::DataBlock;
    d.reserve = dataReserve_ ? in_ + kDataSize : nullptr;
    d.reserveSize = static_cast<uint16_t>(dataReserve_);
    d.data = payload;
    d.dataSize = data;
    if (host_.decrypt(d) == -1) return fail(FdiError::UserAbort);
  }
  if (!decoder_->decode(payload, data, out_, uncompressed)) return fail(FdiError::CorruptCabinet);
  outStart_ += outSize_;
  outSize_ = uncompressed;
  blockOffset_ += record;
  --blocksLeft_;
  return true;
}

bool FdiReader::extractTo(intptr_t target, const FileEntry& file) {
  if (file.size == 0) return true;
  if (currentFolder_ != file.folder || outStart_ > file.start) {
    if (!startFolder(file.folder)) return false;
  }
  uint64_t at = file.start, end = uint64_t{file.start} + file.size;
  while (at < end) {
    if (at >= outStart_ + outSize_) {
      if (!nextBlock()) return false;
      continue;
    }
    uint32_t from = static_cast<uint32_t>(at - outStart_);
    uint64_t available = outSize_ - from;
    uint32_t n = static_cast<uint32_t>(end - at < available ? end - at : available);
    int error = 0;
    if (host_.write(target, out_ + from, n, &error) != n) return fail(FdiError::TargetFile, error);
    at += n;
  }
  return true;
}

}  // namespace tw::cab
