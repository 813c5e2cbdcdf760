// The MSZIP codec inside real cabinets: our decoder on cabinets that gcab
// writes, and cabinets of our encoder's payloads read by libmspack and
// tested by cabextract. The cabinet reader and writer here know just enough
// of the container for that; the library's own container lives elsewhere.
#include <gtest/gtest.h>
#include <mspack.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/cabinet/mszip/mszip_test_support.h"

namespace tw::cab::test {
namespace {

uint16_t get16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8); }
uint32_t get32(const Bytes& b, size_t at) { return get16(b, at) | uint32_t{get16(b, at + 2)} << 16; }
void put16(Bytes* b, uint32_t v) {
  b->push_back(static_cast<uint8_t>(v));
  b->push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes* b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

Bytes readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
void writeFile(const std::string& path, const Bytes& data) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = testing::TempDir() + "mszip-XXXXXX";
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~TempFolder() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  bool ok() const { return !path_.empty(); }

 private:
  std::string path_;
};

int run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct NamedFile {
  std::string name;
  Bytes data;
};

// A cabinet's folders expanded through our decoder, and its files cut from
// them. Any refused block ends it with a failure.
struct ReadResult {
  std::vector<NamedFile> files;
  std::vector<uint16_t> types;
  size_t blocks = 0;
};

::testing::AssertionResult expandCabinet(const Bytes& cab, ReadResult* result) {
  if (cab.size() < 36 || get32(cab, 0) != 0x4643534D) return ::testing::AssertionFailure() << "no MSCF";
  const uint32_t coffFiles = get32(cab, 16);
  const unsigned folders = get16(cab, 26);
  const unsigned files = get16(cab, 28);
  const unsigned flags = get16(cab, 30);
  size_t at = 36;
  unsigned folderReserve = 0, dataReserve = 0;
  if (flags & 4) {
    const unsigned headerReserve = get16(cab, at);
    folderReserve = cab.at(at + 2);
    dataReserve = cab.at(at + 3);
    at += 4 + headerReserve;
  }
  if (flags & 3) return ::testing::AssertionFailure() << "cabinet set not expected";

  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  std::vector<Bytes> expanded;
  for (unsigned f = 0; f < folders; ++f, at += 8 + folderReserve) {
    size_t data = get32(cab, at);
    const unsigned count = get16(cab, at + 4);
    const uint16_t type = get16(cab, at + 6);
    result->types.push_back(type);
    if ((type & kCompressMethodMask) != kCompressMsZip)
      return ::testing::AssertionFailure() << "folder " << f << " is not MSZIP: " << type;
    decoder->reset();
    Bytes out;
    for (unsigned i = 0; i < count; ++i) {
      const unsigned cbData = get16(cab, data + 4);
      const unsigned cbUncomp = get16(cab, data + 6);
      const size_t payload = data + 8 + dataReserve;
      if (payload + cbData > cab.size()) return ::testing::AssertionFailure() << "short cabinet";
      const size_t o = out.size();
      out.resize(o + cbUncomp);
      if (!decoder->decode(cab.data() + payload, cbData, out.data() + o, cbUncomp))
        return ::testing::AssertionFailure() << "folder " << f << " block " << i << " refused";
      ++result->blocks;
      data = payload + cbData;
    }
    expanded.push_back(std::move(out));
  }
  at = coffFiles;
  for (unsigned i = 0; i < files; ++i) {
    const uint32_t size = get32(cab, at);
    const uint32_t offset = get32(cab, at + 4);
    const unsigned folder = get16(cab, at + 8);
    std::string name(reinterpret_cast<const char*>(cab.data() + at + 16));
    at += 16 + name.size() + 1;
    if (folder >= expanded.size() || offset + size > expanded[folder].size())
      return ::testing::AssertionFailure() << name << " lies outside its folder";
    result->files.push_back(
        {name, Bytes(expanded[folder].begin() + offset, expanded[folder].begin() + offset + size)});
  }
  return ::testing::AssertionSuccess();
}

// A cabinet of one or more MSZIP folders whose payloads come from our
// encoder; the encoder is reset at every folder. Checksums are left 0,
// which the format reads as "none".
Bytes writeCabinet(BlockEncoder* encoder, const std::vector<std::vector<NamedFile>>& folders) {
  size_t fileCount = 0;
  size_t filesBytes = 0;
  for (const auto& folder : folders)
    for (const auto& f : folder) {
      ++fileCount;
      filesBytes += 16 + f.name.size() + 1;
    }
  std::vector<std::vector<Block>> blocks;
  for (const auto& folder : folders) {
    Bytes data;
    for (const auto& f : folder) data.insert(data.end(), f.data.begin(), f.data.end());
    encoder->reset();
    blocks.push_back(encodeFolder(encoder, data));
  }
  const size_t coffFiles = 36 + 8 * folders.size();
  size_t dataAt = coffFiles + filesBytes;
  Bytes cab;
  put32(&cab, 0x4643534D);
  put32(&cab, 0);
  put32(&cab, 0);  // cbCabinet, set at the end
  put32(&cab, 0);
  put32(&cab, static_cast<uint32_t>(coffFiles));
  put32(&cab, 0);
  cab.push_back(3);
  cab.push_back(1);
  put16(&cab, static_cast<uint32_t>(folders.size()));
  put16(&cab, static_cast<uint32_t>(fileCount));
  put16(&cab, 0);
  put16(&cab, 0x1234);
  put16(&cab, 0);
  for (const auto& folder : blocks) {
    put32(&cab, static_cast<uint32_t>(dataAt));
    put16(&cab, static_cast<uint32_t>(folder.size()));
    put16(&cab, kCompressMsZip);
    for (const auto& b : folder) dataAt += 8 + b.payload.size();
  }
  for (size_t fi = 0; fi < folders.size(); ++fi) {
    uint32_t offset = 0;
    for (const auto& f : folders[fi]) {
      put32(&cab, static_cast<uint32_t>(f.data.size()));
      put32(&cab, offset);
      put16(&cab, static_cast<uint32_t>(fi));
      put16(&cab, (44u << 9) | (12u << 5) | 8u);  // 8 December 2024
      put16(&cab, 12u << 11);
      put16(&cab, 0x20);
      cab.insert(cab.end(), f.name.begin(), f.name.end());
      cab.push_back(0);
      offset += static_cast<uint32_t>(f.data.size());
    }
  }
  for (const auto& folder : blocks)
    for (const auto& b : folder) {
      put32(&cab, 0);
      put16(&cab, static_cast<uint32_t>(b.payload.size()));
      put16(&cab, static_cast<uint32_t>(b.size));
      cab.insert(cab.end(), b.payload.begin(), b.payload.end());
    }
  const uint32_t total = static_cast<uint32_t>(cab.size());
  for (int i = 0; i < 4; ++i) cab[8 + i] = static_cast<uint8_t>(total >> (8 * i));
  return cab;
}

