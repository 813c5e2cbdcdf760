// Reader and writer of 32-bit Windows resource files (.RES).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A resource type or name: a 16-bit ordinal or a UTF-16 string.
struct ResId {
  uint16_t ordinal = 0;  // meaningful only while name is empty
  std::u16string name;   // never contains a zero code unit

  static ResId fromOrdinal(uint16_t value) {
    ResId id;
    id.ordinal = value;
    return id;
  }
  static ResId fromName(std::u16string value) {
    ResId id;
    id.name = std::move(value);
    return id;
  }
  bool isOrdinal() const { return name.empty(); }
  bool operator==(const ResId& other) const {
    return isOrdinal() == other.isOrdinal() &&
           (isOrdinal() ? ordinal == other.ordinal : name == other.name);
  }
  bool operator!=(const ResId& other) const { return !(*this == other); }
};

// Ordinal resource types the system writes.
constexpr uint16_t kResTypeBitmap = 2;
constexpr uint16_t kResTypeIcon = 3;
constexpr uint16_t kResTypeDialog = 5;
constexpr uint16_t kResTypeString = 6;
constexpr uint16_t kResTypeGroupIcon = 14;
constexpr uint16_t kResTypeVersion = 16;

// Memory flags: moveable | pure, plus discardable for everything but bitmaps.
constexpr uint16_t kResFlagsMoveablePure = 0x0030;
constexpr uint16_t kResFlagsDiscardable = 0x1030;

// The memory flags the builder gives a resource of an ordinal type.
inline uint16_t resMemoryFlagsFor(uint16_t type) {
  return type == kResTypeBitmap ? kResFlagsMoveablePure : kResFlagsDiscardable;
}

// Everything of an entry but its data.
struct ResHeader {
  ResId type;
  ResId name;
  uint32_t dataVersion = 0;
  uint16_t memoryFlags = kResFlagsDiscardable;
  uint16_t language = 0;
  uint32_t version = 0;
  uint32_t characteristics = 0;
};

struct ResEntry : ResHeader {
  std::vector<uint8_t> data;
};

// The header the builder writes: ordinal type and name, language 0, and the
// memory flags of the type.
inline ResHeader resOrdinalHeader(uint16_t type, uint16_t name) {
  ResHeader header;
  header.type = ResId::fromOrdinal(type);
  header.name = ResId::fromOrdinal(name);
  header.memoryFlags = resMemoryFlagsFor(type);
  return header;
}

// Faults of a resource file, shared by the reader and the writer.
enum class ResError {
  kOk,
  kNoEmptyEntry,      // the file does not start with the empty entry
  kHeaderPastEnd,     // an entry header reaches beyond the end of the file
  kHeaderSize,        // header size disagrees with the fields it holds
  kNameUnterminated,  // type or name string has no terminator in its header
  kBadName,           // type or name is ordinal 0, an empty string, or a
                      // string that holds a zero or starts with 0xFFFF
  kDataPastEnd,       // data size reaches beyond the end of the file
  kTooLarge,          // writer: a size does not fit its 32-bit field
};

// A short English description of the fault, for messages.
const char* resErrorText(ResError error);

// Layout of the fixed fields around the type and name.
constexpr size_t kResPrefixSize = 8;    // data size, header size
constexpr size_t kResTrailerSize = 16;  // data version .. characteristics
constexpr size_t kResEmptyEntrySize = 32;

// Parses a whole file. The leading empty entry is checked and not returned;
// later empty entries (files joined end to end) are skipped. On failure
// entries holds the entries before the faulty one.
[[nodiscard]] ResError readResFile(const uint8_t* bytes, size_t size,
                                   std::vector<ResEntry>& entries);

// The empty entry every resource file starts with.
std::vector<uint8_t> resEmptyEntry();

// Appends to out, which already holds out.size() bytes of the file, the zero
// gap up to the next multiple of 4 and the header of an entry of dataSize
// bytes. The data follow unpadded; the next header's gap aligns them.
[[nodiscard]] ResError appendResHeader(std::vector<uint8_t>& out,
                                       const ResHeader& header,
                                       uint64_t dataSize);

// The same gap and header as bytes of their own, for a writer that streams
// to a file whose next byte is at position pos.
[[nodiscard]] ResError resHeaderBytes(uint64_t pos, const ResHeader& header,
                                      uint64_t dataSize,
                                      std::vector<uint8_t>& bytes);

// A whole file: the empty entry, then every entry; its size ends aligned.
[[nodiscard]] ResError writeResFile(const std::vector<ResEntry>& entries,
                                    std::vector<uint8_t>& out);
