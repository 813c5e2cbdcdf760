// Reading and rebuilding the resource section of a PE32 module.
#include "common/pe_resources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

namespace tw {
namespace {

constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDirectoryResources = 2;
constexpr size_t kDirectorySecurity = 4;
constexpr size_t kDirectoryRelocations = 5;
constexpr size_t kDirectoryDebug = 6;
constexpr uint32_t kSectionInitialisedReadable = 0x40000040;
constexpr uint32_t kSectionDiscardable = 0x02000000;

uint16_t get16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint64_t alignUp(uint64_t v, uint64_t a) { return a ? (v + a - 1) / a * a : v; }

struct Section {
  size_t header;  // offset of its header in the file
  char name[9];
  uint32_t virtualSize, virtualAddress, rawSize, rawPointer;
};

// How far a section reaches in memory, as the loader takes it.
uint32_t extent(const Section& s) { return s.virtualSize ? s.virtualSize : s.rawSize; }

struct Layout {
  size_t optional = 0;  // offset of the optional header
  size_t sectionTable = 0;
  uint32_t directoryCount = 0;
  uint32_t sectionAlignment = 0, fileAlignment = 0, sizeOfHeaders = 0;
  std::vector<Section> sections;
  size_t directory(size_t index) const { return optional + 96 + 8 * index; }
};

PeError parseLayout(const std::vector<uint8_t>& b, Layout& l) {
  if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') return PeError::kNotAModule;
  uint32_t pe = get32(b, 0x3C);
  if (uint64_t(pe) + 24 > b.size()) return PeError::kHeaderPastEnd;
  if (std::memcmp(&b[pe], "PE\0\0", 4) != 0) return PeError::kNotAModule;
  uint16_t count = get16(b, pe + 6);
  uint16_t optionalSize = get16(b, pe + 20);
  l.optional = pe + 24;
  if (l.optional + 96 > b.size() || optionalSize < 96) return PeError::kHeaderPastEnd;
  if (get16(b, l.optional) != 0x10B) return PeError::kNotAModule;
  l.directoryCount = get32(b, l.optional + 92);
  if (l.directoryCount > 16 || 96 + 8 * l.directoryCount > optionalSize) return PeError::kNotAModule;
  l.sectionAlignment = get32(b, l.optional + 32);
  l.fileAlignment = get32(b, l.optional + 36);
  l.sizeOfHeaders = get32(b, l.optional + 60);
  if (!l.sectionAlignment || !l.fileAlignment || l.fileAlignment > l.sectionAlignment) return PeError::kNotAModule;
  l.sectionTable = l.optional + optionalSize;
  if (l.sectionTable + kSectionHeaderSize * count > b.size()) return PeError::kHeaderPastEnd;
  if (l.sectionTable + kSectionHeaderSize * count > l.sizeOfHeaders) return PeError::kHeaderPastEnd;
  for (uint16_t i = 0; i < count; ++i) {
    Section s{};
    s.header = l.sectionTable + kSectionHeaderSize * i;
    std::memcpy(s.name, &b[s.header], 8);
    s.virtualSize = get32(b, s.header + 8);
    s.virtualAddress = get32(b, s.header + 12);
    s.rawSize = get32(b, s.header + 16);
    s.rawPointer = get32(b, s.header + 20);
    if (s.rawSize && (uint64_t(s.rawPointer) + s.rawSize > b.size() || s.rawPointer < l.sizeOfHeaders))
      return PeError::kBadSection;
    // A 32-bit image lies below 2 GB, each section on its alignment.
    if (s.virtualAddress % l.sectionAlignment || uint64_t(s.virtualAddress) + extent(s) > 0x7FFFFFFFu)
      return PeError::kBadSection;
    if (i && s.virtualAddress < alignUp(uint64_t(l.sections.back().virtualAddress) + extent(l.sections.back()),
                                        l.sectionAlignment))
      return PeError::kBadSection;
    l.sections.push_back(s);
  }
  return PeError::kOk;
}

// The section that holds the resource directory (or is named .rsrc), or -1.
int resourceSection(const std::vector<uint8_t>& b, const Layout& l) {
  uint32_t rva = l.directoryCount > kDirectoryResources ? get32(b, l.directory(kDirectoryResources)) : 0;
  for (size_t i = 0; i < l.sections.size(); ++i) {
    const Section& s = l.sections[i];
    if (rva ? (rva >= s.virtualAddress && rva < s.virtualAddress + extent(s))
            : std::strcmp(s.name, ".rsrc") == 0)
      return static_cast<int>(i);
  }
  return -1;
}

// Reads the three-level resource tree of one section.
class TreeReader {
 public:
  TreeReader(const std::vector<uint8_t>& b, const Section& s, uint32_t rootRva)
      : b_(b), s_(s), root_(rootRva - s.virtualAddress) {}