std::vector<NamedFile> sampleFiles(uint32_t seed) {
  return {
      {"empty.txt", {}},
      {"one.bin", Bytes(1, 0x5A)},
      {"block.txt", text(kBlockMax, seed)},
      {"block-and-one.txt", text(kBlockMax + 1, seed + 1)},
      {"program.dll", programLike(5 * kBlockMax + 777, seed + 2)},
      {"noise.bin", noise(2 * kBlockMax + 5, seed + 3)},
      {"zeros.bin", Bytes(100000, 0)},
      {"again.dll", programLike(3 * kBlockMax, seed + 2)},  // repeats program.dll's start
      // Noise repeated after exactly 32 KB: matches at the longest distance.
      {"repeat.bin", concat({noise(kBlockMax, seed + 4), noise(kBlockMax, seed + 4)})},
  };
}

TEST(MsZipCabinet, GcabCabinetsExpandThroughOurDecoder) {
  TempFolder temp;
  ASSERT_TRUE(temp.ok());
  const auto files = sampleFiles(71);
  std::string command = std::string(TW_GCAB) + " -c -z -n '" + (temp / "g.cab") + "'";
  for (const auto& f : files) {
    writeFile(temp / f.name, f.data);
    command += " '" + (temp / f.name) + "'";
  }
  ASSERT_EQ(run(command), 0) << command;
  ReadResult result;
  ASSERT_TRUE(expandCabinet(readFile(temp / "g.cab"), &result));
  EXPECT_GT(result.blocks, 10u);
  ASSERT_EQ(result.files.size(), files.size());
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    bool found = false;
    for (const auto& r : result.files)
      if (r.name == f.name) {
        found = true;
        EXPECT_EQ(r.data, f.data);
      }
    EXPECT_TRUE(found);
  }
}

TEST(MsZipCabinet, CabinetsOfOurPayloadsPassLibmspackAndCabextract) {
  TempFolder temp;
  ASSERT_TRUE(temp.ok());
  HeapMemory heap;
  EncoderPtr encoder(createMsZipEncoder(heap.memory));
  auto second = sampleFiles(91);
  for (auto& f : second) f.name = "second-" + f.name;
  // The second folder starts with what ended the first: after the reset it
  // must not reach back into it.
  second.insert(second.begin(), {"second-start.txt", text(kBlockMax, 78)});
  auto first = sampleFiles(81);
  first.push_back({"first-end.txt", text(kBlockMax, 78)});
  const std::vector<std::vector<NamedFile>> folders = {first, second};
  const Bytes cab = writeCabinet(encoder.get(), folders);
  const std::string path = temp / "ours.cab";
  writeFile(path, cab);

  // Our own reading of it first, so a fault in the writer shows as such.
  ReadResult ours;
  ASSERT_TRUE(expandCabinet(cab, &ours));

  mscab_decompressor* cabd = mspack_create_cab_decompressor(nullptr);
  ASSERT_NE(cabd, nullptr);
  mscabd_cabinet* cabinet = cabd->open(cabd, path.c_str());
  ASSERT_NE(cabinet, nullptr) << "libmspack error " << cabd->last_error(cabd);
  size_t checked = 0;
  for (const auto& folder : folders)
    for (const auto& f : folder) {
      SCOPED_TRACE(f.name);
      mscabd_file* entry = cabinet->files;
      while (entry != nullptr && f.name != entry->filename) entry = entry->next;
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry->folder->comp_type & 0x000F, MSCAB_COMP_MSZIP);
      const std::string out = temp / ("x-" + f.name);
      ASSERT_EQ(cabd->extract(cabd, entry, out.c_str()), MSPACK_ERR_OK);
      EXPECT_EQ(readFile(out), f.data);
      ++checked;
    }
  EXPECT_EQ(checked, first.size() + second.size());
  cabd->close(cabd, cabinet);
  mspack_destroy_cab_decompressor(cabd);

  EXPECT_EQ(run(std::string(TW_CABEXTRACT) + " -q -t '" + path + "' >/dev/null"), 0);
  // The check is not empty: a cut cabinet fails it.
  writeFile(temp / "cut.cab", Bytes(cab.begin(), cab.end() - 100));
  EXPECT_NE(run(std::string(TW_CABEXTRACT) + " -q -t '" + (temp / "cut.cab") + "' 2>/dev/null"), 0);
}

}  // namespace
}  // namespace tw::cab::test
