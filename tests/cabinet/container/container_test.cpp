#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "cabinet/core/container/codecs.h"
#include "cabinet/core/container/format.h"
#include "tests/cabinet/container/memory_host.h"

namespace tw::cab::test {
namespace {

struct Input {
  std::string name;
  Bytes data;
  uint16_t type = kCompressNone;
  bool execute = false;
};

Bytes mixed(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = (i / 700) % 3 == 0 ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>(i * 7);
  return out;
}

CabinetParams params(const char* name = "test.cab") {
  CabinetParams p;
  std::snprintf(p.name, sizeof p.name, "%s", name);
  std::snprintf(p.path, sizeof p.path, "cab/");
  p.setId = 4711;
  p.cabinetIndex = 0;
  return p;
}

// Writes the inputs into cabinets; folderAfter: indexes after which the
// folder is flushed.
struct Written {
  bool ok = false;
  FciFailure failure;
};

Written writeCabinet(FciRecorder& host, const CabinetParams& p, const std::vector<Input>& inputs,
                     std::vector<size_t> folderAfter = {}, bool flush = true) {
  Written w;
  FciWriter* writer = FciWriter::create(host, p, w.failure);
  if (!writer) return w;
  w.ok = true;
  for (size_t i = 0; i < inputs.size() && w.ok; ++i) {
    host.fs.files["src/" + inputs[i].name] = inputs[i].data;
    w.ok = writer->addFile(("src/" + inputs[i].name).c_str(), inputs[i].name.c_str(), inputs[i].execute,
                           inputs[i].type);
    if (w.ok && std::find(folderAfter.begin(), folderAfter.end(), i) != folderAfter.end())
      w.ok = writer->flushFolder();
  }
  if (w.ok && flush) w.ok = writer->flushCabinet(false);
  w.failure = writer->failure();
  writer->destroy();
  return w;
}

struct Read {
  bool ok = false;
  FdiFailure failure;
};

Read readCabinet(FdiRecorder& host, const std::string& name, const char* folder = "cab/") {
  Read r;
  FdiReader* reader = FdiReader::create(host, r.failure);
  if (!reader) return r;
  r.ok = reader->copy(name.c_str(), folder);
  r.failure = reader->failure();
  reader->destroy();
  return r;
}

std::vector<Input> sampleInputs() {
  return {{"empty.txt", {}},
          {"one.bin", {0x42}},
          {"block.bin", mixed(kBlockMax, 1)},
          {"blockplus.bin", mixed(kBlockMax + 1, 2)},
          {"large.bin", mixed(300000, 3), kCompressNone, true},
          {"tail.txt", mixed(777, 4)}};
}

// Runs cabextract -t on a cabinet image: the independent reader's verdict.
bool cabextractAccepts(const Bytes& cabinet, const std::string& tag) {
  auto path = std::filesystem::temp_directory_path() / ("tw_container_" + tag + "_" + std::to_string(getpid()) + ".cab");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(cabinet.data()), cabinet.size());
  std::string command = "cabextract -q -t '" + path.string() + "' >/dev/null 2>&1";
  int rc = std::system(command.c_str());
  if (rc != 0 && std::getenv("TW_KEEP")) return false;
  std::filesystem::remove(path);
  return rc == 0;
}

TEST(CabinetFormat, ChecksumFoldsWordsAndTakesTheTailMostSignificantFirst) {
  const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(checksum(bytes, 4, 0), 0x04030201u);
  EXPECT_EQ(checksum(bytes, 7, 0), 0x04030201u ^ 0x00050607u);
  EXPECT_EQ(checksum(bytes, 5, 0xFF), 0x04030201u ^ 0x05u ^ 0xFFu);
  EXPECT_EQ(checksum(bytes, 0, 0x1234), 0x1234u);
}

TEST(CabinetWriterAndReader, FilesOfEveryEdgeSizeComeBackByteForByteThroughTwoFolders) {
  MemoryFiles fs;
  {
    FciRecorder writer(fs);
    auto inputs = sampleInputs();
    Written w = writeCabinet(writer, params(), inputs, {2});
    ASSERT_TRUE(w.ok) << static_cast<int>(w.failure.error);
    ASSERT_TRUE(fs.files.count("cab/test.cab"));
    const Bytes& cab = fs.files["cab/test.cab"];
    EXPECT_EQ(get32(cab.data() + kHdrCbCabinet), cab.size());
    EXPECT_EQ(get16(cab.data() + kHdrCFolders), 2);
    EXPECT_EQ(get16(cab.data() + kHdrCFiles), inputs.size());
    EXPECT_EQ(get16(cab.data() + kHdrSetId), 4711);
    EXPECT_TRUE(cabextractAccepts(cab, "edge"));

    // Callbacks: every file placed in order, the status of all blocks adds
    // up to the bytes given, one cabinet with its real size.
    uint64_t total = 0;
    for (auto& i : inputs) total += i.data.size();
    EXPECT_EQ(writer.fileStatusUncompressed, total);
    // Folder one: 0 + 1 + 32768 bytes in 2 blocks; folder two: 333546 in 11.
    EXPECT_EQ(writer.fileStatusCalls, 13u);
    std::vector<std::string> placed;
    for (auto& e : writer.events)
      if (e.rfind("placed", 0) == 0) placed.push_back(e);
    ASSERT_EQ(placed.size(), inputs.size());
    EXPECT_EQ(placed[3], "placed test.cab blockplus.bin 32769");
    ASSERT_EQ(writer.cabinetSizes.size(), 1u);
    EXPECT_EQ(writer.cabinetSizes[0], cab.size());
    EXPECT_EQ(writer.events.back(), "cabinet " + std::to_string(cab.size()) + " " + std::to_string(cab.size()));
    // The temporary file is gone; nothing is left open or allocated.
    EXPECT_FALSE(fs.files.count("temp1"));

    FdiRecorder reader(fs);
    Read r = readCabinet(reader, "test.cab");
    ASSERT_TRUE(r.ok) << static_cast<int>(r.failure.error);
    for (auto& i : inputs) EXPECT_EQ(fs.files["out/" + i.name], i.data) << i.name;
    EXPECT_EQ(reader.events.front(), "info |cab/|4711|0");
    EXPECT_EQ(reader.executeFlags["large.bin"], 1);
    EXPECT_EQ(reader.executeFlags["tail.txt"], 0);
    EXPECT_EQ(reader.attributes["large.bin"], 0x20);
  }
  EXPECT_EQ(fs.live, 0);
  EXPECT_EQ(fs.openHandles, 0);
}

TEST(CabinetWriterAndReader, DecryptCallbackSeesTheCabinetEachFolderAndEveryBlock) {
  MemoryFiles fs;
  FciRecorder writer(fs);
  auto inputs = sampleInputs();
  ASSERT_TRUE(writeCabinet(writer, params(), inputs, {2}).ok);
  FdiRecorder reader(fs);
  ASSERT_TRUE(readCabinet(reader, "test.cab").ok);
  const Bytes& cab = fs.files["cab/test.cab"];
  ASSERT_GE(reader.decrypts.size(), 3u);
  EXPECT_EQ(reader.decrypts[0].event, DecryptEvent::NewCabinet);
  EXPECT_EQ(reader.decrypts[0].setId, 4711);
  int folders = 0;
  uint64_t blockBytes = 0;
  for (auto& d : reader.decrypts) {
    if (d.event == DecryptEvent::NewFolder) ++folders;
    if (d.event == DecryptEvent::DataBlock) blockBytes += kDataSize + d.dataSize;
  }
  EXPECT_EQ(folders, 2);
  // Progress by blocks reaches the cabinet's data area exactly.
  uint32_t dataStart = get32(cab.data() + kHdrSize + kFolCoffCabStart);
  EXPECT_EQ(blockBytes, cab.size() - dataStart);
}

TEST(CabinetWriterAndReader, SkippedFilesAreNotWrittenAndLaterOnesStillComeOut) {
  MemoryFiles fs;
  FciRecorder writer(fs);
  auto inputs = sampleInputs();
  ASSERT_TRUE(writeCabinet(writer, params(), inputs).ok);
  FdiRecorder reader(fs);
  reader.skip = "blockplus.bin";
  reader.decryptWanted = false;
  ASSERT_TRUE(readCabinet(reader, "test.cab").ok);
  EXPECT_FALSE(fs.files.count("out/blockplus.bin"));
  EXPECT_EQ(fs.files["out/large.bin"], inputs[4].data);
  EXPECT_TRUE(reader.decrypts.empty());
}

TEST(CabinetWriterAndReader, AnsweringMinusOneOrFailingTheCloseStopsTheCopy) {
  MemoryFiles fs;
  FciRecorder writer(fs);
  auto inputs = sampleInputs();
  ASSERT_TRUE(writeCabinet(writer, params(), inputs).ok);
  FdiRecorder reader(fs);
  reader.abortAt = "block.bin";
  Read r = readCabinet(reader, "test.cab");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.error, FdiError::UserAbort);
  EXPECT_FALSE(fs.files.count("out/large.bin"));