  PeError read(std::vector<ResEntry>& out) { return directory(root_, 0, ResEntry{}, out); }

 private:
  bool inside(uint64_t offset, uint64_t size) const { return offset + size <= s_.rawSize; }
  size_t at(uint64_t offset) const { return s_.rawPointer + static_cast<size_t>(offset); }

  PeError id(uint32_t field, ResId& out) const {
    if (!(field & 0x80000000u)) {
      out = ResId::fromOrdinal(static_cast<uint16_t>(field));
      return PeError::kOk;
    }
    uint32_t offset = field & 0x7FFFFFFFu;
    if (!inside(offset, 2)) return PeError::kBadResourceTree;
    uint16_t length = get16(b_, at(offset));
    if (!length || !inside(uint64_t(offset) + 2, 2ull * length)) return PeError::kBadResourceTree;
    std::u16string name;
    for (uint16_t i = 0; i < length; ++i) name.push_back(static_cast<char16_t>(get16(b_, at(offset + 2 + 2 * i))));
    out = ResId::fromName(std::move(name));
    return PeError::kOk;
  }

  PeError directory(uint32_t offset, int level, ResEntry path, std::vector<ResEntry>& out) {
    if (!inside(offset, 16)) return PeError::kBadResourceTree;
    uint32_t count = uint32_t(get16(b_, at(offset + 12))) + get16(b_, at(offset + 14));
    if (!inside(uint64_t(offset) + 16, 8ull * count)) return PeError::kBadResourceTree;
    for (uint32_t i = 0; i < count; ++i) {
      size_t entry = at(offset + 16 + 8 * i);
      uint32_t nameField = get32(b_, entry), target = get32(b_, entry + 4);
      ResEntry next = path;
      if (level == 2) {
        if (nameField & 0x80000000u) return PeError::kBadResourceTree;
        next.language = static_cast<uint16_t>(nameField);
      } else {
        PeError e = id(nameField, level == 0 ? next.type : next.name);
        if (e != PeError::kOk) return e;
      }
      bool isDirectory = (target & 0x80000000u) != 0;
      if (isDirectory != (level < 2)) return PeError::kBadResourceTree;
      if (isDirectory) {
        PeError e = directory(target & 0x7FFFFFFFu, level + 1, next, out);
        if (e != PeError::kOk) return e;
        continue;
      }
      if (!inside(target, 16)) return PeError::kBadResourceTree;
      uint32_t dataRva = get32(b_, at(target)), size = get32(b_, at(target) + 4);
      if (dataRva < s_.virtualAddress || !inside(uint64_t(dataRva) - s_.virtualAddress, size))
        return PeError::kBadResourceTree;
      const uint8_t* data = &b_[at(dataRva - s_.virtualAddress)];
      next.data.assign(data, data + size);
      next.memoryFlags = ResHeader().memoryFlags;
      out.push_back(std::move(next));
    }
    return PeError::kOk;
  }

