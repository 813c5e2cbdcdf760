// Reader and writer of 32-bit Windows resource files (.RES).
#include "common/res_file.h"

namespace {

// An id field starting with this code unit holds an ordinal in the next unit.
constexpr uint16_t kOrdinalMarker = 0xFFFF;
constexpr size_t kAlign = 4;

// Header field offsets, from the start of the entry.
constexpr size_t kOffDataSize = 0;
constexpr size_t kOffHeaderSize = 4;
constexpr size_t kOffIds = 8;
// Trailer field offsets, from the end of the padded type and name.
constexpr size_t kOffDataVersion = 0;
constexpr size_t kOffMemoryFlags = 4;
constexpr size_t kOffLanguage = 6;
constexpr size_t kOffVersion = 8;
constexpr size_t kOffCharacteristics = 12;

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
         uint32_t(p[3]) << 24;
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, uint16_t(v));
  put16(out, uint16_t(v >> 16));
}

size_t padTo4(size_t n) { return (kAlign - n % kAlign) % kAlign; }

// Reads an id at bytes[pos] that must end before bytes[end]; pos moves past it.
ResError readId(const uint8_t* bytes, size_t& pos, size_t end, ResId& id) {
  if (end - pos < 2) return ResError::kHeaderSize;
  if (get16(bytes + pos) == kOrdinalMarker) {
    if (end - pos < 4) return ResError::kHeaderSize;
    id = ResId::fromOrdinal(get16(bytes + pos + 2));
    pos += 4;
    return ResError::kOk;
  }
  std::u16string name;
  for (;;) {
    if (end - pos < 2) return ResError::kNameUnterminated;
    uint16_t unit = get16(bytes + pos);
    pos += 2;
    if (unit == 0) break;
    name.push_back(char16_t(unit));
  }
  if (name.empty()) return ResError::kBadName;
  id = ResId::fromName(std::move(name));
  return ResError::kOk;
}

bool isUsableId(const ResId& id) {
  if (id.isOrdinal()) return id.ordinal != 0;
  if (id.name[0] == char16_t(kOrdinalMarker)) return false;
  return id.name.find(char16_t(0)) == std::u16string::npos;
}

size_t idSize(const ResId& id) {
  return id.isOrdinal() ? 4 : 2 * (id.name.size() + 1);
}

void putId(std::vector<uint8_t>& out, const ResId& id) {
  if (id.isOrdinal()) {
    put16(out, kOrdinalMarker);
    put16(out, id.ordinal);
    return;
  }
  for (char16_t unit : id.name) put16(out, uint16_t(unit));
  put16(out, 0);
}

// The empty entry: size 0, header 32, type and name ordinal 0.
bool isEmptyEntry(const uint8_t* p) {
  return get32(p + kOffDataSize) == 0 &&
         get32(p + kOffHeaderSize) == kResEmptyEntrySize &&
         get16(p + kOffIds) == kOrdinalMarker && get16(p + kOffIds + 2) == 0 &&
         get16(p + kOffIds + 4) == kOrdinalMarker && get16(p + kOffIds + 6) == 0;
}

}  // namespace

const char* resErrorText(ResError error) {
  switch (error) {
    case ResError::kOk: return "no error";
    case ResError::kNoEmptyEntry: return "not a 32-bit resource file";
    case ResError::kHeaderPastEnd: return "entry header cut off by the end of the file";
    case ResError::kHeaderSize: return "entry header size does not match its fields";
    case ResError::kNameUnterminated: return "resource type or name not terminated";
    case ResError::kBadName: return "invalid resource type or name";
    case ResError::kDataPastEnd: return "resource data cut off by the end of the file";
    case ResError::kTooLarge: return "resource too large";
  }
  return "unknown error";
}