  FdiRecorder closing(fs);
  closing.closeResult = 0;
  r = readCabinet(closing, "test.cab");
  EXPECT_EQ(r.failure.error, FdiError::TargetFile);
  EXPECT_EQ(fs.openHandles, 0);
}

TEST(CabinetWriterAndReader, EachFlushMakesAStandaloneCabinetAndAsksForTheNext) {
  MemoryFiles fs;
  FciRecorder host(fs);
  FciFailure failure;
  FciWriter* writer = FciWriter::create(host, params("first.cab"), failure);
  ASSERT_NE(writer, nullptr);
  fs.files["src/a"] = mixed(50000, 9);
  fs.files["src/b"] = mixed(1000, 10);
  ASSERT_TRUE(writer->addFile("src/a", "a", false, kCompressNone));
  ASSERT_TRUE(writer->flushCabinet(true));
  ASSERT_TRUE(writer->addFile("src/b", "b", false, kCompressNone));
  ASSERT_TRUE(writer->flushCabinet(false));
  // Flushing an empty cabinet writes nothing.
  ASSERT_TRUE(writer->flushCabinet(false));
  writer->destroy();
  ASSERT_EQ(host.cabinetSizes.size(), 2u);
  EXPECT_NE(std::find(host.events.begin(), host.events.end(),
                      "next 1 " + std::to_string(host.cabinetSizes[0])),
            host.events.end());
  ASSERT_TRUE(fs.files.count("cab/1-next.cab"));
  EXPECT_EQ(get16(fs.files["cab/1-next.cab"].data() + kHdrICabinet), 1);
  EXPECT_EQ(get16(fs.files["cab/1-next.cab"].data() + kHdrFlags), 0);
  FdiRecorder reader(fs);
  ASSERT_TRUE(readCabinet(reader, "1-next.cab").ok);
  EXPECT_EQ(fs.files["out/b"], fs.files["src/b"]);
  EXPECT_FALSE(fs.files.count("out/a"));
  EXPECT_EQ(fs.live, 0);
}