  const std::vector<uint8_t>& b_;
  const Section& s_;
  uint32_t root_;
};

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

std::u16string upperName(const std::u16string& s) {
  std::u16string out(s);
  for (auto& c : out) c = upper(c);
  return out;
}

// Directory order: names (compared upper-case) before ordinals (ascending).
struct IdOrder {
  bool operator()(const ResId& a, const ResId& b) const {
    if (a.isOrdinal() != b.isOrdinal()) return !a.isOrdinal();
    if (a.isOrdinal()) return a.ordinal < b.ordinal;
    std::u16string x = upperName(a.name), y = upperName(b.name);
    return x != y ? x < y : a.name < b.name;
  }
};

bool sameId(const ResId& a, const ResId& b) {
  if (a.isOrdinal() || b.isOrdinal()) return a == b;
  return upperName(a.name) == upperName(b.name);
}

using Languages = std::map<uint16_t, const std::vector<uint8_t>*>;
using Names = std::map<ResId, Languages, IdOrder>;
using Types = std::map<ResId, Names, IdOrder>;

// The bytes of a resource section at virtual address `base`.
std::vector<uint8_t> buildSection(const Types& types, uint32_t base) {
  // Directories first (root, types, names), then the data entries, the
  // strings and the data, each data block on an 8-byte boundary.
  size_t directories = 16 + 8 * types.size(), leaves = 0, strings = 0;
  for (auto& t : types) {
    directories += 16 + 8 * t.second.size();
    if (!t.first.isOrdinal()) strings += 2 + 2 * t.first.name.size();
    for (auto& n : t.second) {
      directories += 16 + 8 * n.second.size();
      leaves += n.second.size();
      if (!n.first.isOrdinal()) strings += 2 + 2 * n.first.name.size();
    }
  }
  size_t leafAt = directories, stringAt = leafAt + 16 * leaves;
  size_t dataAt = static_cast<size_t>(alignUp(stringAt + strings, 8));
  size_t total = dataAt;
  for (auto& t : types)
    for (auto& n : t.second)
      for (auto& l : n.second) total = static_cast<size_t>(alignUp(total, 8)) + l.second->size();
  std::vector<uint8_t> out(total, 0);

  size_t nextDirectory = 0, nextLeaf = leafAt, nextString = stringAt, nextData = dataAt;
  auto writeHeader = [&](size_t at, size_t named, size_t ids) {
    put16(out, at + 12, static_cast<uint32_t>(named));
    put16(out, at + 14, static_cast<uint32_t>(ids));
  };
  auto nameField = [&](const ResId& id) -> uint32_t {
    if (id.isOrdinal()) return id.ordinal;
    size_t at = nextString;
    put16(out, at, static_cast<uint32_t>(id.name.size()));
    for (size_t i = 0; i < id.name.size(); ++i) put16(out, at + 2 + 2 * i, id.name[i]);
    nextString += 2 + 2 * id.name.size();
    return 0x80000000u | static_cast<uint32_t>(at);
  };
  auto counts = [](const auto& map, size_t& named, size_t& ids) {
    named = ids = 0;
    for (auto& e : map) (e.first.isOrdinal() ? ids : named)++;
  };

  // Level order: the root, then every type directory, then every name one.
  size_t root = nextDirectory;
  nextDirectory += 16 + 8 * types.size();
  size_t named, ids;
  counts(types, named, ids);
  writeHeader(root, named, ids);
  std::vector<size_t> typeDirs;
  size_t i = 0;
  for (auto& t : types) {
    size_t dir = nextDirectory;
    nextDirectory += 16 + 8 * t.second.size();
    typeDirs.push_back(dir);
    put32(out, root + 16 + 8 * i, nameField(t.first));
    put32(out, root + 20 + 8 * i, 0x80000000u | static_cast<uint32_t>(dir));
    counts(t.second, named, ids);
    writeHeader(dir, named, ids);
    ++i;
  }
  size_t typeIndex = 0;
  for (auto& t : types) {
    size_t dir = typeDirs[typeIndex++], j = 0;
    for (auto& n : t.second) {
      size_t nameDir = nextDirectory;
      nextDirectory += 16 + 8 * n.second.size();
      put32(out, dir + 16 + 8 * j, nameField(n.first));
      put32(out, dir + 20 + 8 * j, 0x80000000u | static_cast<uint32_t>(nameDir));
      writeHeader(nameDir, 0, n.second.size());
      size_t k = 0;
      for (auto& l : n.second) {
        put32(out, nameDir + 16 + 8 * k, l.first);
        put32(out, nameDir + 20 + 8 * k, static_cast<uint32_t>(nextLeaf));
        nextData = static_cast<size_t>(alignUp(nextData, 8));
        put32(out, nextLeaf, base + static_cast<uint32_t>(nextData));
        put32(out, nextLeaf + 4, static_cast<uint32_t>(l.second->size()));
        if (!l.second->empty()) std::memcpy(&out[nextData], l.second->data(), l.second->size());
        nextData += l.second->size();
        nextLeaf += 16;
        ++k;
      }
      ++j;
    }
  }
  return out;
}

}  // namespace

const char* peErrorText(PeError error) {
  switch (error) {
    case PeError::kOk: return "no error";
    case PeError::kNotAModule: return "not a 32-bit Windows module";
    case PeError::kHeaderPastEnd: return "a header reaches past the end of the file";
    case PeError::kBadSection: return "a section lies outside the file";
    case PeError::kBadResourceTree: return "the resource directory is damaged";
    case PeError::kSectionAfterResources: return "a section that cannot move follows the resources";
    case PeError::kNoRoomForSection: return "no room for another section header";
    case PeError::kSigned: return "the module is signed";
    case PeError::kTooLarge: return "the module would be too large";
  }
  return "unknown error";
}

uint32_t peImageChecksum(const std::vector<uint8_t>& b, size_t checksumOffset) {
  uint64_t sum = 0;
  for (size_t i = 0; i < b.size(); i += 2) {
    if (i == checksumOffset || i == checksumOffset + 2) continue;
    uint32_t word = b[i] | (i + 1 < b.size() ? b[i + 1] << 8 : 0);
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + b.size());
}

PeError readPeResources(const std::vector<uint8_t>& module, std::vector<ResEntry>& entries) {
  entries.clear();
  Layout l;
  PeError e = parseLayout(module, l);
  if (e != PeError::kOk) return e;
  int index = resourceSection(module, l);
  if (index < 0) return PeError::kOk;
  const Section& s = l.sections[static_cast<size_t>(index)];
  uint32_t rva = l.directoryCount > kDirectoryResources ? get32(module, l.directory(kDirectoryResources)) : 0;
  if (!rva) rva = s.virtualAddress;
  return TreeReader(module, s, rva).read(entries);
}

PeError replacePeResources(const std::vector<uint8_t>& module, const std::vector<ResEntry>& entries,
                           std::vector<uint8_t>& out) {
  Layout l;
  PeError e = parseLayout(module, l);
  if (e != PeError::kOk) return e;
  if (l.directoryCount <= kDirectoryRelocations) return PeError::kNotAModule;
  if (get32(module, l.directory(kDirectorySecurity)) || get32(module, l.directory(kDirectorySecurity) + 4))
    return PeError::kSigned;
  std::vector<ResEntry> existing;
  e = readPeResources(module, existing);
  if (e != PeError::kOk) return e;

  Types types;
  for (const ResEntry& old : existing) {
    bool replaced = std::any_of(entries.begin(), entries.end(), [&](const ResEntry& n) {
      return sameId(old.type, n.type) && sameId(old.name, n.name);
    });
    if (!replaced) types[old.type][old.name][old.language] = &old.data;
  }
  for (const ResEntry& n : entries) types[n.type][n.name][n.language] = &n.data;

  int index = resourceSection(module, l);
  std::vector<Section> moved;  // sections after the resources, in order
  uint32_t rawEnd = 0;         // end of the last section's raw data
  for (const Section& s : l.sections) rawEnd = std::max(rawEnd, s.rawSize ? s.rawPointer + s.rawSize : 0u);
  size_t sectionCount = l.sections.size();
  Section rsrc{};
  if (index >= 0) {
    rsrc = l.sections[static_cast<size_t>(index)];
    // Sections after the resources move up behind them: only those the
    // loader may discard (relocations, debugging data), which no code refers
    // to; a data directory that points into one moves with it.
    for (size_t i = static_cast<size_t>(index) + 1; i < l.sections.size(); ++i) {
      const Section& s = l.sections[i];
      bool discardable = (get32(module, s.header + 36) & kSectionDiscardable) != 0;
      if (!discardable || (s.rawSize && s.rawPointer < rsrc.rawPointer)) return PeError::kSectionAfterResources;
      uint32_t debug = l.directoryCount > kDirectoryDebug ? get32(module, l.directory(kDirectoryDebug)) : 0;
      if (debug >= s.virtualAddress && debug < s.virtualAddress + extent(s))
        return PeError::kSectionAfterResources;  // its entries hold file offsets
      moved.push_back(s);
    }
    // The sections before stay where they are: none may keep data behind
    // the resources, which the new section overwrites.
    for (size_t i = 0; i < static_cast<size_t>(index); ++i) {
      const Section& s = l.sections[i];
      if (s.rawSize && uint64_t(s.rawPointer) + s.rawSize > rsrc.rawPointer) return PeError::kSectionAfterResources;
    }
    if (rsrc.rawSize && rsrc.rawPointer + rsrc.rawSize > module.size()) return PeError::kBadSection;
    if (!rsrc.rawSize || rsrc.rawPointer % l.fileAlignment != 0) return PeError::kBadSection;
  } else {
    size_t end = l.sectionTable + kSectionHeaderSize * (sectionCount + 1);
    uint32_t firstRaw = rawEnd;
    for (const Section& s : l.sections)
      if (s.rawSize) firstRaw = std::min(firstRaw, s.rawPointer);
    if (end > l.sizeOfHeaders || end > firstRaw) return PeError::kNoRoomForSection;
    const Section& last = l.sections.back();
    rsrc.header = l.sectionTable + kSectionHeaderSize * sectionCount;
    std::memcpy(rsrc.name, ".rsrc\0\0\0", 8);
    rsrc.virtualAddress = static_cast<uint32_t>(
        alignUp(uint64_t(last.virtualAddress) + extent(last), l.sectionAlignment));
    rsrc.rawPointer = static_cast<uint32_t>(alignUp(rawEnd, l.fileAlignment));
  }

  std::vector<uint8_t> section = buildSection(types, rsrc.virtualAddress);
  uint64_t newRaw = alignUp(section.size(), l.fileAlignment);
  // The file up to the resources stays as it was (headers patched below).
  uint64_t head = rsrc.rawPointer;
  out.assign(module.begin(), module.begin() + static_cast<ptrdiff_t>(std::min<uint64_t>(head, rawEnd)));
  out.resize(static_cast<size_t>(head), 0);
  out.insert(out.end(), section.begin(), section.end());
  out.resize(static_cast<size_t>(head + newRaw), 0);
  uint64_t nextVirtual = alignUp(uint64_t(rsrc.virtualAddress) + section.size(), l.sectionAlignment);
  std::vector<std::pair<Section, int64_t>> shifts;  // old place, virtual shift
  for (Section& s : moved) {
    Section old = s;
    uint64_t pointer = s.rawSize ? out.size() : 0;
    if (s.rawSize) out.insert(out.end(), module.begin() + s.rawPointer, module.begin() + s.rawPointer + s.rawSize);
    s.virtualAddress = static_cast<uint32_t>(nextVirtual);
    s.rawPointer = static_cast<uint32_t>(pointer);
    shifts.emplace_back(old, int64_t(s.virtualAddress) - old.virtualAddress);
    nextVirtual = alignUp(nextVirtual + extent(s), l.sectionAlignment);
  }
  if (rawEnd < module.size()) out.insert(out.end(), module.begin() + rawEnd, module.end());
  if (nextVirtual > 0xFFFFFFFFull || head + newRaw > 0x7FFFFFFFull || out.size() < newRaw) return PeError::kTooLarge;

  // Headers.
  if (index < 0) {
    std::fill(out.begin() + static_cast<ptrdiff_t>(rsrc.header),
              out.begin() + static_cast<ptrdiff_t>(rsrc.header + kSectionHeaderSize), 0);
    std::memcpy(&out[rsrc.header], rsrc.name, 8);
    put32(out, rsrc.header + 36, kSectionInitialisedReadable);
    put16(out, get32(module, 0x3C) + 6, static_cast<uint32_t>(sectionCount + 1));
  }
  put32(out, rsrc.header + 8, static_cast<uint32_t>(section.size()));
  put32(out, rsrc.header + 12, rsrc.virtualAddress);
  put32(out, rsrc.header + 16, static_cast<uint32_t>(newRaw));
  put32(out, rsrc.header + 20, rsrc.rawPointer);
  for (const Section& s : moved) {
    put32(out, s.header + 12, s.virtualAddress);
    put32(out, s.header + 20, s.rawPointer);
  }
  uint32_t initialised = get32(module, l.optional + 8);
  put32(out, l.optional + 8, static_cast<uint32_t>(initialised - rsrc.rawSize + newRaw));
  put32(out, l.optional + 56, static_cast<uint32_t>(nextVirtual));
  put32(out, l.directory(kDirectoryResources), rsrc.virtualAddress);
  put32(out, l.directory(kDirectoryResources) + 4, static_cast<uint32_t>(section.size()));
  for (size_t d = 0; d < l.directoryCount; ++d) {
    if (d == kDirectoryResources || d == kDirectorySecurity) continue;
    uint32_t rva = get32(module, l.directory(d));
    for (auto& shift : shifts) {
      const Section& old = shift.first;
      if (rva && rva >= old.virtualAddress && rva < old.virtualAddress + extent(old))
        put32(out, l.directory(d), static_cast<uint32_t>(rva + shift.second));
    }
  }
  // The debug directory's entries hold file offsets: as where it stood, it
  // may not come to lie in a section that moved (a directory pointing past
  // the resources may land there once they change size).
  if (l.directoryCount > kDirectoryDebug) {
    uint32_t debug = get32(out, l.directory(kDirectoryDebug));
    for (const Section& s : moved)
      if (debug >= s.virtualAddress && debug < s.virtualAddress + extent(s)) return PeError::kSectionAfterResources;
  }
  // A symbol table in the bytes after the sections moves with them.
  size_t pe = get32(module, 0x3C);
  uint32_t symbols = get32(module, pe + 12);
  if (symbols >= rawEnd && symbols < module.size())
    put32(out, pe + 12, static_cast<uint32_t>(symbols + (out.size() - (module.size() - rawEnd)) - rawEnd));
  put32(out, l.optional + 64, 0);
  put32(out, l.optional + 64, peImageChecksum(out, l.optional + 64));
  return PeError::kOk;
}

bool peFixedFileVersion(const std::vector<uint8_t>& module, uint32_t& versionMS, uint32_t& versionLS) {
  std::vector<ResEntry> entries;
  if (readPeResources(module, entries) != PeError::kOk) return false;
  for (const ResEntry& e : entries) {
    if (!e.type.isOrdinal() || e.type.ordinal != kResTypeVersion) continue;
    // VS_VERSIONINFO: three words, the key "VS_VERSION_INFO" and its
    // terminator in UTF-16, padding to 4, then the fixed part.
    constexpr size_t kFixed = 40;
    const std::vector<uint8_t>& d = e.data;
    if (d.size() < kFixed + 16 || get16(d, 2) < 52 || get32(d, kFixed) != 0xFEEF04BDu) return false;
    versionMS = get32(d, kFixed + 8);
    versionLS = get32(d, kFixed + 12);
    return true;
  }
  return false;
}

std::string peVersionDigits(const std::vector<uint8_t>& module) {
  uint32_t ms = 0, ls = 0;
  if (!peFixedFileVersion(module, ms, ls)) ms = ls = 0;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08lX%08lX", static_cast<unsigned long>(ls), static_cast<unsigned long>(ms));
  return digits;
}

}  // namespace tw