ResError readResFile(const uint8_t* bytes, size_t size,
                     std::vector<ResEntry>& entries) {
  entries.clear();
  if (size < kResEmptyEntrySize || !isEmptyEntry(bytes))
    return ResError::kNoEmptyEntry;
  // Every entry starts at a multiple of 4, so offsets below stay aligned and
  // every subtraction is of a smaller offset from a larger one.
  size_t pos = kResEmptyEntrySize;
  while (pos < size) {
    if (size - pos < kResPrefixSize) return ResError::kHeaderPastEnd;
    const uint32_t dataSize = get32(bytes + pos + kOffDataSize);
    const uint32_t headerSize = get32(bytes + pos + kOffHeaderSize);
    if (headerSize < kResEmptyEntrySize || headerSize % kAlign != 0)
      return ResError::kHeaderSize;
    if (headerSize > size - pos) return ResError::kHeaderPastEnd;

    const size_t trailer = pos + headerSize - kResTrailerSize;
    size_t cursor = pos + kOffIds;
    ResEntry entry;
    ResError error = readId(bytes, cursor, trailer, entry.type);
    if (error == ResError::kOk) error = readId(bytes, cursor, trailer, entry.name);
    if (error != ResError::kOk) return error;
    if (cursor + padTo4(cursor) != trailer) return ResError::kHeaderSize;
    const size_t dataPos = pos + headerSize;
    if (dataSize > size - dataPos) return ResError::kDataPastEnd;
    const size_t end = dataPos + dataSize;
    // The last entry's padding may be missing: its writer aligned before
    // each entry rather than after each one.
    const size_t pad = padTo4(end);
    const size_t next = pad > size - end ? size : end + pad;

    // Another empty entry: files joined end to end read as one.
    if (headerSize == kResEmptyEntrySize && isEmptyEntry(bytes + pos)) {
      pos = next;
      continue;
    }
    if (!isUsableId(entry.type) || !isUsableId(entry.name)) return ResError::kBadName;

    const uint8_t* t = bytes + trailer;
    entry.dataVersion = get32(t + kOffDataVersion);
    entry.memoryFlags = get16(t + kOffMemoryFlags);
    entry.language = get16(t + kOffLanguage);
    entry.version = get32(t + kOffVersion);
    entry.characteristics = get32(t + kOffCharacteristics);

    entry.data.assign(bytes + dataPos, bytes + end);
    entries.push_back(std::move(entry));
    pos = next;
  }
  return ResError::kOk;
}

std::vector<uint8_t> resEmptyEntry() {
  std::vector<uint8_t> out;
  put32(out, 0);
  put32(out, kResEmptyEntrySize);
  put16(out, kOrdinalMarker);
  put16(out, 0);
  put16(out, kOrdinalMarker);
  put16(out, 0);
  out.resize(kResEmptyEntrySize, 0);
  return out;
}

ResError resHeaderBytes(uint64_t pos, const ResHeader& header,
                        uint64_t dataSize, std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (!isUsableId(header.type) || !isUsableId(header.name)) return ResError::kBadName;
  const size_t ids = idSize(header.type) + idSize(header.name);
  const uint64_t headerSize =
      uint64_t(kResPrefixSize) + ids + padTo4(ids) + kResTrailerSize;
  if (dataSize > UINT32_MAX || headerSize > UINT32_MAX) return ResError::kTooLarge;

  bytes.assign(size_t((kAlign - pos % kAlign) % kAlign), 0);
  put32(bytes, uint32_t(dataSize));
  put32(bytes, uint32_t(headerSize));
  putId(bytes, header.type);
  putId(bytes, header.name);
  bytes.resize(bytes.size() + padTo4(ids), 0);
  put32(bytes, header.dataVersion);
  put16(bytes, header.memoryFlags);
  put16(bytes, header.language);
  put32(bytes, header.version);
  put32(bytes, header.characteristics);
  return ResError::kOk;
}

ResError appendResHeader(std::vector<uint8_t>& out, const ResHeader& header,
                         uint64_t dataSize) {
  std::vector<uint8_t> bytes;
  ResError error = resHeaderBytes(out.size(), header, dataSize, bytes);
  if (error == ResError::kOk) out.insert(out.end(), bytes.begin(), bytes.end());
  return error;
}

ResError writeResFile(const std::vector<ResEntry>& entries,
                      std::vector<uint8_t>& out) {
  out = resEmptyEntry();
  for (const ResEntry& entry : entries) {
    ResError error = appendResHeader(out, entry, entry.data.size());
    if (error != ResError::kOk) return error;
    out.insert(out.end(), entry.data.begin(), entry.data.end());
  }
  out.resize(out.size() + padTo4(out.size()), 0);
  return ResError::kOk;
}
