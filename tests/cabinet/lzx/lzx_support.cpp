#include "tests/cabinet/lzx/lzx_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#ifdef TW_HAVE_MSPACK
#include <mspack.h>
#endif

namespace lzxtest {

using namespace tw::cab;

CodecMemory heapMemory() {
  CodecMemory m;
  m.alloc = [](void*, size_t n) { return malloc(n); };
  m.release = [](void*, void* p) { free(p); };
  m.context = nullptr;
  return m;
}

Folder encodeFolder(BlockEncoder& encoder, const Bytes& data) {
  Folder f;
  std::vector<uint8_t> out(kCompressedBlockMax);
  for (size_t at = 0; at < data.size(); at += kBlockMax) {
    size_t n = data.size() - at < kBlockMax ? data.size() - at : kBlockMax;
    size_t got = encoder.encode(data.data() + at, n, out.data(), at + n == data.size());
    f.payloads.emplace_back(out.begin(), out.begin() + got);
    f.uncompressed.push_back(n);
  }
  return f;
}

Folder encodeFolder(const Bytes& data, unsigned windowBits) {
  BlockEncoder* e = createLzxEncoder(heapMemory(), windowBits);
  if (e == nullptr) return Folder{};
  Folder f = encodeFolder(*e, data);
  e->destroy();
  return f;
}

bool decodeFolder(BlockDecoder& decoder, const Folder& folder, Bytes* out) {
  out->clear();
  for (size_t i = 0; i < folder.payloads.size(); ++i) {
    size_t at = out->size();
    out->resize(at + folder.uncompressed[i]);
    const Bytes& p = folder.payloads[i];
    if (!decoder.decode(p.data(), p.size(), out->data() + at, folder.uncompressed[i])) return false;
  }
  return true;
}

bool decodeFolder(const Folder& folder, unsigned windowBits, Bytes* out) {
  BlockDecoder* d = createLzxDecoder(heapMemory(), windowBits);
  if (d == nullptr) return false;
  bool ok = decodeFolder(*d, folder, out);
  d->destroy();
  return ok;
}

namespace {
void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
}  // namespace

Bytes writeCabinet(const Folder& folder, uint16_t typeCompress, size_t fileSize) {
  const char name[] = "data.bin";
  const size_t header = 36, folderEntry = 8, fileEntry = 16 + sizeof name;
  size_t dataStart = header + folderEntry + fileEntry;
  size_t total = dataStart;
  for (const Bytes& p : folder.payloads) total += 8 + p.size();
  Bytes b;
  b.insert(b.end(), {'M', 'S', 'C', 'F'});
  put32(b, 0);
  put32(b, static_cast<uint32_t>(total));
  put32(b, 0);
  put32(b, static_cast<uint32_t>(header + folderEntry));  // coffFiles
  put32(b, 0);
  b.push_back(3);
  b.push_back(1);
  put16(b, 1);  // folders
  put16(b, 1);  // files
  put16(b, 0);  // flags
  put16(b, 0x1234);
  put16(b, 0);
  put32(b, static_cast<uint32_t>(dataStart));
  put16(b, static_cast<uint32_t>(folder.payloads.size()));
  put16(b, typeCompress);
  put32(b, static_cast<uint32_t>(fileSize));
  put32(b, 0);
  put16(b, 0);
  put16(b, 0x5A21);  // 2025-01-01
  put16(b, 0);
  put16(b, 0x20);
  b.insert(b.end(), name, name + sizeof name);
  for (size_t i = 0; i < folder.payloads.size(); ++i) {
    put32(b, 0);  // no checksum
    put16(b, static_cast<uint32_t>(folder.payloads[i].size()));
    put16(b, static_cast<uint32_t>(folder.uncompressed[i]));
    b.insert(b.end(), folder.payloads[i].begin(), folder.payloads[i].end());
  }
  return b;
}

bool haveIndependentDecoder() {
#ifdef TW_HAVE_MSPACK
  return true;
#else
  return false;
#endif
}

bool extractIndependently(const Bytes& cabinet, Bytes* out) {
#ifdef TW_HAVE_MSPACK
  char dir[] = "/tmp/lzxtestXXXXXX";
  if (mkdtemp(dir) == nullptr) return false;
  std::string cabPath = std::string(dir) + "/t.cab", outPath = std::string(dir) + "/out.bin";
  FILE* f = fopen(cabPath.c_str(), "wb");
  if (f == nullptr) return false;
  fwrite(cabinet.data(), 1, cabinet.size(), f);
  fclose(f);
  bool ok = false;
  mscab_decompressor* cabd = mspack_create_cab_decompressor(nullptr);
  if (cabd != nullptr) {
    mscabd_cabinet* cab = cabd->open(cabd, cabPath.c_str());
    if (cab != nullptr && cab->files != nullptr) {
      ok = cabd->extract(cabd, cab->files, outPath.c_str()) == MSPACK_ERR_OK;
      cabd->close(cabd, cab);
    }
    mspack_destroy_cab_decompressor(cabd);
  }
  out->clear();
  if (ok) {
    f = fopen(outPath.c_str(), "rb");
    if (f == nullptr) {
      ok = false;
    } else {
      uint8_t buf[65536];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
      fclose(f);
    }
  }
  unlink(outPath.c_str());
  unlink(cabPath.c_str());
  rmdir(dir);
  return ok;
#else
  (void)cabinet;
  (void)out;
  return false;
#endif
}

namespace {
struct Rng {
  uint32_t s;
  uint32_t next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
};
}  // namespace

Bytes randomBytes(size_t size, uint32_t seed) {
  Rng r{seed * 2654435761u + 1};
  Bytes b(size);
  for (auto& x : b) x = static_cast<uint8_t>(r.next() >> 24);
  return b;
}

Bytes textLike(size_t size, uint32_t seed) {
  static const char* words[] = {"cabinet ", "folder ", "frame ", "window ", "the ", "of ", "match ",
                                "literal ", "offset\n", "block ", "tree ", "length ", "Huffman ", "bits "};
  Rng r{seed * 2654435761u + 7};
  Bytes b;
  while (b.size() < size) {
    const char* w = words[r.next() % (sizeof words / sizeof *words)];
    b.insert(b.end(), w, w + strlen(w));
    if (r.next() % 16 == 0) b.push_back(static_cast<uint8_t>('0' + r.next() % 10));
  }
  b.resize(size);
  return b;
}

Bytes callHeavy(size_t size, uint32_t seed) {
  Rng r{seed * 2654435761u + 11};
  uint32_t targets[16];
  for (auto& t : targets) t = r.next() % (size + 1);
  Bytes b;
  while (b.size() < size) {
    if (r.next() % 3 == 0) {
      uint32_t at = static_cast<uint32_t>(b.size());
      int32_t rel = static_cast<int32_t>(targets[r.next() % 16]) - static_cast<int32_t>(at + 5);
      b.push_back(0xE8);
      put32(b, static_cast<uint32_t>(rel));
    } else {
      static const uint8_t ops[] = {0x55, 0x8B, 0xEC, 0x83, 0xC4, 0x89, 0x45, 0xFC, 0x5D, 0xC3, 0x6A, 0x00};
      b.push_back(ops[r.next() % sizeof ops]);
    }
  }
  b.resize(size);
  return b;
}

}  // namespace lzxtest