TEST(CabinetWriterAndReader, CabinetSizeLimitStartsNewCabinetsAndRefusesAFileThatFitsNone) {
  MemoryFiles fs;
  FciRecorder host(fs);
  CabinetParams p = params("part.cab");
  p.maxSize = 100000;
  std::vector<Input> inputs;
  for (int i = 0; i < 8; ++i) inputs.push_back({"f" + std::to_string(i), mixed(30000, 20 + i)});
  ASSERT_TRUE(writeCabinet(host, p, inputs).ok);
  ASSERT_GE(host.cabinetSizes.size(), 3u);
  for (uint32_t size : host.cabinetSizes) EXPECT_LE(size, 100000u);
  size_t extracted = 0;
  for (auto& [name, data] : std::map<std::string, Bytes>(fs.files))
    if (name.rfind("cab/", 0) == 0) {
      FdiRecorder reader(fs);
      ASSERT_TRUE(readCabinet(reader, name.substr(4)).ok) << name;
    }
  for (auto& i : inputs) {
    extracted += fs.files.count("out/" + i.name);
    EXPECT_EQ(fs.files["out/" + i.name], i.data);
  }
  EXPECT_EQ(extracted, inputs.size());

  MemoryFiles fs2;
  FciRecorder host2(fs2);
  Written w = writeCabinet(host2, p, {{"big", mixed(200000, 5)}});
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.failure.error, FciError::CabinetFile);
}

TEST(CabinetWriterAndReader, ReserveAreasAreWrittenPassedToDecryptAndAcceptedByCabextract) {
  MemoryFiles fs;
  FciRecorder writer(fs);
  CabinetParams p = params();
  p.headerReserve = 20;
  p.folderReserve = 3;
  p.dataReserve = 5;
  auto inputs = sampleInputs();
  ASSERT_TRUE(writeCabinet(writer, p, inputs, {1}).ok);
  const Bytes& cab = fs.files["cab/test.cab"];
  EXPECT_EQ(get16(cab.data() + kHdrFlags), kFlagReservePresent);
  EXPECT_TRUE(cabextractAccepts(cab, "reserve"));
  FdiRecorder reader(fs);
  ASSERT_TRUE(readCabinet(reader, "test.cab").ok);
  for (auto& i : inputs) EXPECT_EQ(fs.files["out/" + i.name], i.data);
  EXPECT_EQ(reader.decrypts[0].reserveSize, 20);
  bool sawFolder = false, sawData = false;
  for (auto& d : reader.decrypts) {
    if (d.event == DecryptEvent::NewFolder) sawFolder = d.reserveSize == 3;
    if (d.event == DecryptEvent::DataBlock) sawData = d.reserveSize == 5;
  }
  EXPECT_TRUE(sawFolder);
  EXPECT_TRUE(sawData);
}

