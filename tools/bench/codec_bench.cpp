// Codec benchmark: the given files concatenated as one folder, cut into
// 32 KB blocks, compressed with our LZX encoder, expanded again with our
// decoder and compared. Prints the ratio and the speed of both directions.
//
//   codec-bench [--window BITS] [--limit BYTES] FILE...
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cabinet/core/codec.h"

using namespace tw::cab;

namespace {

CodecMemory heap() {
  CodecMemory m;
  m.alloc = [](void*, size_t n) { return malloc(n); };
  m.release = [](void*, void* p) { free(p); };
  m.context = nullptr;
  return m;
}

// Processor time of this thread: the speed on one core, whatever else the
// machine is doing.
double cpuNow() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  unsigned windowBits = 21;
  size_t limit = 0;
  std::vector<uint8_t> data;
  size_t files = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--window") == 0 && i + 1 < argc) {
      windowBits = static_cast<unsigned>(atoi(argv[++i]));
      continue;
    }
    if (strcmp(argv[i], "--limit") == 0 && i + 1 < argc) {
      limit = static_cast<size_t>(atoll(argv[++i]));
      continue;
    }
    if (limit != 0 && data.size() >= limit) break;
    FILE* f = fopen(argv[i], "rb");
    if (f == nullptr) {
      fprintf(stderr, "cannot read %s\n", argv[i]);
      continue;
    }
    uint8_t buf[1 << 16];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    fclose(f);
    ++files;
  }
  if (limit != 0 && data.size() > limit) data.resize(limit);
  if (data.empty()) {
    fprintf(stderr, "usage: codec-bench [--window BITS] [--limit BYTES] FILE...\n");
    return 2;
  }

  BlockEncoder* encoder = createLzxEncoder(heap(), windowBits);
  BlockDecoder* decoder = createLzxDecoder(heap(), windowBits);
  if (encoder == nullptr || decoder == nullptr) {
    fprintf(stderr, "cannot create the codec\n");
    return 1;
  }
  std::vector<uint8_t> packed;
  std::vector<uint32_t> sizes;
  packed.reserve(data.size() / 2);
  std::vector<uint8_t> out(kCompressedBlockMax);
  size_t blocks = 0, stored = 0;
  double c0 = cpuNow();
  auto t0 = std::chrono::steady_clock::now();
  for (size_t at = 0; at < data.size(); at += kBlockMax) {
    size_t n = data.size() - at < kBlockMax ? data.size() - at : kBlockMax;
    size_t got = encoder->encode(data.data() + at, n, out.data(), at + n == data.size());
    if (got == 0 || got > kCompressedBlockMax) {
      fprintf(stderr, "encoder failed at block %zu\n", blocks);
      return 1;
    }
    if (got > n) ++stored;
    packed.insert(packed.end(), out.begin(), out.begin() + got);
    sizes.push_back(static_cast<uint32_t>(got));
    ++blocks;
  }
  auto t1 = std::chrono::steady_clock::now();
  double c1 = cpuNow();
  std::vector<uint8_t> back(data.size());
  size_t offset = 0;
  for (size_t i = 0; i < blocks; ++i) {
    size_t at = i * kBlockMax;
    size_t n = data.size() - at < kBlockMax ? data.size() - at : kBlockMax;
    if (!decoder->decode(packed.data() + offset, sizes[i], back.data() + at, n)) {
      fprintf(stderr, "decoder refused block %zu\n", i);
      return 1;
    }
    offset += sizes[i];
  }
  auto t2 = std::chrono::steady_clock::now();
  double c2 = cpuNow();
  bool same = back == data;
  double mb = static_cast<double>(data.size()) / 1e6;
  printf("input           %zu files, %zu bytes, %zu blocks\n", files, data.size(), blocks);
  printf("LZX window 2^%u %zu bytes, %.2f %% of the input (%zu blocks stored)\n", windowBits, packed.size(),
         100.0 * static_cast<double>(packed.size()) / static_cast<double>(data.size()), stored);
  printf("compress        %.2f s CPU, %.2f MB/s on one core (%.2f MB/s by the clock)\n", c1 - c0,
         mb / (c1 - c0), mb / seconds(t0, t1));
  printf("expand          %.2f s CPU, %.2f MB/s on one core (%.2f MB/s by the clock)\n", c2 - c1,
         mb / (c2 - c1), mb / seconds(t1, t2));
  printf("round trip      %s\n", same ? "identical" : "DIFFERENT");
  encoder->destroy();
  decoder->destroy();
  return same ? 0 : 1;
}