TEST(CabinetWriterAndReader, WriterFailuresAreReportedWithTheirKind) {
  MemoryFiles fs;
  FciRecorder host(fs);
  FciFailure failure;
  FciWriter* writer = FciWriter::create(host, params(), failure);
  ASSERT_NE(writer, nullptr);
  EXPECT_FALSE(writer->addFile("src/missing", "missing", false, kCompressNone));
  EXPECT_EQ(writer->failure().error, FciError::OpenSource);
  fs.files["src/x"] = mixed(10, 1);
  EXPECT_FALSE(writer->addFile("src/x", "x", false, 0x0002));  // a method this library has not
  EXPECT_EQ(writer->failure().error, FciError::BadCompressionType);
  EXPECT_FALSE(writer->addFile("src/x", std::string(256, 'n').c_str(), false, kCompressNone));
  host.abortStatusAfter = 0;
  fs.files["src/y"] = mixed(kBlockMax * 2 + 5, 1);
  EXPECT_FALSE(writer->addFile("src/y", "y", false, kCompressNone));
  EXPECT_EQ(writer->failure().error, FciError::UserAbort);
  writer->destroy();
  EXPECT_EQ(fs.live, 0);

  fs.failAlloc = true;
  EXPECT_EQ(FciWriter::create(host, params(), failure), nullptr);
  EXPECT_EQ(failure.error, FciError::AllocFail);
}

// A well-formed cabinet of stored data, to be damaged in many ways.
class DamagedCabinet : public ::testing::Test {
 protected:
  void SetUp() override {
    FciRecorder writer(fs);
    ASSERT_TRUE(writeCabinet(writer, params(), sampleInputs(), {2}).ok);
    good = fs.files["cab/test.cab"];
  }
  // Reads `cab` and expects the error with no file handed out.
  void expectRefused(const Bytes& cab, FdiError expected, const char* what) {
    fs.files["cab/bad.cab"] = cab;
    FdiRecorder reader(fs);
    Read r = readCabinet(reader, "bad.cab");
    EXPECT_FALSE(r.ok) << what;
    EXPECT_EQ(r.failure.error, expected) << what;
    for (auto& e : reader.events) EXPECT_NE(e.rfind("copy", 0), 0u) << what << ": " << e;
    EXPECT_EQ(fs.openHandles, 0) << what;
  }
  uint32_t firstData() const { return get32(good.data() + kHdrSize + kFolCoffCabStart); }
  uint32_t filesAt() const { return get32(good.data() + kHdrCoffFiles); }
  MemoryFiles fs;
  Bytes good;
};

TEST_F(DamagedCabinet, AFlippedByteAnywhereInTheDataIsFoundBeforeAnyFileIsHandedOut) {
  for (size_t at : {size_t{firstData()} + kDataSize, good.size() - 1, good.size() / 2}) {
    Bytes cab = good;
    cab[at] ^= 0x10;
    expectRefused(cab, FdiError::CorruptCabinet, "flipped data byte");
  }
  Bytes cab = good;
  cab[firstData() + kDataCbUncomp] ^= 1;  // a block's size
  expectRefused(cab, FdiError::CorruptCabinet, "block size");
}

TEST_F(DamagedCabinet, AZeroChecksumIsNotChecked) {
  Bytes cab = good;
  put32(cab.data() + firstData() + kDataCsum, 0);
  fs.files["cab/zero.cab"] = cab;
  FdiRecorder reader(fs);
  EXPECT_TRUE(readCabinet(reader, "zero.cab").ok);
}

TEST_F(DamagedCabinet, HeaderTablesAndNamesAreChecked) {
  Bytes cab = good;
  cab[0] = 'X';
  expectRefused(cab, FdiError::NotACabinet, "signature");
  cab = good;
  cab[kHdrVersionMinor] = 4;
  expectRefused(cab, FdiError::UnknownCabinetVersion, "version");
  cab = good;
  put32(cab.data() + kHdrCbCabinet, static_cast<uint32_t>(good.size() + 1));
  expectRefused(cab, FdiError::CorruptCabinet, "cbCabinet past the end");
  cab = Bytes(good.begin(), good.begin() + static_cast<long>(good.size() - 100));
  expectRefused(cab, FdiError::CorruptCabinet, "truncated");
  cab = good;
  put16(cab.data() + kHdrCFiles, 200);
  expectRefused(cab, FdiError::CorruptCabinet, "more files than entries");
  cab = good;
  put16(cab.data() + filesAt() + kFileIFolder, 7);
  expectRefused(cab, FdiError::CorruptCabinet, "folder index");
  cab = good;
  put32(cab.data() + filesAt() + kFileSize + 10 + kFileCbFile, 0x7FFFFF);  // one.bin's size
  expectRefused(cab, FdiError::CorruptCabinet, "file past its folder");
  cab = good;
  put16(cab.data() + kHdrSize + kFolTypeCompress, 0x0002);
  expectRefused(cab, FdiError::BadCompressionType, "compression type");
  cab = good;
  put16(cab.data() + kHdrSize + kFolCCFData, 60);
  expectRefused(cab, FdiError::CorruptCabinet, "block count");
  cab = good;
  put32(cab.data() + kHdrSize + kFolCoffCabStart, static_cast<uint32_t>(good.size() - 4));
  expectRefused(cab, FdiError::CorruptCabinet, "folder offset");
  // A name without its NUL runs into the next entry and past 256 bytes.
  cab = Bytes(good.begin(), good.begin() + filesAt());
  Bytes entry(kFileSize, 0);
  put16(entry.data() + kFileIFolder, 0);
  cab.insert(cab.end(), entry.begin(), entry.end());
  cab.insert(cab.end(), 300, 'a');
  put32(cab.data() + kHdrCbCabinet, static_cast<uint32_t>(cab.size()));
  put16(cab.data() + kHdrCFiles, 1);
  expectRefused(cab, FdiError::CorruptCabinet, "unterminated name");
  EXPECT_EQ(fs.live, 0);
}

TEST_F(DamagedCabinet, AMissingCabinetIsNotFoundAndIsCabinetReadsTheHeader) {
  FdiRecorder reader(fs);
  Read r = readCabinet(reader, "nothing.cab");
  EXPECT_EQ(r.failure.error, FdiError::CabinetNotFound);

  FdiFailure failure;
  FdiReader* fdi = FdiReader::create(reader, failure);
  ASSERT_NE(fdi, nullptr);
  intptr_t h = fs.open("cab/test.cab", kOpenReadOnly);
  CabinetInfo info;
  ASSERT_TRUE(fdi->isCabinet(h, info));
  EXPECT_EQ(info.size, good.size());
  EXPECT_EQ(info.folders, 2);
  EXPECT_EQ(info.files, 6);
  EXPECT_EQ(info.setId, 4711);
  EXPECT_FALSE(info.reserve);
  fs.close(h);
  fs.files["cab/text"] = Bytes{'h', 'e', 'l', 'l', 'o'};
  h = fs.open("cab/text", kOpenReadOnly);
  EXPECT_FALSE(fdi->isCabinet(h, info));
  EXPECT_EQ(fdi->failure().error, FdiError::NotACabinet);
  fs.close(h);
  fdi->destroy();
}

// A cabinet made by another writer (gcab, stored) is read by ours.
TEST(CabinetReader, ReadsACabinetMadeByGcab) {
  auto dir = std::filesystem::temp_directory_path() / ("tw_gcab_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::vector<Input> inputs = {{"a.txt", mixed(40000, 1)}, {"b.bin", mixed(5, 2)}, {"c.bin", {}}};
  for (auto& i : inputs)
    std::ofstream(dir / i.name, std::ios::binary).write(reinterpret_cast<const char*>(i.data.data()), i.data.size());
  std::string command = "cd '" + dir.string() + "' && gcab -c -n out.cab a.txt b.bin c.bin >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "gcab not available";
  std::ifstream in(dir / "out.cab", std::ios::binary);
  Bytes cab((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove_all(dir);
  MemoryFiles fs;
  fs.files["cab/g.cab"] = cab;
  FdiRecorder reader(fs);
  Read r = readCabinet(reader, "g.cab");
  ASSERT_TRUE(r.ok) << static_cast<int>(r.failure.error);
  for (auto& i : inputs) EXPECT_EQ(fs.files["out/" + i.name], i.data) << i.name;
}

}  // namespace
}  // namespace tw::cab::test

namespace tw::cab::test {
namespace {

// Every method the library writes, through the container and back, and
// through cabextract; compressible data must shrink.
class EachMethod : public ::testing::TestWithParam<uint16_t> {};

TEST_P(EachMethod, RoundTripsEdgeSizesRunsAndNoiseAndCabextractAgrees) {
  const uint16_t type = GetParam();
  if (!encoderAvailable(type)) GTEST_SKIP() << "no encoder for " << type;
  std::vector<Input> inputs = sampleInputs();
  std::mt19937 rng(77);
  Bytes noise(3 * kBlockMax + 123);
  for (auto& b : noise) b = static_cast<uint8_t>(rng());
  inputs.push_back({"noise.bin", noise});
  inputs.push_back({"run.bin", Bytes(5 * kBlockMax + 17, 'x')});
  for (auto& i : inputs) i.type = type;
  MemoryFiles fs;
  FciRecorder writer(fs);
  Written w = writeCabinet(writer, params(), inputs, {3});
  ASSERT_TRUE(w.ok) << static_cast<int>(w.failure.error);
  const Bytes& cab = fs.files["cab/test.cab"];
  EXPECT_TRUE(cabextractAccepts(cab, "method" + std::to_string(type)));
  FdiRecorder reader(fs);
  Read r = readCabinet(reader, "test.cab");
  ASSERT_TRUE(r.ok) << static_cast<int>(r.failure.error);
  for (auto& i : inputs) EXPECT_EQ(fs.files["out/" + i.name], i.data) << i.name;
  uint64_t total = 0;
  for (auto& i : inputs) total += i.data.size();
  if (type != kCompressNone) EXPECT_LT(cab.size(), total - 5 * kBlockMax);
  EXPECT_EQ(fs.live, 0);
}

INSTANTIATE_TEST_SUITE_P(Methods, EachMethod,
                         ::testing::Values(kCompressNone, kCompressMsZip, lzxType(15), lzxType(21)));

TEST(CabinetWriterAndReader, AChangeOfMethodStartsANewFolder) {
  std::vector<Input> inputs = {{"a", mixed(40000, 1), kCompressNone},
                               {"b", mixed(40000, 2), kCompressMsZip},
                               {"c", mixed(10, 3), kCompressMsZip},
                               {"d", mixed(70000, 4), kCompressNone}};
  MemoryFiles fs;
  FciRecorder writer(fs);
  ASSERT_TRUE(writeCabinet(writer, params(), inputs).ok);
  const Bytes& cab = fs.files["cab/test.cab"];
  ASSERT_EQ(get16(cab.data() + kHdrCFolders), 3);
  EXPECT_EQ(get16(cab.data() + kHdrSize + kFolSize + kFolTypeCompress), kCompressMsZip);
  EXPECT_TRUE(cabextractAccepts(cab, "mixed"));
  FdiRecorder reader(fs);
  ASSERT_TRUE(readCabinet(reader, "test.cab").ok);
  for (auto& i : inputs) EXPECT_EQ(fs.files["out/" + i.name], i.data) << i.name;
}

TEST(CabinetReader, ReadsAnMsZipCabinetMadeByGcab) {
  auto dir = std::filesystem::temp_directory_path() / ("tw_gcabz_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::vector<Input> inputs = {{"text.txt", Bytes()}, {"noise.bin", mixed(100000, 2)}, {"one", {7}}};
  for (int i = 0; i < 9000; ++i)
    for (char c : std::string("Zeile ") + std::to_string(i) + "\r\n") inputs[0].data.push_back(static_cast<uint8_t>(c));
  for (auto& i : inputs)
    std::ofstream(dir / i.name, std::ios::binary).write(reinterpret_cast<const char*>(i.data.data()), i.data.size());
  std::string command = "cd '" + dir.string() + "' && gcab -z -c -n z.cab text.txt noise.bin one >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "gcab not available";
  std::ifstream in(dir / "z.cab", std::ios::binary);
  Bytes cab((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove_all(dir);
  ASSERT_EQ(get16(cab.data() + kHdrSize + kFolTypeCompress), kCompressMsZip);
  MemoryFiles fs;
  fs.files["cab/z.cab"] = cab;
  FdiRecorder reader(fs);
  Read r = readCabinet(reader, "z.cab");
  ASSERT_TRUE(r.ok) << static_cast<int>(r.failure.error);
  for (auto& i : inputs) EXPECT_EQ(fs.files["out/" + i.name], i.data) << i.name;
}

}  // namespace
}  // namespace tw::cab::test
